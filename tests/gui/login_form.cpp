// The login form against the real servers: manual and automatic login, every message of the
// failure table, info.ini and ini/torvo.ini, the session record, the working window, the
// facility connection and the documents form of a company without service id.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/data_module.h"
#include "app/login_form.h"
#include "app/main_window.h"
#include "app/modal.h"
#include "app/session.h"
#include "documents/documents_form.h"
#include "platform/profile/ini_file.h"
#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "platform/ui/ribbon.h"
#include "signup/join_form.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using Command = TfrmMain::Command;

namespace {

// The working window is 1280 × 720 on a screen that holds it: give the offscreen platform one
// (and a small second screen) before the QApplication of this executable is created.
const bool screensConfigured = [] {
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen") return false;
    const QString path = QDir::tempPath() + QStringLiteral("/paydesk_login_screens.json");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    f.write(R"({"screens":[
        {"name":"big","x":0,"y":0,"width":1600,"height":1000,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1},
        {"name":"small","x":1600,"y":0,"width":1024,"height":600,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toUtf8());
    return true;
}();

const QString kCaption = QStringLiteral("PAYDESK 출금서비스");
const QString kWrong = QStringLiteral("로그인 정보가 잘못되었습니다.");
const QString kNotRegistered =
    QStringLiteral("등록되지 않은 기관 입니다.\r\n하단의 이용안내 연락처로 문의하세요.");
const QString kNoServerInfo = QStringLiteral("온돌봄 서버정보를 가져오지 못했습니다.");
const QString kConnectFailed =
    QStringLiteral("서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요.");

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(data);
}

class LoginForm : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(screensConfigured || qgetenv("QT_QPA_PLATFORM") != "offscreen");
        resetDatabases();
        exec(baseDb(),
             "insert into cms_company (id, pw, serviceid, comptype, compno, compname, sitype, "
             "sicode) values "
             "('haengbok01', 'demo1234', 'HB000001', '개인사업자', '1208812345', '행복한요양원', "
             "'A', 'FAC0001'),"
             "('pureun001', 'demo1234', 'PR000002', '법인사업자', '2158654321', "
             "'푸른방문요양센터', '', ''),"
             "('saessak01', 'demo1234', '', '기타', '3058811111', '새싹돌봄', '', ''),"
             "('blankpw01', '', 'BL000004', '기타', '4058811111', '빈암호', '', ''),"
             "('noinfo01', 'demo1234', 'NI000005', '법인사업자', '5058811111', '정보없음', 'B', "
             "'FAC0002')");
        addServerInfo("FAC0001");
        resetFtp();
        programDir = freshDir("program");
        qputenv("PAYDESK_PROGRAM_DIR", programDir.toUtf8());
        qputenv("PAYDESK_DESKTOP_DIR", freshDir("desktop").toUtf8());
        app::session() = {};
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([](int) {});
        DM = dm.get();
        QApplication::setQuitOnLastWindowClosed(false);
        main = new TfrmMain;
    }

    void TearDown() override {
        delete frmDocuments;
        delete frmJoin;
        delete main.data();
        settle();
        app::session() = {};
        DM = nullptr;
        dm.reset();
        qunsetenv("PAYDESK_PROGRAM_DIR");
    }

    TfrmLogin* open(const QStringList& arguments = {}) {
        return app::openLoginForm(*main, arguments);
    }

    // Types into the boxes and clicks the button, as a user does.
    void login(TfrmLogin* f, const QString& id, const QString& pw) {
        f->edt_id->clear();
        f->edt_pw->clear();
        QTest::keyClicks(f->edt_id, id);
        QTest::keyClicks(f->edt_pw, pw);
        f->btnLogin->click();
        settle();
    }

    QString savedId() const {
        return platform::profile::IniFile(programDir + "/info.ini").readString("login", "id");
    }

    void expectCaptionBox(const MessageRecorder::Entry& e) {
        EXPECT_EQ(e.icon, MsgIcon::None);
        EXPECT_EQ(e.buttons, MsgButtons::Ok);
        EXPECT_EQ(e.caption, kCaption);
        EXPECT_EQ(e.text, kCaption);
    }

    void expectLoggedIn(const QString& serviceid) {
        EXPECT_EQ(frmLogin, nullptr);
        EXPECT_TRUE(main->mdiArea()->subWindowList().isEmpty());
        EXPECT_EQ(app::session().serviceid, serviceid);
        EXPECT_TRUE(main->ribbon()->isVisibleTo(main));
        EXPECT_EQ(main->size(), QSize(1280, 720));
        EXPECT_FALSE(main->isMaximized());
    }

    void expectLoggedOut() {
        ASSERT_NE(frmLogin, nullptr);
        EXPECT_FALSE(app::isClosing(frmLogin));
        EXPECT_TRUE(app::session().serviceid.isEmpty());
        EXPECT_TRUE(app::session().compno.isEmpty());
        EXPECT_FALSE(main->ribbon()->isVisibleTo(main));
        EXPECT_EQ(main->size(), QSize(TfrmMain::kCompactWidth, TfrmMain::kCompactHeight));
    }

    QString programDir;
    MessageRecorder recorder;
    std::unique_ptr<TDM> dm;
    QPointer<TfrmMain> main;
};

