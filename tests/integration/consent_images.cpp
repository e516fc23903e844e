// The consent image operations against the real FTP server of the test run.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/data_module.h"
#include "payers/consent_images.h"
#include "platform/ftp/ftp_client.h"
#include "store/vocabulary.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using platform::ftp::FtpClient;
using platform::ftp::FtpError;
using testsupport::world;

namespace {

const QString kSid = QStringLiteral("S0001");
const QString kId = QStringLiteral("0000000001");

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

QStringList sorted(QStringList l) {
    l.sort();
    return l;
}

class ConsentImages : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::resetFtp();
        dm = std::make_unique<TDM>(world().config, recorder);
        DM = dm.get();
        programDir = testsupport::freshDir(QStringLiteral("program"));
        qputenv("PAYDESK_PROGRAM_DIR", programDir.toUtf8());
        work = testsupport::freshDir(QStringLiteral("local"));
    }
    void TearDown() override { qunsetenv("PAYDESK_PROGRAM_DIR"); }

    std::unique_ptr<FtpClient> payerFolder(const QString& userid = kId) {
        auto c = std::make_unique<FtpClient>();
        EXPECT_TRUE(payers::connectFileServer(*c));
        payers::enterPayerFolder(*c, kSid, userid);
        return c;
    }
    // The payer folder as the server keeps it on disk.
    QString remote(const QString& name = {}) const {
        QString p = world().ftpHome + QStringLiteral("/DEBITON/S0001/출금동의서/") + kId;
        return name.isEmpty() ? p : p + u'/' + name;
    }
    QStringList remoteNames() const {
        return sorted(QDir(remote()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot));
    }

    testsupport::MessageRecorder recorder;
    std::unique_ptr<TDM> dm;
    QString programDir, work;
};

TEST_F(ConsentImages, MissingPayerFolderIsCreatedAndEmpty) {
    auto c = payerFolder();
    EXPECT_TRUE(c->list().isEmpty());
    EXPECT_TRUE(QDir(remote()).exists());
    EXPECT_TRUE(recorder.empty());
    // A second visit finds the folders that exist now.
    auto again = payerFolder();
    EXPECT_TRUE(again->list().isEmpty());
    EXPECT_TRUE(recorder.empty());
}

TEST_F(ConsentImages, WithoutAPayerNothingIsSentOrCreated) {
    auto c = std::make_unique<FtpClient>();
    ASSERT_TRUE(payers::connectFileServer(*c));
    EXPECT_THROW(payers::enterPayerFolder(*c, kSid, QString()), FtpError);
    EXPECT_THROW(payers::enterPayerFolder(*c, QString(), kId), FtpError);
    EXPECT_FALSE(QDir(world().ftpHome + QStringLiteral("/DEBITON/S0001")).exists());
    EXPECT_FALSE(QDir(world().ftpHome + QStringLiteral("/DEBITON/출금동의서")).exists());
}

TEST_F(ConsentImages, FailedConnectIsReportedByTheDataModule) {
    dm->FTP.password += QStringLiteral("x");
    FtpClient c;
    EXPECT_FALSE(payers::connectFileServer(c));
    EXPECT_EQ(recorder.texts(), QStringList{QStringLiteral("파일 서버 연결에 실패했습니다.")});
}

