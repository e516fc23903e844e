// The file server failing and lying: an FTP server killed with SIGKILL in the middle of an
// upload, downloads into a full file system, listings with names no plain file can have
// (from a forging server: a real one cannot list them), and payer folders holding files that
// are not whole JPEG pictures. Through the consent image strip, the way the user meets them.
#include <gtest/gtest.h>
#include <signal.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <atomic>
#include <thread>

#include "app/data_module.h"
#include "app/indicator.h"
#include "app/session.h"
#include "payers/consent_images.h"
#include "payers/consent_strip.h"
#include "platform/ftp/ftp_client.h"
#include "tests/faults/fault_report.h"
#include "tests/faults/private_servers.h"
#include "tests/faults/row_sets.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using platform::ftp::FtpClient;
using platform::ftp::FtpError;

namespace {

const QString kSid = QStringLiteral("S1");
const QString kId = QStringLiteral("0000000001");
const QString kFirst = QStringLiteral("0000000001_001.JPG");

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// A JPEG whose picture data runs to its end: noise does not compress, so every cut of the file
// cuts the picture.
QByteArray noiseJpeg(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    auto* rng = QRandomGenerator::global();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) line[x] = 0xff000000u | (rng->generate() & 0xffffffu);
    }
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPG", 95);
    return out;
}

QByteArray smallJpeg(QColor c = Qt::red) {
    QImage img(50, 70, QImage::Format_RGB32);
    img.fill(c);
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPG");
    return out;
}

// Every file below `dir` with its size, as "path:size".
QStringList filesBelow(const QString& dir) {
    QStringList out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        out << QDir(dir).relativeFilePath(p) + u':' + QString::number(QFileInfo(p).size());
    }
    out.sort();
    return out;
}

bool run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

class FtpFaults : public ::testing::Test {
protected:
    void SetUp() override {
        resetFtp();
        programDir = freshDir(QStringLiteral("program"));
        local = freshDir(QStringLiteral("local"));
        qputenv("PAYDESK_PROGRAM_DIR", programDir.toUtf8());
        app::session() = {};
        app::session().serviceid = kSid;
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([](int) {});
        DM = dm.get();
        strip = new payers::ConsentStrip;
        strip->resize(700, 300);
        strip->setPayerSource([] { return kId; });
        strip->setDocumentOpener([](const QString&) { return true; });
    }
    void TearDown() override {
        delete strip;
        app::PR_Set_UI_IndicoatorOFF();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (auto it = mounts.rbegin(); it != mounts.rend(); ++it)
            run(QStringLiteral("umount"), {"-l", *it});
        DM = nullptr;
        dm.reset();
        qunsetenv("PAYDESK_PROGRAM_DIR");
    }

