// Every form can be worked without a mouse: Tab walks from the first field through every
// field and button of the form in reading order and comes back round, nothing swallows the
// Tab key (a memo, a grid), and Shift+Tab walks back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <memory>

#include "app/data_module.h"
#include "app/indicator.h"
#include "app/login_form.h"
#include "app/main_window.h"
#include "app/session.h"
#include "billing/history_form.h"
#include "billing/request_form.h"
#include "documents/documents_form.h"
#include "facility/beneficiary_import.h"
#include "facility/bill_import.h"
#include "payers/consent_strip.h"
#include "payers/payer_dialog.h"
#include "payers/payer_list.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/grid_model.h"
#include "platform/ui/grid_view.h"
#include "platform/ui/load_timer.h"
#include "signup/join_form.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

using namespace testsupport;

namespace {

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The name a user would know the focused field by: the nearest named widget that is a field
// of the form (the date editor for its text box, the grid for its table).
QString fieldName(QWidget* w, QWidget* form) {
    for (QWidget* p = w; p && p != form; p = p->parentWidget()) {
        const QString n = p->objectName();
        if (n.isEmpty() || n.startsWith(QStringLiteral("qt_")) || n == QStringLiteral("gridView"))
            continue;
        if (qobject_cast<platform::ui::DataGrid*>(p->parentWidget()) ||
            qobject_cast<platform::ui::DateEdit*>(p->parentWidget()))
            continue;
        return n;
    }
    return QStringLiteral("<%1>").arg(QString::fromLatin1(w->metaObject()->className()));
}

// Presses `key` from `start` until the focus comes back to it (or 300 presses): the fields in
// the order the focus visited them, each once.
QStringList walk(QWidget* form, QWidget* start, Qt::KeyboardModifiers modifiers = {}) {
    QApplication::setActiveWindow(form->window());
    start->setFocus(Qt::TabFocusReason);
    settle();
    QStringList seen;
    QWidget* first = QApplication::focusWidget();
    if (!first) return {QStringLiteral("<no focus>")};
    seen << fieldName(first, form);
    for (int i = 0; i < 300; ++i) {
        QWidget* now = QApplication::focusWidget();
        if (!now) return seen << QStringLiteral("<focus lost>");
        QTest::keyClick(now, Qt::Key_Tab, modifiers);
        settle();
        QWidget* next = QApplication::focusWidget();
        if (next == first) return seen;
        if (!next) return seen << QStringLiteral("<focus lost>");
        const QString name = fieldName(next, form);
        if (seen.last() != name) seen << name;
    }
    return seen << QStringLiteral("<no way round>");
}

QStringList reversed(QStringList l) {
    std::reverse(l.begin() + 1, l.end());
    return l;
}

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        resetAll();
        exec(baseDb(),
             "insert into cms_company (id, pw, serviceid, compno, compname, sicode) values "
             "('haengbok01','pw','HB000001','1208812345','행복한요양원','FAC0001');\n"
             "insert into cms_user (serviceid, userid, dlbid, username, bankcode, stat, "
             "startdate, enddate) values "
             "('HB000001','0000000001','M1','김영수','004','등록완료','2019-01-01',"
             "'9999-99-99');\n");
        addServerInfo(QStringLiteral("FAC0001"));
        exec(careDb(),
             "insert into base_mate (sicode, m_code, m_name, m_jumin1, m_phone1, `거주현황`) "
             "values ('FAC0001','M2','나리','380101','010-1','사용중')");
        qputenv("PAYDESK_PROGRAM_DIR", freshDir(QStringLiteral("program")).toUtf8());
        qputenv("PAYDESK_DESKTOP_DIR", freshDir(QStringLiteral("desktop")).toUtf8());
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([](int) {});
        DM = dm.get();
        QApplication::setQuitOnLastWindowClosed(false);
        app::session() = {};
        app::session().serviceid = QStringLiteral("HB000001");
    }
    void TearDown() override {
        delete form.data();
        app::PR_Set_UI_IndicoatorOFF();
        settle();
        app::session() = {};
        DM = nullptr;
        dm.reset();
    }
    template <class T>
    T* show(T* f) {
        form = f;
        f->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(f));
        if constexpr (requires { f->Timer1; }) {
            EXPECT_TRUE(QTest::qWaitFor([f] { return !f->Timer1->isActive(); }, 5000));
        }
        settle();
        return f;
    }
    void expectRound(QWidget* start, const QStringList& order) {
        EXPECT_EQ(walk(form, start), order);
        EXPECT_EQ(walk(form, start, Qt::ShiftModifier), reversed(order));
    }

    MessageRecorder recorder;
    std::unique_ptr<TDM> dm;
    QPointer<QWidget> form;
};

TEST_F(Keyboard, Login) {
    auto* f = show(new TfrmLogin(QStringList{}));
    // The login button comes before the sign-up: it is what the password box leads to.
    expectRound(f->edt_id, {"edt_id", "edt_pw", "ckbx_Logininfo", "btnLogin", "bt_Join"});
}

