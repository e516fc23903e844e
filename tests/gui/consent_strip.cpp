// The consent images of the payer list against the real FTP server.
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolButton>
#include <cmath>

#include "payers/consent_strip.h"
#include "platform/ftp/ftp_client.h"
#include "store/vocabulary.h"
#include "tests/gui/payer_gui_fixture.h"

using namespace payertest;
using platform::ui::MsgIcon;
using testsupport::world;

namespace {

const QString kId = QStringLiteral("0000000001");
const QString kSelect = QStringLiteral("이미지를 선택하세요.");

class ConsentStrip : public PayerGui {
protected:
    void SetUp() override {
        PayerGui::SetUp();
        local = testsupport::freshDir(QStringLiteral("local"));
    }
    // The folder of payer `userid` as the FTP server keeps it on disk.
    QString remote(const QString& name = {}, const QString& userid = kId) const {
        const QString dir = world().ftpHome + QStringLiteral("/DEBITON/S0001/출금동의서/") + userid;
        return name.isEmpty() ? dir : dir + u'/' + name;
    }
    void putRemoteJpeg(const QString& name, const QString& userid = kId, QColor c = Qt::blue) {
        QDir().mkpath(remote({}, userid));
        writeJpeg(remote(name, userid), 50, 70, c);
    }
    QStringList remoteNames(const QString& userid = kId) const {
        QStringList l = QDir(remote({}, userid)).entryList(QDir::Files | QDir::NoDotAndDotDot);
        l.sort();
        return l;
    }
    // Opens the list with the consent tab in front.
    Tfrm001* openStrip() {
        Tfrm001* f = openList();
        f->cxPageControl1->setCurrentIndex(1);
        QCoreApplication::processEvents();
        strip = f->consentStrip;
        opened.clear();
        strip->setDocumentOpener([this](const QString& p) {
            opened << p;
            return true;
        });
        return f;
    }
    QStringList captions() const {
        QStringList out;
        for (QLabel* l : strip->images()) out << payers::ConsentStrip::captionOf(l);
        return out;
    }
    static QStringList sorted(QStringList l) {
        l.sort();
        return l;
    }

