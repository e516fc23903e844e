// Names read from a file server listing before they become local file names.
#include <gtest/gtest.h>

#include "platform/ftp/ftp_client.h"

using platform::ftp::checkedListedName;
using platform::ftp::FtpError;

TEST(ListedName, RefusesNamesThatCouldLeaveTheFolder) {
    const QString refused[] = {
        QString(),
        QStringLiteral("."),
        QStringLiteral(".."),
        QStringLiteral("../x"),
        QStringLiteral("..\\x"),
        QStringLiteral("/etc/passwd"),
        QStringLiteral("tmp/0000000001_001.JPG"),
        QStringLiteral("C:x.JPG"),
        QStringLiteral("a\\b.JPG"),
        QStringLiteral("x\r\n.JPG"),
        QStringLiteral("x\tx.JPG"),
        QString(QChar(u'\0')) + QStringLiteral("x"),
        QStringLiteral("x") + QChar(0x7f),
        QStringLiteral("x") + QChar(0x85),  // NEL, a line break in Unicode
        QString(256, u'a'),
        QString(86, u'가'),  // 258 bytes in UTF-8
    };
    for (const QString& name : refused) {
        SCOPED_TRACE(name.toStdString());
        try {
            checkedListedName(name);
            ADD_FAILURE() << "accepted";
        } catch (const FtpError& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("파일 서버의 파일 이름이 올바르지 않습니다: ")))
                << e.message().toStdString();
            EXPECT_FALSE(e.message().contains(u'\n')) << "control characters shown as they are";
        }
    }
}

TEST(ListedName, KeepsPlainNamesAsTheyAre) {
    const QString accepted[] = {
        QStringLiteral("0000000001_001.JPG"),
        QStringLiteral("0000000001_1000.JPG"),
        QStringLiteral("출금동의서(회원).DOC"),
        QStringLiteral("법인단체_사업자용_고객거래확인서_실제소유자확인서_샘플.DOC"),
        QStringLiteral("동의서 홍길동.jpg"),
        QStringLiteral("..hidden"),
        QStringLiteral("a..b"),
        QString(255, u'a'),
        QString(85, u'가'),  // 255 bytes in UTF-8
    };
    for (const QString& name : accepted) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(checkedListedName(name), name);
    }
}