    QString payerFolder(const QString& home) const {
        return home + QStringLiteral("/DEBITON/S1/출금동의서/") + kId;
    }
    QStringList captions() const {
        QStringList out;
        for (QLabel* l : strip->images()) out << payers::ConsentStrip::captionOf(l);
        return out;
    }
    bool oneErrorBox(const QString& mentioning = {}) const {
        const auto boxes = recorder.boxes();
        return boxes.size() == 1 && boxes[0].icon == platform::ui::MsgIcon::Error &&
               boxes[0].caption == u"오류" &&
               (mentioning.isEmpty() || boxes[0].text.contains(mentioning));
    }
    bool tmpfs(const QString& dir) {
        if (!run(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", dir}))
            return false;
        mounts << dir;
        return true;
    }

    QString programDir, local;
    MessageRecorder recorder;
    std::unique_ptr<TDM> dm;
    payers::ConsentStrip* strip = nullptr;
    QStringList mounts;
};

TEST_F(FtpFaults, ServerKilledDuringAnUpload) {
    faults::PrivateFtp ftp(world().workDir + QStringLiteral("/privftp"),
                           Servers::get().ftpPassword);
    ASSERT_TRUE(ftp.start());
    dm->FTP.port = ftp.port();
    const QString home = ftp.root() + u'/' + world().ftpUser;
    const QByteArray first = smallJpeg();
    ASSERT_TRUE(writeFile(payerFolder(home) + u'/' + kFirst, first));
    const QByteArray big = noiseJpeg(4000, 3000);
    ASSERT_TRUE(writeFile(local + QStringLiteral("/큰동의서.jpg"), big));

    // Kill the server once part of the upload has arrived, whatever name it arrives under.
    std::atomic<bool> done{false};
    std::atomic<qint64> seenAtKill{0};
    const qint64 pid = ftp.pid();
    std::thread killer([&] {
        while (!done) {
            QDirIterator it(home + QStringLiteral("/DEBITON/S1"), QDir::Files | QDir::Hidden,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo fi(it.next());
                if (fi.fileName() != kFirst && fi.size() > 0 && fi.size() < big.size()) {
                    seenAtKill = fi.size();
                    ::kill(static_cast<pid_t>(pid), SIGKILL);
                    return;
                }
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    strip->pr_get_ftp_imageList(kId);
    recorder.queueFile(local + QStringLiteral("/큰동의서.jpg"));
    strip->cxButton4Click();
    done = true;
    killer.join();
    ftp.kill9();

    const QStringList inFolder = filesBelow(payerFolder(home));
    const bool onlyTheFirst =
        inFolder == QStringList{kFirst + u':' + QString::number(first.size())} &&
        readFile(payerFolder(home) + u'/' + kFirst) == first;
    faults::fault(
        QStringLiteral("FTP server killed during an upload of %1 bytes").arg(big.size()),
        QStringLiteral("an error box; no partial image in the payer's folder or strip"),
        QStringLiteral("killed with %1 bytes on the server; boxes %2; payer folder "
                       "holds %3; strip shows %4")
            .arg(seenAtKill.load())
            .arg(faults::shown(recorder), inFolder.join(u','), captions().join(u',')),
        seenAtKill > 0 && oneErrorBox() && onlyTheFirst && captions() == QStringList{kFirst});

    // Up again: the row shows what is there, and the next upload completes.
    ASSERT_TRUE(ftp.start());
    recorder.clear();
    strip->pr_get_ftp_imageList(kId);
    const QStringList shownAfterRestart = captions();
    ASSERT_TRUE(writeFile(local + QStringLiteral("/동의서.jpg"), smallJpeg(Qt::blue)));
    recorder.queueFile(local + QStringLiteral("/동의서.jpg"));
    strip->cxButton4Click();
    faults::fault(
        QStringLiteral("FTP server started again after the killed upload"),
        QStringLiteral("the row shows the whole images only; the next upload works"),
        QStringLiteral("row after restart %1; after the next upload %2; boxes %3")
            .arg(shownAfterRestart.join(u','), captions().join(u','), faults::shown(recorder)),
        shownAfterRestart == QStringList{kFirst} && recorder.boxes().empty() &&
            captions() == QStringList({kFirst, QStringLiteral("0000000001_002.JPG")}));
}

TEST_F(FtpFaults, DownloadIntoAFullFileSystem) {
    const QString name = QStringLiteral("download into a full file system");
    const QString full = freshDir(QStringLiteral("full"));
    if (!tmpfs(full)) {
        faults::skipped(name, QStringLiteral("mounting a tmpfs is not permitted here"));
        GTEST_SKIP();
    }
    const QByteArray earlier = "an earlier copy the user keeps\r\n";
    const QString blank = full + QStringLiteral("/출금동의서(회원).DOC");
    const QString saved = full + QStringLiteral("/저장본.JPG");
    ASSERT_TRUE(writeFile(blank, earlier));
    ASSERT_TRUE(writeFile(saved, earlier));
    {
        QFile filler(full + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'F');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("F", 1) == 1) {
        }
    }
    // The blank consent form, straight through the functions.
    QString outcome;
    {
        FtpClient client;
        ASSERT_TRUE(payers::connectFileServer(client));
        try {
            payers::downloadBlankForm(client, blank);
            outcome = QStringLiteral("reported success");
        } catch (const FtpError& e) {
            outcome = e.message();
        }
    }
    faults::fault(QStringLiteral("blank consent form downloaded into a full file system"),
                  QStringLiteral("an error; the earlier file of that name intact"),
                  QStringLiteral("\"%1\"; earlier file %2")
                      .arg(outcome, readFile(blank) == earlier ? QStringLiteral("intact")
                                                               : QStringLiteral("CHANGED")),
                  outcome != u"reported success" && readFile(blank) == earlier);

    // A consent image saved from the strip.
    const QString remoteDir = world().ftpHome + QStringLiteral("/DEBITON/S1/출금동의서/") + kId;
    ASSERT_TRUE(writeFile(remoteDir + u'/' + kFirst, noiseJpeg(300, 400)));
    strip->pr_get_ftp_imageList(kId);
    ASSERT_EQ(strip->images().size(), 1);
    strip->cxImage1Click(strip->images().first());
    recorder.clear();
    recorder.queueFile(saved);
    strip->cxButton5Click();
    faults::fault(
        QStringLiteral("consent image saved into a full file system"),
        QStringLiteral("an error box; the earlier file of that name intact"),
        QStringLiteral("boxes %1; earlier file %2; folder holds %3")
            .arg(faults::shown(recorder),
                 readFile(saved) == earlier ? QStringLiteral("intact") : QStringLiteral("CHANGED"),
                 filesBelow(full).join(u',')),
        oneErrorBox() && readFile(saved) == earlier);
}

TEST_F(FtpFaults, ListingNamesThatAreNoPlainFileNames) {
    const QString dir = freshDir(QStringLiteral("forged"));
    const QString namesFile = dir + QStringLiteral("/names.hex");
    const QString dataFile = dir + QStringLiteral("/data.jpg");
    ASSERT_TRUE(writeFile(dataFile, smallJpeg(Qt::green)));
    faults::PrivateFtp ftp(dir + QStringLiteral("/root"), Servers::get().ftpPassword,
                           QStringLiteral(PAYDESK_SOURCE_DIR "/tests/faults/forged_listing_ftp.py"),
                           {namesFile, dataFile});
    ASSERT_TRUE(writeFile(namesFile, QByteArray()));
    ASSERT_TRUE(ftp.start());
    dm->FTP.port = ftp.port();
    QDir().mkpath(ftp.root() + u'/' + world().ftpUser + QStringLiteral("/DEBITON"));
    const QString absolute = QStringLiteral("/tmp/pd_forged_%1.JPG").arg(world().tag);
    QFile::remove(absolute);

    const struct {
        const char* what;
        QByteArray name;
    } cases[] = {
        {"\"/\" and \"..\" (up out of the cache)", "../escape.JPG"},
        {"\"..\" twice", "../../escape2.JPG"},
        {"a sub folder", "sub/inner.JPG"},
        {"an absolute path", absolute.toUtf8()},
        {"a backslash path", "..\\win.JPG"},
        {"a drive colon", "C:evil.JPG"},
        {"\"..\" alone", ".."},
        {"a control character", "ctl\x01.JPG"},
        {"a terminal escape", "esc\x1b[31m.JPG"},
        {"a carriage return inside", "cr\rname.JPG"},
        {"DEL", "del\x7f.JPG"},
        {"a C1 control (NEL)", "nel\xc2\x85.JPG"},
        {"300 ASCII bytes", QByteArray(296, 'A') + ".JPG"},
        {"90 Hangul syllables (274 UTF-8 bytes)", QString(90, QChar(0xAC00)).toUtf8() + ".JPG"},
    };
    for (const auto& k : cases) {
        const QString name = QStringLiteral("listed name with %1").arg(QString::fromUtf8(k.what));
        ASSERT_TRUE(writeFile(namesFile, kFirst.toUtf8().toHex() + '\n' + k.name.toHex() + '\n'));
        QDir(programDir).removeRecursively();
        QDir().mkpath(programDir);
        const QStringList before = filesBelow(world().workDir);
        recorder.clear();
        strip->pr_get_ftp_imageList(kId);
        QStringList written = filesBelow(world().workDir);
        for (const QString& b : before) written.removeAll(b);
        QStringList outside;
        for (const QString& w : written)
            if (!w.startsWith(QStringLiteral("program/tmp/")) &&
                !w.startsWith(QStringLiteral("forged/")))
                outside << w;
        if (QFile::exists(absolute)) outside << absolute;
        const QStringList inCache =
            QDir(programDir + QStringLiteral("/tmp")).entryList(QDir::Files);
        // ".." is no entry at all, and the listing breaks a name at a carriage return: what
        // comes of them must be plain names in the cache, or refused.
        bool plain = true;
        for (const QString& c : inCache) {
            try {
                platform::ftp::checkedListedName(c);
            } catch (const FtpError&) {
                plain = false;
            }
        }
        const bool refused = k.name == ".." || k.name.contains('\r')
                                 ? plain && (recorder.boxes().empty() || oneErrorBox())
                                 : oneErrorBox(QStringLiteral("파일 이름이 올바르지 않습니다")) &&
                                       inCache == QStringList{kFirst} &&
                                       captions() == QStringList{kFirst};
        faults::input(name,
                      QStringLiteral("refused with an error box (or, cut by the listing, plain "
                                     "names only); nothing written outside the cache; the good "
                                     "entry before it shown"),
                      QStringLiteral("boxes %1; row %2; cache %3; outside the cache %4")
                          .arg(faults::shown(recorder), captions().join(u','), inCache.join(u','),
                               outside.isEmpty() ? QStringLiteral("nothing") : outside.join(u',')),
                      refused && outside.isEmpty() && inCache.contains(kFirst) &&
                          captions().value(0) == kFirst);
    }
    QFile::remove(absolute);
}

TEST_F(FtpFaults, FilesInThePayerFolderThatAreNoWholeJpeg) {
    const QString remoteDir = world().ftpHome + QStringLiteral("/DEBITON/S1/출금동의서/") + kId;
    const QByteArray whole = noiseJpeg(200, 280);
    const QString bad = QStringLiteral("0000000001_002.JPG");
    const struct {
        const char* what;
        QByteArray content;
    } cases[] = {
        {"a text file named .JPG", "this is not a picture\r\n"},
        {"a PNG named .JPG",
         [] {
             QImage img(20, 20, QImage::Format_RGB32);
             img.fill(Qt::yellow);
             QByteArray out;
             QBuffer buf(&out);
             buf.open(QIODevice::WriteOnly);
             img.save(&buf, "PNG");
             return out;
         }()},
        {"an empty file", QByteArray()},
        {"a JPEG cut at 90 %", whole.left(whole.size() * 9 / 10)},
        {"a JPEG cut at 50 %", whole.left(whole.size() / 2)},
        {"a JPEG cut after its header", whole.left(700)},
    };
    for (const auto& k : cases) {
        QDir(remoteDir).removeRecursively();
        ASSERT_TRUE(writeFile(remoteDir + u'/' + kFirst, smallJpeg()));
        ASSERT_TRUE(writeFile(remoteDir + u'/' + bad, k.content));
        ASSERT_TRUE(
            writeFile(remoteDir + QStringLiteral("/0000000001_003.JPG"), smallJpeg(Qt::blue)));
        recorder.clear();
        strip->pr_get_ftp_imageList(kId);
        faults::input(
            QStringLiteral("payer folder holding %1").arg(QString::fromUtf8(k.what)),
            QStringLiteral("an error box naming the file; the images before it shown, "
                           "it not"),
            QStringLiteral("boxes %1; row %2").arg(faults::shown(recorder), captions().join(u',')),
            oneErrorBox(bad) && captions() == QStringList{kFirst});
    }

    // Whole pictures stay welcome: progressive scans, and bytes after the end marker.
    QByteArray progressive;
    {
        QBuffer buf(&progressive);
        buf.open(QIODevice::WriteOnly);
        QImageWriter w(&buf, "JPG");
        w.setProgressiveScanWrite(true);
        ASSERT_TRUE(w.write(QImage::fromData(whole)));
    }
    const struct {
        const char* what;
        QByteArray content;
    } good[] = {{"a progressive JPEG", progressive},
                {"a JPEG with bytes after its end", whole + QByteArray(100, '\0') + "trailer"}};
    for (const auto& k : good) {
        QDir(remoteDir).removeRecursively();
        ASSERT_TRUE(writeFile(remoteDir + u'/' + kFirst, smallJpeg()));
        ASSERT_TRUE(writeFile(remoteDir + u'/' + bad, k.content));
        recorder.clear();
        strip->pr_get_ftp_imageList(kId);
        EXPECT_TRUE(recorder.boxes().empty())
            << k.what << ": " << faults::shown(recorder).toStdString();
        EXPECT_EQ(captions(), QStringList({kFirst, bad})) << k.what;
    }
}

}  // namespace
