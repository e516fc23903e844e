// The sign-up's statements against the real service database.
#include <gtest/gtest.h>

#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "signup/signup_queries.h"
#include "tests/support/test_env.h"

using namespace testsupport;

namespace {

signup::NewCompany company() {
    signup::NewCompany n;
    n.id = "newcomp01";
    n.pw = "secret!1";
    n.comptype = "선택하세요.";
    n.compno = "1234567890";
    n.compname = "새봄요양센터";
    n.tel = "0212345678";
    n.addr = "서울특별시 중구 세종대로 110";
    n.email = "admin@saebom.example";
    return n;
}

class SignupQueries : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        exec(baseDb(),
             "insert into cms_company (id, pw, compno) values ('taken01', 'x', '1112223333')");
        c.open();
    }
    platform::sql::Connection c{baseDb()};
};

TEST_F(SignupQueries, DuplicateChecks) {
    EXPECT_TRUE(signup::idTaken(c, "taken01"));
    EXPECT_FALSE(signup::idTaken(c, "free0001"));
    EXPECT_TRUE(signup::compnoTaken(c, "1112223333"));
    EXPECT_FALSE(signup::compnoTaken(c, "1112223334"));
}

TEST_F(SignupQueries, InsertStoresTheValuesAndEmptyServiceFields) {
    signup::insertCompany(c, company());
    const auto r = rows(baseDb(),
                        "select id, pw, serviceid, apikey, comptype, compno, compname, sitype, "
                        "sicode, tel, addr, email, recdatetime is not null from cms_company "
                        "where id = 'newcomp01'");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0], (QStringList{"newcomp01", "secret!1", "", "", "선택하세요.", "1234567890",
                                 "새봄요양센터", "", "", "0212345678",
                                 "서울특별시 중구 세종대로 110", "admin@saebom.example", "1"}));
    EXPECT_TRUE(signup::idTaken(c, "newcomp01"));
}

// A duplicate that appeared after the check (another client signed up meanwhile) fails the
// insert with the server's text and leaves nothing behind; the connection can go on.
TEST_F(SignupQueries, FailedInsertStoresNothing) {
    auto n = company();
    n.compno = "1112223333";
    try {
        signup::insertCompany(c, n);
        FAIL() << "insert of a taken business number succeeded";
    } catch (const platform::sql::SqlError& e) {
        EXPECT_TRUE(e.message().contains("Duplicate entry", Qt::CaseInsensitive))
            << e.message().toStdString();
    }
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_company"), "1");
    EXPECT_FALSE(signup::idTaken(c, "newcomp01"));
}

// Text the euckr columns cannot hold is refused before anything is stored.
TEST_F(SignupQueries, UnstorableCharactersStoreNothing) {
    auto n = company();
    n.compname = "요양센터 😀";
    EXPECT_THROW(signup::insertCompany(c, n), platform::sql::SqlError);
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_company"), "1");
}

}  // namespace
