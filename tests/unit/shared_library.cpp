// Libraries loaded when first used: each one the program loads resolves every function it
// calls, and a library or function that is missing makes the loader refuse, with the name in
// its message, rather than hand out a null function.
#include <gtest/gtest.h>

#include "platform/ftp/curl_library.h"
#include "platform/library/shared_library.h"
#include "platform/library/xlsx_library.h"
#include "platform/sql/mariadb_library.h"

namespace {

using platform::library::SharedLibrary;

TEST(SharedLibrary, TheProgramsLibrariesLoadWithEveryFunction) {
    QString error;
    const auto* curl = platform::ftp::CurlLibrary::get(&error);
    ASSERT_NE(curl, nullptr) << error.toStdString();
    EXPECT_NE(curl->easy_setopt, nullptr);
    EXPECT_STREQ(curl->easy_strerror(CURLE_OK), "No error");

    const auto* db = platform::sql::MariaDbLibrary::get(&error);
    ASSERT_NE(db, nullptr) << error.toStdString();
    EXPECT_NE(db->mysql_stmt_attr_set, nullptr);

    const auto* xlsx = platform::library::XlsxLibrary::get(&error);
    ASSERT_NE(xlsx, nullptr) << error.toStdString();
    EXPECT_NE(xlsx->worksheet_write_string, nullptr);
}

TEST(SharedLibrary, AMissingLibraryOrFunctionIsRefusedByName) {
    SharedLibrary absent(QStringLiteral("paydesk-no-such-library"), 1,
                         QStringLiteral("paydesk-no-such-library"));
    void (*f)() = reinterpret_cast<void (*)()>(1);
    absent.resolve("anything", f);
    EXPECT_FALSE(absent.ok());
    EXPECT_EQ(f, nullptr);
    EXPECT_TRUE(absent.error().contains(QStringLiteral("paydesk-no-such-library")))
        << absent.error().toStdString();

    SharedLibrary curl(QStringLiteral("curl"), 4, QStringLiteral("libcurl"));
    decltype(&::curl_easy_init) init = nullptr;
    curl.resolve("curl_easy_init", init);
    EXPECT_TRUE(curl.ok()) << curl.error().toStdString();
    void (*missing)() = nullptr;
    curl.resolve("curl_no_such_function", missing);
    EXPECT_FALSE(curl.ok());
    EXPECT_TRUE(curl.error().contains(QStringLiteral("curl_no_such_function")));
}

}  // namespace