TEST_F(Keyboard, SignUpEntryAndTerms) {
    auto* f = show(new TfrmJoin);
    expectRound(f->txt_사용자아이디,
                {"txt_사용자아이디", "bt_기관번호확인", "txt_비밀번호", "txt_비밀번호확인",
                 "cbbx_comptype", "txt_사업자번호", "bt_사업자확인", "txt_사업자명", "txt_연락처",
                 "txt_이메일", "txt_주소", "cxButton3", "ckbx_이용약관", "cxButton2",
                 "ckbx_개인정보", "cxButton4", "ckbx_서비스", "ckbx_전체", "btnLogin"});
    f->cxButton3->click();
    expectRound(f->mm_이용약관, {"mm_이용약관", "cxButton1"});
}

TEST_F(Keyboard, DocumentsWithTheirSampleLink) {
    app::session().comptype = QStringLiteral("법인사업자");
    auto* f = show(new TfrmDocuments);
    expectRound(f->cxButton1, {"cxButton1", "bt_B", "pn_B"});
    // Enter on the link asks where to save the sample, as a click does.
    f->pn_B->setFocus();
    QTest::keyClick(f->pn_B, Qt::Key_Return);
    ASSERT_FALSE(recorder.empty());
    EXPECT_EQ(recorder.entries()[0].kind, MessageRecorder::Entry::Kind::SaveFile);
}

TEST_F(Keyboard, PayerListWithItsTabs) {
    auto* f = show(new Tfrm001);
    expectRound(f->cbbx_Stat, {"cbbx_Stat", "ckbx_UseYN", "grd_List", "bt_NewMember", "bt_Download",
                               "bt_ModifyMember", "cxPageControl1", "grd_Bill"});
    f->cxPageControl1->setCurrentIndex(1);
    expectRound(f->cbbx_Stat, {"cbbx_Stat", "ckbx_UseYN", "grd_List", "bt_NewMember", "bt_Download",
                               "bt_ModifyMember", "cxPageControl1", "cxButton4", "cxButton5",
                               "cxButton3", "scroll_Imgs"});
}

TEST_F(Keyboard, PayerDialog) {
    auto* f = show(new Tfrm001_001);
    f->bt_del->hide();
    expectRound(f->txt_UserName,
                {"txt_UserName", "cbbx_Group", "cbbx_Bank", "txt_Account", "txt_Owner", "date_date",
                 "txt_Tel", "cbbx_UseYN", "mem_memo", "bt_save"});
}

TEST_F(Keyboard, RequestFormAmountsByKeyboard) {
    auto* f = show(new Tfrm002);
    expectRound(f->date_Date, {"date_Date", "grd_Bill", "cxButton3", "cxButton4", "cxButton1"});
    // In the grid the arrows reach the amount, typing opens it, Enter takes it, and Tab goes
    // on to the buttons.
    platform::ui::DataGrid& g = *f->grd_Bill;
    ASSERT_EQ(g.recordCount(), 1);
    g.view()->setFocus();
    g.view()->setCurrentIndex(g.model()->index(0, g.columnIndex(QStringLiteral("grd_Bill_User"))));
    const int amount = g.columnIndex(QStringLiteral("grd_Bill_Amount"));
    for (int i = 0; i < 10 && g.view()->currentIndex().column() != amount; ++i)
        QTest::keyClick(g.view(), Qt::Key_Right);
    ASSERT_EQ(g.view()->currentIndex().column(), amount);
    for (char c : std::string("15000")) QTest::keyClick(QApplication::focusWidget(), c);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    EXPECT_EQ(g.displayText(0, QStringLiteral("grd_Bill_Amount")), QStringLiteral("15,000"));
    QTest::keyClick(g.view(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), f->cxButton3);
}

TEST_F(Keyboard, History) {
    auto* f = show(new Tfrm003);
    expectRound(f->date_from, {"date_from", "date_To", "grd_Bill", "bt_NewMember"});
}

TEST_F(Keyboard, BeneficiaryImport) {
    app::session().sicode = QStringLiteral("FAC0001");
    auto* f = show(new Tfrmdlbuser);
    expectRound(f->cbbx_Contract, {"cbbx_Contract", "grdUser", "btnSaveGrid"});
}

TEST_F(Keyboard, RibbonOpensTheFormsAndF10LeadsBackToIt) {
    auto* main = show(new TfrmMain);
    main->showWorkingWindow();
    settle();
    QToolButton* payers = main->ribbonButton(TfrmMain::Command::Payers);
    EXPECT_EQ(walk(main, payers),
              (QStringList{"btnPayers", "btnBilling", "btnHistory", "btnRemoteSupport",
                           "ribbonTabs", "ribbonAppButton"}));
    QTest::keyClick(payers, Qt::Key_Space);
    settle();
    ASSERT_NE(frm001, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([] { return !frm001->Timer1->isActive(); }, 5000));
    // Tab stays within the open form; F10 goes back to the ribbon for the next command.
    EXPECT_EQ(walk(main, frm001->cbbx_Stat).size(), 8);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
    ASSERT_EQ(QApplication::focusWidget(), payers);
    QTest::keyClick(payers, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), main->ribbonButton(TfrmMain::Command::History));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    settle();
    EXPECT_NE(frm003, nullptr);
    delete frm003;
    delete frm001;
}

TEST_F(Keyboard, BillImport) {
    auto* f = show(new Tfrmdlbbill);
    expectRound(f->rdo_BillAll, {"rdo_BillAll", "rdo_UserAll", "btnSaveGrid"});
}

}  // namespace