TEST_F(LoginForm, LoginByIdAndPasswordGivesTheWorkingWindow) {
    main->show();
    TfrmLogin* f = open();
    ASSERT_NE(f, nullptr);
    // The caption box comes first: nothing has happened yet while it is open.
    bool sessionEmptyAtCaption = false;
    recorder.onShow([&](const MessageRecorder::Entry& e) {
        if (e.text == kCaption) sessionEmptyAtCaption = app::session().serviceid.isEmpty();
    });
    login(f, "pureun001", "demo1234");

    ASSERT_EQ(recorder.entries().size(), 1u) << recorder.texts().join(" | ").toStdString();
    expectCaptionBox(recorder.entries()[0]);
    EXPECT_TRUE(sessionEmptyAtCaption);
    expectLoggedIn("PR000002");
    EXPECT_EQ(main->statusPanel(2)->text(), "PR000002");
    const app::Session& s = app::session();
    EXPECT_EQ(s.compno, "2158654321");
    EXPECT_EQ(s.compname, "푸른방문요양센터");
    EXPECT_EQ(s.comptype, "법인사업자");
    EXPECT_EQ(s.sicode, "");
    EXPECT_EQ(s.sitype, "");
    EXPECT_EQ(savedId(), "pureun001");
    EXPECT_EQ(frmDocuments, nullptr);
    EXPECT_FALSE(DM->UniCon.isConfigured());
    for (Command c : {Command::Payers, Command::Billing, Command::History})
        EXPECT_TRUE(main->ribbonButton(c)->isEnabled());
}

TEST_F(LoginForm, WrongPasswordKeepsTheFormOpen) {
    main->show();
    TfrmLogin* f = open();
    login(f, "pureun001", "demo12345");
    ASSERT_EQ(recorder.texts(), (QStringList{kCaption, kWrong}));
    EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);
    EXPECT_EQ(recorder.last().caption, "확인");
    expectLoggedOut();
    EXPECT_EQ(readFile(programDir + "/info.ini"), "<missing>");

    // The next attempt goes through.
    recorder.clear();
    login(f, "pureun001", "demo1234");
    expectLoggedIn("PR000002");
}

TEST_F(LoginForm, EmptyBoxesAreRefusedWithTheFocusInTheBox) {
    struct Case {
        const char* id;
        const char* pw;
        const char* message;
        bool focusInId;
    } cases[] = {
        {"", "demo1234", "아이디를 입력하지 않았습니다.", true},
        {"   ", "demo1234", "아이디를 입력하지 않았습니다.", true},
        {"pureun001", "", "비밀번호를 입력하지 않았습니다.", false},
    };
    main->show();
    TfrmLogin* f = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        recorder.clear();
        login(f, QString::fromUtf8(c.id), QString::fromUtf8(c.pw));
        ASSERT_EQ(recorder.texts(), (QStringList{kCaption, QString::fromUtf8(c.message)}));
        EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);
        EXPECT_EQ(recorder.last().caption, "확인");
        EXPECT_EQ(f->focusWidget(), c.focusInId ? f->edt_id : f->edt_pw);
        expectLoggedOut();
    }
}

TEST_F(LoginForm, IdWithSurroundingBlanksLogsInAndIsSavedAsTyped) {
    main->show();
    login(open(), "  pureun001 ", "demo1234");
    expectLoggedIn("PR000002");
    EXPECT_TRUE(readFile(programDir + "/info.ini").contains("id=  pureun001 \r\n"))
        << readFile(programDir + "/info.ini").toStdString();
}

