// The files beside the program when the file system says no: the request file written into a
// full file system and into a read-only program folder, info.ini that cannot be read or
// written, and ini/torvo.ini that cannot be written. Real mounts (a small tmpfs, a read-only
// bind mount) and the immutable attribute, because root ignores permission bits; each case is
// skipped with a clear line where the machine does not allow it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QTest>

#include "app/clock.h"
#include "app/data_module.h"
#include "app/indicator.h"
#include "app/login_form.h"
#include "app/main_window.h"
#include "app/session.h"
#include "billing/request_form.h"
#include "platform/ui/date_edit.h"
#include "tests/faults/fault_report.h"
#include "tests/faults/private_servers.h"
#include "tests/faults/row_sets.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using namespace testsupport;

namespace {

const QString kDate = QStringLiteral("2031-03-05");
const QString kFileName = QStringLiteral("20310305.S1.pay");
const QByteArray kEarlier = "an earlier request file of this date\r\n";

bool run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// What the file system refuses, undone at the end of the test whatever happened.
class Refusals {
public:
    ~Refusals() {
        for (const QString& path : immutable_) run(QStringLiteral("chattr"), {"-i", path});
        for (auto it = mounts_.rbegin(); it != mounts_.rend(); ++it)
            run(QStringLiteral("umount"), {"-l", *it});
    }
    bool tmpfs(const QString& dir, const QString& size) {
        if (!run(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", dir}))
            return false;
        mounts_ << dir;
        return true;
    }
    bool readOnly(const QString& dir) {
        if (!run(QStringLiteral("mount"), {"--bind", dir, dir})) return false;
        mounts_ << dir;
        return run(QStringLiteral("mount"), {"-o", "remount,bind,ro", dir});
    }
    bool makeImmutable(const QString& path) {
        if (!run(QStringLiteral("chattr"), {"+i", path})) return false;
        immutable_ << path;
        return true;
    }

private:
    QStringList mounts_, immutable_;
};

// Fills the file system of `dir` to the last byte; returns the bytes written.
qint64 fill(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return -1;
    char block[4096];
    std::fill(std::begin(block), std::end(block), 'F');
    qint64 total = 0;
    for (;;) {
        const ssize_t n = ::write(fd, block, sizeof block);
        if (n <= 0) break;
        total += n;
    }
    // The last partial block: byte by byte.
    while (::write(fd, block, 1) == 1) ++total;
    ::close(fd);
    return total;
}

class LocalFiles : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        exec(baseDb(),
             QStringLiteral(
                 "insert into cms_user (serviceid, userid, username, stat, startdate, "
                 "enddate) values ('S1','0000000001','홍길동','등록완료','2019-01-01',"
                 "'9999-99-99'),('S1','0000000002','김영희','등록완료','2019-01-01',"
                 "'9999-99-99');\n"
                 "insert into cms_bill (serviceid, userid, billdate, amount, stat) values "
                 "('S1','0000000001','2031-03-05',15000,'발송대기'),"
                 "('S1','0000000002','2031-03-05',27000,'발송대기');\n"
                 "insert into cms_company (id, pw, serviceid, compno, compname) values "
                 "('pureun001','demo1234','S1','2158654321','푸른요양');\n"));
        programDir = freshDir(QStringLiteral("program"));
        qputenv("PAYDESK_PROGRAM_DIR", programDir.toUtf8());
        qputenv("PAYDESK_DESKTOP_DIR", freshDir(QStringLiteral("desktop")).toUtf8());
        app::session() = {};
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([this](int ms) {
            if (ms == 300) ++pauses;
        });
        dm->setClock(clock);
        DM = dm.get();
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override {
        delete form;
        delete main.data();
        app::PR_Set_UI_IndicoatorOFF();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        refusals.reset();
        app::session() = {};
        DM = nullptr;
        dm.reset();
        qunsetenv("PAYDESK_PROGRAM_DIR");
    }

    // "출금신청파일생성" on the request form of kDate.
    void createRequestFile() {
        app::session().serviceid = QStringLiteral("S1");
        form = new Tfrm002;
        form->show();
        EXPECT_TRUE(faults::waitFor(
            [&] {
                QCoreApplication::processEvents();
                return pauses >= 1;
            },
            10000));
        form->date_Date->setDate(QDate::fromString(kDate, QStringLiteral("yyyy-MM-dd")));
        recorder.clear();
        form->cxButton4Click();
    }

    bool errorBoxShown() const {
        const auto boxes = recorder.boxes();
        return boxes.size() == 1 && boxes[0].icon == platform::ui::MsgIcon::Error &&
               boxes[0].caption == u"오류" && !boxes[0].text.isEmpty();
    }

    TfrmLogin* openLogin() {
        main = new TfrmMain;
        return app::openLoginForm(*main, {});
    }
    void login(TfrmLogin* f) {
        f->edt_id->setText(QStringLiteral("pureun001"));
        f->edt_pw->setText(QStringLiteral("demo1234"));
        f->btnLoginClick();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    QString programDir;
    MessageRecorder recorder;
    app::FixedClock clock{QDateTime(QDate(2031, 3, 1), QTime(10, 0))};
    std::unique_ptr<TDM> dm;
    std::unique_ptr<Refusals> refusals = std::make_unique<Refusals>();
    int pauses = 0;
    QPointer<Tfrm002> form;
    QPointer<TfrmMain> main;
};

TEST_F(LocalFiles, RequestFileIntoAFullFileSystem) {
    const QString name = QStringLiteral("request file into a full file system");
    if (!refusals->tmpfs(programDir, QStringLiteral("64k"))) {
        faults::skipped(name, QStringLiteral("mounting a tmpfs is not permitted here"));
        GTEST_SKIP();
    }
    ASSERT_TRUE(writeFile(programDir + u'/' + kFileName, kEarlier));
    const qint64 filled = fill(programDir + QStringLiteral("/filler"));
    ASSERT_GT(filled, 0);
    createRequestFile();
    const QByteArray after = readFile(programDir + u'/' + kFileName);
    const QStringList left = entries(programDir);
    faults::fault(
        name,
        QStringLiteral("an error box; the earlier file of that name intact; no "
                       "partial file left"),
        QStringLiteral("boxes %1; earlier file %2; folder holds %3")
            .arg(faults::shown(recorder),
                 after == kEarlier ? QStringLiteral("intact")
                                   : QStringLiteral("CHANGED to %1 bytes").arg(after.size()),
                 left.join(u',')),
        errorBoxShown() && after == kEarlier &&
            left == QStringList({kFileName, QStringLiteral("filler")}));
}

TEST_F(LocalFiles, RequestFileIntoAReadOnlyProgramFolder) {
    const QString name = QStringLiteral("request file into a read-only program folder");
    ASSERT_TRUE(writeFile(programDir + u'/' + kFileName, kEarlier));
    if (!refusals->readOnly(programDir)) {
        faults::skipped(name, QStringLiteral("a read-only bind mount is not permitted here"));
        GTEST_SKIP();
    }
    createRequestFile();
    const QByteArray after = readFile(programDir + u'/' + kFileName);
    faults::fault(
        name, QStringLiteral("an error box; the earlier file of that name intact"),
        QStringLiteral("boxes %1; earlier file %2; folder holds %3")
            .arg(faults::shown(recorder),
                 after == kEarlier ? QStringLiteral("intact") : QStringLiteral("CHANGED"),
                 entries(programDir).join(u',')),
        errorBoxShown() && after == kEarlier && entries(programDir) == QStringList{kFileName});
}

TEST_F(LocalFiles, InfoIniThatCannotBeRead) {
    // A folder where the file should be: no reading it, for root as for anyone.
    QDir().mkpath(programDir + QStringLiteral("/info.ini"));
    TfrmLogin* f = openLogin();
    const QString loadFailed = QStringLiteral("로그인 정보를 불러오는데 실패했습니다.");
    faults::fault(
        QStringLiteral("info.ini unreadable (a folder in its place)"),
        QStringLiteral("the warning \"%1\", an empty id box, the form open").arg(loadFailed),
        QStringLiteral("boxes %1; id box \"%2\"")
            .arg(faults::shown(recorder), f ? f->edt_id->text() : QStringLiteral("<gone>")),
        recorder.texts() == QStringList{loadFailed} &&
            recorder.last().icon == platform::ui::MsgIcon::Warning && f &&
            f->edt_id->text().isEmpty() && frmLogin == f);
}

TEST_F(LocalFiles, InfoIniThatCannotBeWritten) {
    const QString saveFailed = QStringLiteral("로그인 정보 저장에 실패했습니다.");
    const QByteArray saved = "[login]\r\nid=pureun001\r\n";
    const struct {
        const char* how;
        bool folder;  // the whole program folder read-only, else only the file immutable
    } ways[] = {{"read-only program folder", true}, {"immutable info.ini", false}};
    for (const auto& w : ways) {
        const QString name = QStringLiteral("info.ini unwritable (%1)").arg(w.how);
        refusals = std::make_unique<Refusals>();
        ASSERT_TRUE(writeFile(programDir + QStringLiteral("/info.ini"), saved));
        const bool refused =
            w.folder ? refusals->readOnly(programDir)
                     : refusals->makeImmutable(programDir + QStringLiteral("/info.ini"));
        if (!refused) {
            faults::skipped(name, QStringLiteral("cannot make it unwritable here"));
            continue;
        }
        recorder.clear();
        app::session() = {};
        TfrmLogin* f = openLogin();
        // The saved id is offered; this login types another spelling of it.
        f->edt_id->setText(QStringLiteral(" pureun001"));
        f->edt_pw->setText(QStringLiteral("demo1234"));
        f->btnLoginClick();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        const QStringList texts = recorder.texts();
        faults::fault(name,
                      QStringLiteral("the warning \"%1\", the login goes on, the earlier info.ini "
                                     "intact")
                          .arg(saveFailed),
                      QStringLiteral("boxes %1; session service id \"%2\"; info.ini %3")
                          .arg(faults::shown(recorder), app::session().serviceid,
                               readFile(programDir + QStringLiteral("/info.ini")) == saved
                                   ? QStringLiteral("intact")
                                   : QStringLiteral("CHANGED")),
                      texts.contains(saveFailed) && app::session().serviceid == u"S1" &&
                          readFile(programDir + QStringLiteral("/info.ini")) == saved);
        delete main.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        refusals.reset();
    }
}

TEST_F(LocalFiles, TorvoIniThatCannotBeWritten) {
    const QByteArray torvo = "; torvo settings\r\n[torvo]\r\nmode=live\r\n";
    const struct {
        const char* how;
        bool folder;
    } ways[] = {{"immutable file", false}, {"read-only ini folder", true}};
    for (const auto& w : ways) {
        const QString name = QStringLiteral("ini/torvo.ini unwritable (%1)").arg(w.how);
        refusals = std::make_unique<Refusals>();
        const QString path = programDir + QStringLiteral("/ini/torvo.ini");
        ASSERT_TRUE(writeFile(path, torvo));
        const bool refused = w.folder ? refusals->readOnly(programDir + QStringLiteral("/ini"))
                                      : refusals->makeImmutable(path);
        if (!refused) {
            faults::skipped(name, QStringLiteral("cannot make it unwritable here"));
            continue;
        }
        recorder.clear();
        app::session() = {};
        login(openLogin());
        faults::fault(name,
                      QStringLiteral("no crash, no message of its own, the login goes on, the file "
                                     "unchanged"),
                      QStringLiteral("boxes %1; session service id \"%2\"; torvo.ini %3")
                          .arg(faults::shown(recorder), app::session().serviceid,
                               readFile(path) == torvo ? QStringLiteral("unchanged")
                                                       : QStringLiteral("CHANGED")),
                      recorder.texts() == QStringList{QStringLiteral("PAYDESK 출금서비스")} &&
                          app::session().serviceid == u"S1" && readFile(path) == torvo);
        delete main.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        refusals.reset();
    }
}

}  // namespace