    QString local;
    payers::ConsentStrip* strip = nullptr;
    QStringList opened;
};

TEST_F(ConsentStrip, FirstImageOfAPayerIsNumberOne) {
    addPayer(kId, "가영");
    Tfrm001* f = openStrip();
    EXPECT_TRUE(QDir(remote()).exists());  // created on first display
    EXPECT_TRUE(strip->images().isEmpty());
    EXPECT_TRUE(recorder.empty()) << recorder.texts().join('|').toStdString();

    writeJpeg(local + QStringLiteral("/동의서.jpg"));
    recorder.queueFile(local + QStringLiteral("/동의서.jpg"));
    strip->cxButton4->click();
    ASSERT_EQ(recorder.entries().size(), 1u);
    EXPECT_EQ(recorder.entries()[0].kind, testsupport::MessageRecorder::Entry::Kind::OpenFile);
    EXPECT_EQ(recorder.entries()[0].filter, "JPG|*.JPG");
    EXPECT_EQ(remoteNames(), QStringList{"0000000001_001.JPG"});
    EXPECT_EQ(readFile(remote("0000000001_001.JPG")),
              readFile(local + QStringLiteral("/동의서.jpg")));
    EXPECT_EQ(captions(), QStringList{"0000000001_001.JPG"});
    (void)f;
}

TEST_F(ConsentStrip, NextNumberFollowsTheHighestAndPicturesAreFiveBySeven) {
    addPayer(kId, "가영");
    for (const char* n : {"0000000001_001.JPG", "0000000001_002.JPG", "0000000001_005.JPG"})
        putRemoteJpeg(QString::fromUtf8(n));
    openStrip();
    EXPECT_EQ(sorted(captions()),
              (QStringList{"0000000001_001.JPG", "0000000001_002.JPG", "0000000001_005.JPG"}));
    // Cached beside the program under the remote names.
    for (const QString& n : captions())
        EXPECT_TRUE(QFile::exists(programDir + QStringLiteral("/tmp/") + n)) << n.toStdString();
    const int h = strip->scroll_Imgs->viewport()->height();
    for (QLabel* l : strip->images()) {
        EXPECT_EQ(l->height(), h);
        EXPECT_EQ(l->width(), static_cast<int>(std::lround(h * 100.0 / 140.0)));
    }

    writeJpeg(local + QStringLiteral("/new.JPG"));
    recorder.queueFile(local + QStringLiteral("/new.JPG"));
    strip->cxButton4->click();
    EXPECT_EQ(remoteNames(), (QStringList{"0000000001_001.JPG", "0000000001_002.JPG",
                                          "0000000001_005.JPG", "0000000001_006.JPG"}));
    EXPECT_EQ(strip->images().size(), 4);
    EXPECT_TRUE(recorder.boxes().empty()) << recorder.texts().join('|').toStdString();
}

TEST_F(ConsentStrip, StrayFileDoesNotBlockLaterUploads) {
    addPayer(kId, "가영");
    putRemoteJpeg("0000000001_scan.JPG");
    putRemoteJpeg("0000000001_002.JPG");
    openStrip();
    EXPECT_EQ(strip->images().size(), 2);
    writeJpeg(local + QStringLiteral("/a.JPG"));
    for (int i = 0; i < 2; ++i) {
        recorder.queueFile(local + QStringLiteral("/a.JPG"));
        strip->cxButton4->click();
    }
    EXPECT_TRUE(recorder.boxes().empty()) << recorder.texts().join('|').toStdString();
    EXPECT_EQ(remoteNames(), (QStringList{"0000000001_002.JPG", "0000000001_003.JPG",
                                          "0000000001_004.JPG", "0000000001_scan.JPG"}));
}

TEST_F(ConsentStrip, CancelledOpenDialogUploadsNothing) {
    addPayer(kId, "가영");
    openStrip();
    recorder.queueFile(QString());
    strip->cxButton4->click();
    EXPECT_TRUE(remoteNames().isEmpty());
    EXPECT_TRUE(recorder.boxes().empty());
}

TEST_F(ConsentStrip, EntryThatIsNoPictureEndsTheStripWithAnError) {
    addPayer(kId, "가영");
    putRemoteJpeg("0000000001_001.JPG");
    putRemoteJpeg("0000000001_002.JPG");
    putRemoteJpeg("0000000001_003.JPG");
    QFile bad(remote("0000000001_002.JPG"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    QDir().mkpath(remote("하위폴더"));

    // What comes before the first bad entry depends on the server's listing order.
    QStringList order;
    {
        platform::ftp::FtpClient c(dm->FTP);
        ASSERT_TRUE(dm->Fn_Dynamic_FTP_Connect(c));
        for (const QString& n : {QStringLiteral("DEBITON"), QStringLiteral("S0001"),
                                 QStringLiteral("출금동의서"), kId})
            c.changeDir(n);
        order = c.list();
    }
    QStringList shownBefore;
    for (const QString& n : order) {
        if (n == u"0000000001_002.JPG" || n == u"하위폴더") break;
        shownBefore << n;
    }

    openStrip();
    EXPECT_EQ(captions(), shownBefore);
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.boxes()[0].caption, "오류");
    EXPECT_EQ(recorder.boxes()[0].icon, MsgIcon::Error);
}

TEST_F(ConsentStrip, DeleteRemovesFromServerAndStripButEmptyOrMissingFilesOnlyFromTheStrip) {
    addPayer(kId, "가영");
    putRemoteJpeg("0000000001_001.JPG");
    putRemoteJpeg("0000000001_002.JPG");
    putRemoteJpeg("0000000001_003.JPG");
    openStrip();
    ASSERT_EQ(strip->images().size(), 3);

    // 001 disappears from the server, 002 is emptied, 003 is deleted normally.
    QFile::remove(remote("0000000001_001.JPG"));
    QFile(remote("0000000001_002.JPG")).resize(0);
    const struct {
        const char* name;
        QStringList remaining;
    } cases[] = {
        {"0000000001_001.JPG", {"0000000001_002.JPG", "0000000001_003.JPG"}},
        {"0000000001_002.JPG", {"0000000001_002.JPG", "0000000001_003.JPG"}},
        {"0000000001_003.JPG", {"0000000001_002.JPG"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        QLabel* target = nullptr;
        for (QLabel* l : strip->images())
            if (payers::ConsentStrip::captionOf(l) == QString::fromUtf8(k.name)) target = l;
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton);
        EXPECT_EQ(strip->selected(), target);
        strip->cxButton3->click();
        EXPECT_EQ(strip->selected(), nullptr);
        EXPECT_FALSE(captions().contains(QString::fromUtf8(k.name)));
        EXPECT_EQ(remoteNames(), k.remaining);
    }
    EXPECT_TRUE(strip->images().isEmpty());
    EXPECT_TRUE(recorder.boxes().empty()) << recorder.texts().join('|').toStdString();
}

TEST_F(ConsentStrip, SaveAddsTheExtensionAndOpensTheCopy) {
    addPayer(kId, "가영");
    putRemoteJpeg("0000000001_001.JPG");
    openStrip();
    QTest::mouseClick(strip->images().at(0), Qt::LeftButton);

    const struct {
        const char* chosen;
        const char* stored;
    } cases[] = {{"scan", "scan.JPG"}, {"scan.jpg", "scan.jpg"}, {"사본.JPG", "사본.JPG"}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.chosen);
        const QString stored = local + u'/' + QString::fromUtf8(k.stored);
        writeFile(stored, "earlier file");
        recorder.queueFile(local + u'/' + QString::fromUtf8(k.chosen));
        opened.clear();
        strip->cxButton5->click();
        EXPECT_EQ(readFile(stored), readFile(remote("0000000001_001.JPG")));
        EXPECT_EQ(opened, QStringList{stored});
    }
    EXPECT_FALSE(QFile::exists(local + QStringLiteral("/scan.jpg.JPG")));
    EXPECT_TRUE(recorder.boxes().empty()) << recorder.texts().join('|').toStdString();
}

TEST_F(ConsentStrip, SaveAndDeleteNeedASelectionWhichAnotherPayerClears) {
    addPayer(kId, "가영");
    addPayer("0000000002", "나리");
    putRemoteJpeg("0000000001_001.JPG");
    putRemoteJpeg("0000000002_001.JPG", "0000000002");
    Tfrm001* f = openStrip();
    for (QToolButton* b : {strip->cxButton5, strip->cxButton3}) {
        recorder.clear();
        b->click();
        EXPECT_EQ(recorder.texts(), QStringList{kSelect});
        EXPECT_EQ(recorder.boxes()[0].icon, MsgIcon::None);
        EXPECT_EQ(recorder.boxes()[0].caption, platform::ui::MessageService::applicationTitle());
    }
    QTest::mouseClick(strip->images().at(0), Qt::LeftButton);
    ASSERT_NE(strip->selected(), nullptr);
    f->grd_List->setFocusedRecord(1);
    EXPECT_EQ(captions(), QStringList{"0000000002_001.JPG"});
    EXPECT_EQ(strip->selected(), nullptr);
    recorder.clear();
    strip->cxButton3->click();
    EXPECT_EQ(recorder.texts(), QStringList{kSelect});
    EXPECT_EQ(remoteNames("0000000002"), QStringList{"0000000002_001.JPG"});
}

TEST_F(ConsentStrip, AddWithNoPayerFocusedUploadsNothing) {
    openStrip();
    writeJpeg(local + QStringLiteral("/a.JPG"));
    recorder.queueFile(local + QStringLiteral("/a.JPG"));
    strip->cxButton4->click();
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.boxes()[0].caption, "오류");
    EXPECT_FALSE(QDir(world().ftpHome + QStringLiteral("/DEBITON/S0001/출금동의서")).exists());
}

TEST_F(ConsentStrip, NoFileServerLeavesTheRowAsItWas) {
    addPayer(kId, "가영");
    putRemoteJpeg("0000000001_001.JPG");
    openStrip();
    QTest::mouseClick(strip->images().at(0), Qt::LeftButton);
    dm->FTP.port = 1;
    strip->cxButton3->click();
    EXPECT_EQ(recorder.texts(), QStringList{"파일 서버 연결에 실패했습니다."});
    EXPECT_EQ(captions(), QStringList{"0000000001_001.JPG"});
    EXPECT_EQ(remoteNames(), QStringList{"0000000001_001.JPG"});
}

TEST_F(ConsentStrip, BlankFormDownloadNeedsNoPayerAndReplacesTheFile) {
    Tfrm001* f = openStrip();
    ASSERT_EQ(f->grd_List->recordCount(), 0);
    const QString target = local + QStringLiteral("/출금동의서(회원).DOC");
    writeFile(target, "older version");
    recorder.queueFile(target);
    f->bt_Download->click();
    ASSERT_EQ(recorder.entries().size(), 1u);
    EXPECT_EQ(recorder.entries()[0].kind, testsupport::MessageRecorder::Entry::Kind::SaveFile);
    EXPECT_EQ(recorder.entries()[0].text, "출금동의서(회원).DOC");
    EXPECT_EQ(readFile(target), testsupport::documentContent(store::kDocConsentForm));

    // A missing form on the server is the server's error; the local file stays.
    QFile::remove(world().ftpHome + QStringLiteral("/DEBITON/신청서/") + store::kDocConsentForm);
    writeFile(target, "older version");
    recorder.queueFile(target);
    f->bt_Download->click();
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.boxes()[0].caption, "오류");
    EXPECT_EQ(readFile(target), "older version");
}

}  // namespace