TEST_F(LoginForm, PasswordOfBlanksIsLookedUpAsEmpty) {
    main->show();
    login(open(), "blankpw01", "   ");
    EXPECT_EQ(recorder.texts(), QStringList{kCaption});
    expectLoggedIn("BL000004");
}

TEST_F(LoginForm, EnterInTheIdBoxMovesOnAndEnterInThePasswordBoxLogsIn) {
    main->show();
    QApplication::setActiveWindow(main);
    TfrmLogin* f = open();
    QTest::keyClicks(f->edt_id, "pureun001");
    f->edt_id->setFocus();
    QTest::keyClick(f->edt_id, Qt::Key_Return);
    EXPECT_TRUE(recorder.empty());
    EXPECT_EQ(f->focusWidget(), f->edt_pw);
    EXPECT_EQ(f->edt_id->text(), "pureun001");

    QTest::keyClicks(f->edt_pw, "wrong");
    QTest::keyClick(f->edt_pw, Qt::Key_Enter);
    EXPECT_EQ(recorder.texts(), (QStringList{kCaption, kWrong}));
    recorder.clear();
    f->edt_pw->clear();
    QTest::keyClicks(f->edt_pw, "demo1234");
    QTest::keyClick(f->edt_pw, Qt::Key_Return);
    settle();
    EXPECT_EQ(recorder.texts(), QStringList{kCaption});
    expectLoggedIn("PR000002");
}

TEST_F(LoginForm, FacilityCodeLogsInBeforeTheMainWindowIsFirstShown) {
    QString idAtCaption, pwAtCaption;
    recorder.onShow([&](const MessageRecorder::Entry& e) {
        if (e.text == kCaption && frmLogin) {
            idAtCaption = frmLogin->edt_id->text();
            pwAtCaption = frmLogin->edt_pw->text();
        }
    });
    ASSERT_FALSE(main->isVisible());
    open({" FAC0001 ", "ignored"});
    settle();

    // All of it happened while the main window was still hidden.
    EXPECT_FALSE(main->isVisible());
    ASSERT_EQ(recorder.entries().size(), 1u) << recorder.texts().join(" | ").toStdString();
    expectCaptionBox(recorder.entries()[0]);
    EXPECT_EQ(idAtCaption, "haengbok01");
    EXPECT_EQ(pwAtCaption, "demo1234");
    expectLoggedIn("HB000001");
    EXPECT_EQ(app::session().sicode, "FAC0001");
    EXPECT_EQ(savedId(), "haengbok01");

    main->show();
    settle();
    EXPECT_EQ(main->statusPanel(2)->text(), "HB000001");
    EXPECT_EQ(main->size(), QSize(1280, 720));
    EXPECT_TRUE(main->ribbon()->isVisible());
}

TEST_F(LoginForm, UnknownFacilityCodeLeavesAnEmptyFormWithoutSignUp) {
    TfrmLogin* f = open({"FAC9999"});
    main->show();
    settle();
    ASSERT_EQ(recorder.texts(), QStringList{kNotRegistered});
    EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);
    EXPECT_EQ(recorder.last().caption, "확인");
    ASSERT_EQ(frmLogin, f);
    EXPECT_TRUE(f->edt_id->text().isEmpty());
    EXPECT_TRUE(f->edt_pw->text().isEmpty());
    EXPECT_FALSE(f->bt_Join->isVisible());
    EXPECT_TRUE(f->btnLogin->isVisible());
    expectLoggedOut();
}

TEST_F(LoginForm, SavedIdIsPrefilledWithTheFocusInThePasswordBox) {
    writeFile(programDir + "/info.ini", "[login]\r\nid=pureun001\r\n");
    TfrmLogin* f = open();
    main->show();
    QApplication::setActiveWindow(main);
    settle();
    EXPECT_TRUE(recorder.empty()) << recorder.texts().join(" | ").toStdString();
    ASSERT_EQ(frmLogin, f);
    EXPECT_EQ(f->edt_id->text(), "pureun001");
    EXPECT_TRUE(f->edt_pw->text().isEmpty());
    EXPECT_EQ(f->focusWidget(), f->edt_pw);
    EXPECT_EQ(QApplication::focusWidget(), f->edt_pw);
    EXPECT_TRUE(f->bt_Join->isVisible());
    expectLoggedOut();
}

TEST_F(LoginForm, WithoutSavedIdTheFocusIsInTheIdBox) {
    TfrmLogin* f = open();
    main->show();
    QApplication::setActiveWindow(main);
    settle();
    EXPECT_TRUE(recorder.empty());
    EXPECT_EQ(QApplication::focusWidget(), f->edt_id);
}

