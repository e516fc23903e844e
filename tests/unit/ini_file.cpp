// INI files shared with other programs: a write changes one key's line and nothing else.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

#include "platform/codepage/codepage.h"
#include "platform/profile/ini_file.h"

using platform::profile::IniFile;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("info.ini")) const {
        return dir_.filePath(name);
    }
    void put(const QByteArray& bytes, const QString& name = QStringLiteral("info.ini")) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray get(const QString& name = QStringLiteral("info.ini")) const {
        QFile f(path(name));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }

    QTemporaryDir dir_;
};

// Another program's file: comments, blanks around "=", odd spacing, mixed case and CR LF.
const QByteArray kForeign =
    "; torvo settings\r\n"
    "[torvo]\r\n"
    "mode = demo\r\n"
    "\r\n"
    "[PAYDESK.EXE]\r\n"
    "  VER=19000101.000   \r\n"
    "other=keep ; me\r\n"
    "\r\n"
    "[last]\r\n"
    "x=1";

struct WriteCase {
    const char* name;
    QByteArray before;
    QString section, key, value;
    QByteArray after;
};

class IniWrite : public IniFileTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(IniWrite, ChangesOnlyTheOneLine) {
    const WriteCase& c = GetParam();
    if (!c.before.isNull()) put(c.before);
    IniFile(path()).writeString(c.section, c.key, c.value);
    EXPECT_EQ(get(), c.after);
    EXPECT_EQ(IniFile(path()).readString(c.section, c.key), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniWrite,
    ::testing::Values(
        // Section and key are found whatever their case; the key keeps its spelling.
        WriteCase{"existing_key", kForeign, "paydesk.exe", "ver", "20191029.001",
                  QByteArray(kForeign).replace("  VER=19000101.000   ", "  VER=20191029.001")},
        // A new key goes after the last line of its section, before the blank line.
        WriteCase{"missing_key", kForeign, "torvo", "user", "kim",
                  QByteArray(kForeign).replace("mode = demo\r\n", "mode = demo\r\nuser=kim\r\n")},
        // A new section at the end; the unterminated last line gets the file's line end.
        WriteCase{"missing_section", kForeign, "login", "id", "haengbok01",
                  kForeign + "\r\n[login]\r\nid=haengbok01\r\n"},
        WriteCase{"key_in_last_section_unterminated", kForeign, "last", "y", "2",
                  kForeign + "\r\ny=2\r\n"},
        // A file with LF line ends gets LF lines.
        WriteCase{"lf_file", "[login]\nid=old\n", "login", "pw", "", "[login]\nid=old\npw=\n"},
        // A new file is written the Windows way.
        WriteCase{"new_file", QByteArray(), "login", "id", "아이디", "[login]\r\nid=아이디\r\n"},
        // The same key name in another section is not touched.
        WriteCase{"same_key_other_section", "[a]\r\nid=1\r\n[login]\r\nid=2\r\n", "login", "id",
                  "3", "[a]\r\nid=1\r\n[login]\r\nid=3\r\n"},
        // A commented-out key is not the key.
        WriteCase{"commented_key", "[login]\r\n;id=old\r\n", "login", "id", "new",
                  "[login]\r\n;id=old\r\nid=new\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniFileTest, ValuesAreTrimmedWhenRead) {
    // Windows' profile reader drops the blanks around a value.
    put(kForeign);
    const IniFile ini(path());
    EXPECT_EQ(ini.readString("torvo", "MODE"), QStringLiteral("demo"));
    EXPECT_EQ(ini.readString("paydesk.exe", "ver"), QStringLiteral("19000101.000"));
    EXPECT_EQ(ini.readString("last", "x"), QStringLiteral("1"));
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(IniFile(path()).readString("login", "id", "none"), QStringLiteral("none"));
    EXPECT_FALSE(QFile::exists(path()));  // reading never creates the file
    put(kForeign);
    EXPECT_EQ(IniFile(path()).readString("login", "id"), QString());
    EXPECT_EQ(IniFile(path()).readString("torvo", "absent", "d"), QStringLiteral("d"));
}

TEST_F(IniFileTest, KeepsAnAnsiFileInItsCodePage) {
    // A file written by a Korean Windows program: code page 949, not UTF-8.
    const QByteArray before =
        "[login]\r\nname=" + platform::codepage::toCp949(QStringLiteral("행복요양원")) +
        "\r\nid=old\r\n";
    put(before);
    IniFile ini(path());
    EXPECT_EQ(ini.readString("login", "name"), QStringLiteral("행복요양원"));
    ini.writeString("login", "id", QStringLiteral("새아이디"));
    const QByteArray expected =
        "[login]\r\nname=" + platform::codepage::toCp949(QStringLiteral("행복요양원")) +
        "\r\nid=" + platform::codepage::toCp949(QStringLiteral("새아이디")) + "\r\n";
    EXPECT_EQ(get(), expected);
    EXPECT_EQ(ini.readString("login", "id"), QStringLiteral("새아이디"));
}

TEST_F(IniFileTest, UnwritableFileThrowsAndStaysAsItWas) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
    put(kForeign);
    QFile::setPermissions(path(), QFile::ReadOwner);
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_THROW(IniFile(path()).writeString("torvo", "mode", "live"), std::runtime_error);
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(get(), kForeign);
}

TEST_F(IniFileTest, PathThatIsAFolderThrows) {
    // Unwritable for every user, root included.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("info.ini")));
    EXPECT_THROW(IniFile(path()).writeString("login", "id", "x"), std::runtime_error);
    EXPECT_THROW(IniFile(path()).readString("login", "id"), std::runtime_error);
}

TEST_F(IniFileTest, MissingFolderThrows) {
    const IniFile ini(dir_.filePath(QStringLiteral("no/such/folder/info.ini")));
    EXPECT_THROW(ini.writeString("login", "id", "x"), std::runtime_error);
}

TEST_F(IniFileTest, ValueWithALineBreakIsRefused) {
    put(kForeign);
    EXPECT_THROW(IniFile(path()).writeString("torvo", "mode", "a\r\n[evil]"), std::runtime_error);
    EXPECT_EQ(get(), kForeign);
}

}  // namespace
