// The application documents on the real FTP server.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "documents/application_documents.h"
#include "platform/ftp/ftp_client.h"
#include "store/vocabulary.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using documents::Document;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

const Document kAll[] = {Document::Application, Document::CorporateCheck, Document::CorporateSample,
                         Document::IndividualCheck, Document::IndividualSample};

TEST(ApplicationDocuments, OfferedPerBusinessType) {
    struct Case {
        const char* comptype;
        bool corporate;
    } cases[] = {{"개인사업자", false},
                 {"법인사업자", true},
                 {"기타", true},
                 {"선택하세요.", true},
                 {"", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.comptype);
        EXPECT_TRUE(documents::offered(Document::Application, c.comptype));
        EXPECT_EQ(documents::offered(Document::CorporateCheck, c.comptype), c.corporate);
        EXPECT_EQ(documents::offered(Document::CorporateSample, c.comptype), c.corporate);
        EXPECT_EQ(documents::offered(Document::IndividualCheck, c.comptype), !c.corporate);
        EXPECT_EQ(documents::offered(Document::IndividualSample, c.comptype), !c.corporate);
    }
}

class DocumentDownload : public ::testing::Test {
protected:
    void SetUp() override {
        resetFtp();
        dir = freshDir("documents");
        client.connect();
    }
    QString dir;
    platform::ftp::FtpClient client{world().config.ftp};
};

TEST_F(DocumentDownload, EveryDocumentArrivesWhole) {
    for (Document d : kAll) {
        const QString name = documents::fileName(d);
        SCOPED_TRACE(name.toStdString());
        platform::ftp::FtpClient fresh(world().config.ftp);
        fresh.connect();
        const QString path = dir + u'/' + name;
        documents::download(fresh, d, path);
        EXPECT_EQ(readAll(path), documentContent(name));
    }
}

TEST_F(DocumentDownload, ReplacesAnExistingLocalFile) {
    const QString path = dir + QStringLiteral("/신청서.DOC");
    writeFile(path, QByteArray(5000, 'x'));
    documents::download(client, Document::Application, path);
    EXPECT_EQ(readAll(path), documentContent(store::kDocApplication));
}

// A document missing on the server must not cost the user the file already at that place.
TEST_F(DocumentDownload, FailedDownloadKeepsTheExistingFile) {
    QFile::remove(world().ftpHome + QStringLiteral("/DEBITON/신청서/") + store::kDocApplication);
    const QString path = dir + QStringLiteral("/keep.DOC");
    writeFile(path, "earlier copy");
    EXPECT_THROW(documents::download(client, Document::Application, path), platform::ftp::FtpError);
    EXPECT_EQ(readAll(path), "earlier copy");
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{"keep.DOC"});
}

TEST_F(DocumentDownload, MissingFolderOrUnwritableTargetThrows) {
    EXPECT_THROW(documents::download(client, Document::Application,
                                     dir + QStringLiteral("/no/such/folder/x.DOC")),
                 platform::ftp::FtpError);
    QDir(world().ftpHome + QStringLiteral("/DEBITON/신청서")).removeRecursively();
    platform::ftp::FtpClient fresh(world().config.ftp);
    fresh.connect();
    EXPECT_THROW(documents::download(fresh, Document::Application, dir + QStringLiteral("/y.DOC")),
                 platform::ftp::FtpError);
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/y.DOC")));
}

}  // namespace