TEST_F(LoginForm, UnreadableInfoIniIsReportedAndTheIdBoxStaysEmpty) {
    QDir().mkpath(programDir + "/info.ini");  // a folder where the file should be
    TfrmLogin* f = open();
    ASSERT_EQ(recorder.texts(),
              QStringList{QStringLiteral("로그인 정보를 불러오는데 실패했습니다.")});
    EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);
    EXPECT_EQ(recorder.last().caption, "확인");
    EXPECT_TRUE(f->edt_id->text().isEmpty());
    expectLoggedOut();
}

TEST_F(LoginForm, InfoIniThatCannotBeWrittenIsReportedAndTheLoginGoesOn) {
    // The program folder lies below a plain file: nothing can be written there.
    writeFile(programDir + "/blocker", "x");
    qputenv("PAYDESK_PROGRAM_DIR", (programDir + "/blocker/program").toUtf8());
    main->show();
    login(open(), "pureun001", "demo1234");
    ASSERT_EQ(recorder.texts(),
              (QStringList{kCaption, QStringLiteral("로그인 정보 저장에 실패했습니다.")}));
    EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);
    EXPECT_EQ(recorder.last().caption, "확인");
    expectLoggedIn("PR000002");
}

TEST_F(LoginForm, UncheckedSaveIdClearsTheSavedId) {
    writeFile(programDir + "/info.ini", "; last login\r\n[login]\r\nid=haengbok01\r\n");
    main->show();
    TfrmLogin* f = open();
    f->ckbx_Logininfo->setChecked(false);
    login(f, "pureun001", "demo1234");
    expectLoggedIn("PR000002");
    EXPECT_EQ(readFile(programDir + "/info.ini"), "; last login\r\n[login]\r\nid=\r\n");
}

TEST_F(LoginForm, FacilityCompanyConfiguresUniConForTheCareDatabase) {
    main->show();
    login(open(), "haengbok01", "demo1234");
    EXPECT_EQ(recorder.texts(), QStringList{kCaption});
    ASSERT_TRUE(DM->UniCon.isConfigured());
    // A fresh copy of UniCon, as the imports make it, reaches the care-facility database.
    platform::sql::Connection c(DM->UniCon);
    ASSERT_TRUE(DM->Fn_Dynamic_DB_Connect(c));
    platform::sql::Query q(c);
    q.setSql("select database() as db");
    q.open();
    EXPECT_EQ(q.field("db"), world().careDb);
}

TEST_F(LoginForm, FacilityWithoutServerInfoWarnsAndLeavesUniConUnconfigured) {
    main->show();
    login(open(), "noinfo01", "demo1234");
    ASSERT_EQ(recorder.texts(), (QStringList{kCaption, kNoServerInfo}));
    EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);
    EXPECT_EQ(recorder.last().caption, "경고");
    expectLoggedIn("NI000005");
    EXPECT_FALSE(DM->UniCon.isConfigured());
}

TEST_F(LoginForm, UnusableServerInfoRowWarnsAndLeavesUniConUnconfigured) {
    exec(wonjuDb(),
         "insert into server_info values ('FAC0002', hex(aes_encrypt('127.0.0.1','kx7315')), "
         "hex(aes_encrypt('port','kx7315')), hex(aes_encrypt('u','kx7315')), "
         "hex(aes_encrypt('p','kx7315')), hex(aes_encrypt('d','kx7315')))");
    main->show();
    login(open(), "noinfo01", "demo1234");
    ASSERT_EQ(recorder.texts().size(), 2);
    EXPECT_TRUE(recorder.last().text.startsWith(kNoServerInfo));
    EXPECT_EQ(recorder.last().caption, "경고");
    expectLoggedIn("NI000005");
    EXPECT_FALSE(DM->UniCon.isConfigured());
    EXPECT_EQ(DM->UniCon.port, 0);
}

TEST_F(LoginForm, ServerInfoErrorIsSilentAndLeavesUniConUnconfigured) {
    exec(wonjuDb(), "drop table server_info");
    main->show();
    login(open(), "haengbok01", "demo1234");
    EXPECT_EQ(recorder.texts(), QStringList{kCaption});
    expectLoggedIn("HB000001");
    EXPECT_FALSE(DM->UniCon.isConfigured());
}