TEST_F(ConsentImages, AddNumbersAfterTheHighestExistingImage) {
    const QString local = work + QStringLiteral("/사진.jpg");
    writeFile(local, "picture bytes");
    const struct {
        const char* what;
        QStringList present;
        QString expected;
    } cases[] = {
        {"first image", {}, "0000000001_001.JPG"},
        {"gap stays",
         {"0000000001_001.JPG", "0000000001_002.JPG", "0000000001_005.JPG"},
         "0000000001_006.JPG"},
        {"beyond 999", {"0000000001_999.JPG"}, "0000000001_1000.JPG"},
        {"after 1000", {"0000000001_999.JPG", "0000000001_1000.JPG"}, "0000000001_1001.JPG"},
        {"stray file does not block",
         {"0000000001_scan.JPG", "0000000001_003.JPG", "메모.txt"},
         "0000000001_004.JPG"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        QDir(remote()).removeRecursively();
        for (const QString& n : k.present) writeFile(remote(n), "old");
        auto c = payerFolder();
        EXPECT_EQ(payers::addImage(*c, kId, local), k.expected);
        EXPECT_EQ(readFile(remote(k.expected)), "picture bytes");
        QStringList expectedNames = k.present;
        expectedNames << k.expected;
        EXPECT_EQ(remoteNames(), sorted(expectedNames));
    }
}

TEST_F(ConsentImages, ListedEntriesAreCachedBesideTheProgram) {
    writeFile(remote("0000000001_001.JPG"), "one");
    writeFile(remote("0000000001_002.JPG"), "two");
    const QString cache = payers::imageCacheDir();
    EXPECT_EQ(cache, programDir + QStringLiteral("/tmp"));
    writeFile(cache + QStringLiteral("/0000000001_001.JPG"), "stale copy");

    auto c = payerFolder();
    const QStringList names = sorted(c->list());
    ASSERT_EQ(names, (QStringList{"0000000001_001.JPG", "0000000001_002.JPG"}));
    for (const QString& n : names) {
        const QString local = payers::fetchToCache(*c, n, cache);
        EXPECT_EQ(local, cache + u'/' + n);
    }
    EXPECT_EQ(readFile(cache + QStringLiteral("/0000000001_001.JPG")), "one");
    EXPECT_EQ(readFile(cache + QStringLiteral("/0000000001_002.JPG")), "two");
}

TEST_F(ConsentImages, NamesThatAreNoPlainFileNamesAreNeverWritten) {
    writeFile(remote("0000000001_001.JPG"), "one");
    const QString cache = payers::imageCacheDir();
    auto c = payerFolder();
    for (const QString& bad :
         {QStringLiteral(".."), QStringLiteral("../escape.JPG"), QStringLiteral("/etc/passwd"),
          QStringLiteral("a\\b.JPG"), QStringLiteral("c:x.JPG"), QString()}) {
        SCOPED_TRACE(bad.toStdString());
        EXPECT_THROW(payers::fetchToCache(*c, bad, cache), FtpError);
    }
    EXPECT_FALSE(QFile::exists(programDir + QStringLiteral("/escape.JPG")));
    EXPECT_TRUE(QDir(cache).entryList(QDir::Files).isEmpty());
}

TEST_F(ConsentImages, DeleteRemovesOnlyFilesWithContent) {
    writeFile(remote("0000000001_001.JPG"), "one");
    writeFile(remote("0000000001_002.JPG"), "");
    auto c = payerFolder();
    EXPECT_TRUE(payers::deleteImage(*c, "0000000001_001.JPG"));
    EXPECT_FALSE(payers::deleteImage(*c, "0000000001_002.JPG"));
    EXPECT_FALSE(payers::deleteImage(*c, "0000000001_003.JPG"));
    EXPECT_EQ(remoteNames(), QStringList{"0000000001_002.JPG"});
}

TEST_F(ConsentImages, SaveReplacesTheChosenFileOnlyWhenTheTransferSucceeds) {
    writeFile(remote("0000000001_001.JPG"), "remote picture");
    const QString target = work + QStringLiteral("/scan.JPG");
    writeFile(target, "earlier file");
    auto c = payerFolder();
    payers::saveImage(*c, "0000000001_001.JPG", target);
    EXPECT_EQ(readFile(target), "remote picture");

    writeFile(target, "earlier file");
    EXPECT_THROW(payers::saveImage(*c, "0000000001_404.JPG", target), FtpError);
    EXPECT_EQ(readFile(target), "earlier file");
}

TEST_F(ConsentImages, BlankFormDownloadReplacesAnExistingFile) {
    const QString target = work + QStringLiteral("/출금동의서(회원).DOC");
    writeFile(target, "older version");
    FtpClient c;
    ASSERT_TRUE(payers::connectFileServer(c));
    payers::downloadBlankForm(c, target);
    EXPECT_EQ(readFile(target), testsupport::documentContent(store::kDocConsentForm));
}

TEST_F(ConsentImages, MissingBlankFormIsAnErrorAndKeepsTheLocalFile) {
    QFile::remove(world().ftpHome + QStringLiteral("/DEBITON/신청서/") + store::kDocConsentForm);
    const QString target = work + QStringLiteral("/양식.DOC");
    writeFile(target, "older version");
    FtpClient c;
    ASSERT_TRUE(payers::connectFileServer(c));
    EXPECT_THROW(payers::downloadBlankForm(c, target), FtpError);
    EXPECT_EQ(readFile(target), "older version");
}

}  // namespace
