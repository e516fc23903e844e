// The withdrawal request file written from stored requests, compared byte for byte with
// golden files, and what happens when it cannot or must not be written.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "billing/request_file.h"
#include "billing/request_file_writer.h"
#include "platform/sql/connection.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using billing::createRequestFile;
using platform::sql::Connection;

namespace {

const QString kService = QStringLiteral("CMS0001");
const QString kDate = QStringLiteral("2024-05-02");

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray golden(const QString& name) {
    return readAll(QStringLiteral(PAYDESK_SOURCE_DIR "/tests/data/billing/") + name);
}

int chattr(const QString& flag, const QString& dir) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("chattr"), {flag, dir});
    return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Makes `dir` a folder in which no entry can be created or replaced: mode 0555, and for root
// (whom modes do not stop) the immutable attribute. False when neither holds here.
bool lockFolder(const QString& dir, bool* immutable) {
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                   QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    auto writable = [&] {
        QFile probe(dir + QStringLiteral("/probe"));
        const bool ok = probe.open(QIODevice::WriteOnly);
        if (ok) probe.remove();
        return ok;
    };
    if (!writable()) return true;
    *immutable = chattr(QStringLiteral("+i"), dir) == 0;
    return !writable();
}

void unlockFolder(const QString& dir, bool* immutable) {
    if (*immutable) chattr(QStringLiteral("-i"), dir);
    *immutable = false;
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

class RequestFile : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        // Payers whose names show the field rules: 3 syllables; 10 syllables filling the 20
        // bytes; a name whose 20th byte would be the first half of a syllable.
        exec(baseDb(),
             QStringLiteral(
                 "insert into cms_user (serviceid, userid, username, stat, startdate, enddate) "
                 "values "
                 "('CMS0001','0000000003','ABC가나다라마바사아자','등록완료','2019-01-01','9999-99-"
                 "99'),"
                 "('CMS0001','0000000001','홍길동','등록완료','2019-01-01','9999-99-99'),"
                 "('CMS0001','0000000002','가나다라마바사아자차','등록완료','2019-01-01','9999-99-"
                 "99'),"
                 "('CMS0001','0000000004','영원','등록완료','2019-01-01','9999-99-99'),"
                 "('CMS0001','0000000005','발송됨','등록완료','2019-01-01','9999-99-99'),"
                 "('CMS0002','0000000001','남의회사','등록완료','2019-01-01','9999-99-99');\n"
                 // 15,000 + 1,000,000 + 219,567 = 1,234,567; the rest must stay out of the file.
                 "insert into cms_bill (serviceid, userid, billdate, amount, stat) values "
                 "('CMS0001','0000000003','2024-05-02',219567,'발송대기'),"
                 "('CMS0001','0000000001','2024-05-02',15000,'발송대기'),"
                 "('CMS0001','0000000002','2024-05-02',1000000,'발송대기'),"
                 "('CMS0001','0000000004','2024-05-02',0,'발송대기'),"
                 "('CMS0001','0000000005','2024-05-02',5000,'발송완료'),"
                 "('CMS0001','0000000001','2024-05-03',33000,'발송대기'),"
                 "('CMS0002','0000000001','2024-05-02',77000,'발송대기');\n"));
        c = std::make_unique<Connection>(baseDb());
        c->open();
        dir = freshDir(QStringLiteral("program"));
    }
    void TearDown() override {
        if (!dir.isEmpty()) unlockFolder(dir, &immutable);
    }
    QString create(const QString& date = kDate, const QString& service = kService) {
        return createRequestFile(*c, service, date, world().config.institutionCode, dir);
    }
    std::unique_ptr<Connection> c;
    QString dir;
    bool immutable = false;
};

TEST_F(RequestFile, StoredRequestsGiveTheGoldenFile) {
    const QString path = create();
    EXPECT_EQ(path, dir + QStringLiteral("/20240502.CMS0001.pay"));
    const QByteArray bytes = readAll(path);
    EXPECT_EQ(bytes, golden(QStringLiteral("20240502.CMS0001.pay")));
    // 1 + 3 + 1 records of 343 bytes and CR LF.
    EXPECT_EQ(bytes.size(), 5 * 345);
    // Writing again gives the same bytes in place of the first file, nothing beside it.
    writeFile(path, "stale");
    EXPECT_EQ(create(), path);
    EXPECT_EQ(readAll(path), bytes);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files),
              QStringList{QStringLiteral("20240502.CMS0001.pay")});
}

TEST_F(RequestFile, TheFileNameIsTheChosenDate) {
    const QString path = create(QStringLiteral("2024-05-03"));
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("20240503.CMS0001.pay"));
    const QByteArray bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 3 * 345);
    EXPECT_EQ(bytes.mid(345 + 66, 10), QByteArray("0000033000"));
}

TEST_F(RequestFile, NothingToSendWritesNothing) {
    exec(baseDb(),
         QStringLiteral("insert into cms_bill (serviceid, userid, billdate, amount, stat) "
                        "values ('CMS0001','0000000001','2024-05-10',0,'발송대기'),"
                        "('CMS0001','0000000002','2024-05-10',500,'발송완료');"));
    const QString existing = dir + QStringLiteral("/20240510.CMS0001.pay");
    writeFile(existing, "earlier file");
    for (const QString& date : {QStringLiteral("2024-05-10"), QStringLiteral("2024-05-11")})
        EXPECT_EQ(create(date), QString()) << date.toStdString();
    EXPECT_EQ(readAll(existing), QByteArray("earlier file"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files),
              QStringList{QStringLiteral("20240510.CMS0001.pay")});
}

TEST_F(RequestFile, FailedWriteLeavesTheEarlierFile) {
    const QString path = create();
    const QByteArray earlier = readAll(path);
    exec(baseDb(),
         QStringLiteral("update cms_bill set amount = amount + 1 where serviceid='CMS0001'"));
    if (!lockFolder(dir, &immutable)) GTEST_SKIP() << "no way to make a folder unwritable here";
    EXPECT_THROW(create(), billing::RequestFileError);
    unlockFolder(dir, &immutable);
    EXPECT_EQ(readAll(path), earlier);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden),
              QStringList{QFileInfo(path).fileName()});
    // A folder that does not exist: no file anywhere.
    EXPECT_THROW(createRequestFile(*c, kService, kDate, world().config.institutionCode,
                                   dir + QStringLiteral("/missing")),
                 billing::RequestFileError);
    EXPECT_FALSE(QDir(dir + QStringLiteral("/missing")).exists());
}

TEST_F(RequestFile, ValuesThatDoNotFitRefuseTheFileAndTouchNothing) {
    const QString path = create();
    const QByteArray earlier = readAll(path);
    // An amount of 11 digits stored by other means than the request form.
    exec(baseDb(), QStringLiteral("update cms_bill set amount = 10000000000 where "
                                  "serviceid='CMS0001' and userid='0000000002'"));
    try {
        create();
        ADD_FAILURE() << "written";
    } catch (const billing::RequestFileRefused& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("가나다라마바사아자차"))) << e.what();
    }
    EXPECT_EQ(readAll(path), earlier);
    // A service id that would not make a plain file name, or would not fit its field.
    for (const QString& bad : {QStringLiteral("../x"), QStringLiteral("a/b"), QStringLiteral("S 1"),
                               QStringLiteral("CMS000012"), QString()})
        EXPECT_THROW(create(kDate, bad), billing::RequestFileRefused) << bad.toStdString();
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{QFileInfo(path).fileName()});
}

}  // namespace