TEST_F(LoginForm, CompanyWithoutFacilityCodeMakesNoServerInfoLookup) {
    // A facility directory that cannot be reached would announce any attempt.
    DM->UniWonju.port = 1;
    main->show();
    login(open(), "pureun001", "demo1234");
    EXPECT_EQ(recorder.texts(), QStringList{kCaption});
    expectLoggedIn("PR000002");
}

TEST_F(LoginForm, CompanyWithoutServiceIdGetsTheDocumentsForm) {
    main->show();
    login(open(), "saessak01", "demo1234");
    EXPECT_EQ(recorder.texts(), QStringList{kCaption});
    expectLoggedIn("");
    EXPECT_EQ(main->statusPanel(2)->text(), "");
    ASSERT_NE(frmDocuments, nullptr);
    EXPECT_TRUE(frmDocuments->isVisible());
    EXPECT_TRUE(frmDocuments->isWindow());
    for (Command c : {Command::Payers, Command::Billing, Command::History})
        EXPECT_FALSE(main->ribbonButton(c)->isEnabled());
    // 기타: the corporate documents.
    EXPECT_FALSE(frmDocuments->bt_G->isEnabled());
    EXPECT_TRUE(frmDocuments->bt_B->isEnabled());
}

TEST_F(LoginForm, DatabaseErrorDuringTheLookupIsShownAndTheFormStays) {
    exec(baseDb(), "drop table cms_company");
    main->show();
    login(open(), "pureun001", "demo1234");
    ASSERT_EQ(recorder.texts().size(), 2);
    EXPECT_EQ(recorder.last().icon, MsgIcon::Error);
    EXPECT_EQ(recorder.last().caption, "오류");
    EXPECT_TRUE(recorder.last().text.contains("cms_company")) << recorder.last().text.toStdString();
    expectLoggedOut();
}

TEST_F(LoginForm, UnreachableDatabaseShowsOnlyTheConnectMessage) {
    DM->UniBase.port = 1;
    main->show();
    login(open(), "pureun001", "demo1234");
    EXPECT_EQ(recorder.texts(), (QStringList{kCaption, kConnectFailed}));
    expectLoggedOut();
}

TEST_F(LoginForm, SignUpButtonShowsTheSignUpFormModally) {
    main->show();
    TfrmLogin* f = open();
    bool sawForm = false;
    {
        app::ScopedModalDriver driver([&](QWidget& form) {
            sawForm = &form == frmJoin && app::modalDepth() == 1;
            EXPECT_TRUE(form.isVisible());
            EXPECT_EQ(form.windowTitle(), "회원가입");
            form.close();
        });
        f->bt_Join->click();
    }
    settle();
    EXPECT_TRUE(sawForm);
    EXPECT_EQ(frmJoin, nullptr);
    ASSERT_EQ(frmLogin, f);
    EXPECT_TRUE(recorder.empty());
}

class TorvoIni : public LoginForm {
protected:
    QString path() const { return programDir + "/ini/torvo.ini"; }
};

// The file belongs to another program: its sections, comments, blank lines, Korean text in
// its own code page and line ends stay exactly as they were.
TEST_F(TorvoIni, OnlyTheBuildStringChanges) {
    const QByteArray cp949Value = QByteArray("\xC7\xD1\xB1\xDB", 4);  // 한글 in CP949
    struct Case {
        const char* name;
        QByteArray before;
        QByteArray after;
    } cases[] = {
        {"added section",
         "; torvo settings\r\n[torvo]\r\nmode=live\r\nname=" + cp949Value +
             "\r\n\r\n[paths]\r\ndata = C:\\torvo\\data\r\n",
         "; torvo settings\r\n[torvo]\r\nmode=live\r\nname=" + cp949Value +
             "\r\n\r\n[paths]\r\ndata = C:\\torvo\\data\r\n[paydesk.exe]\r\nver=20191029.001\r\n"},
        {"replaced value",
         "[torvo]\r\nmode=live\r\n[paydesk.exe]\r\nver=20180101.007\r\nother=1\r\n[z]\r\nk=v",
         "[torvo]\r\nmode=live\r\n[paydesk.exe]\r\nver=20191029.001\r\nother=1\r\n[z]\r\nk=v"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path(), c.before);
        delete new TfrmLogin(QStringList{});
        EXPECT_EQ(readFile(path()), c.after);
    }
}

TEST_F(TorvoIni, MissingFileIsNotCreated) {
    delete new TfrmLogin(QStringList{});
    EXPECT_FALSE(QFileInfo::exists(programDir + "/ini"));
}

}  // namespace
