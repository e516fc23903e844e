// One month of a care facility with PAYDESK, end to end against the real servers, driven only
// through the named widgets and the message recorder. The service operator's steps are done in
// SQL, as the operator's own tools would do them.
//
// The month, run by run of the program (every run is a fresh data module, session and main
// window, as a new start of the program):
//   1. sign-up from the login form, first login: the application documents, one downloaded;
//      the operator assigns the service id;
//   2. login by id (prefilled from info.ini) and password, two payers entered by hand;
//      the operator links the facility to the care-facility product;
//   3. automatic login by facility code, three beneficiaries imported; the operator registers
//      all five payers; the request for tomorrow: two amounts typed, three fetched from the
//      care-facility billing, registered, the request file written;
//      the operator records the withdrawal results;
//   4. the results on the request form, in the payer's history and in the withdrawal history,
//      which goes out to Excel.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <memory>

#include "app/clock.h"
#include "app/data_module.h"
#include "app/indicator.h"
#include "app/login_form.h"
#include "app/main_window.h"
#include "app/modal.h"
#include "app/session.h"
#include "billing/history_form.h"
#include "billing/request_form.h"
#include "documents/documents_form.h"
#include "facility/beneficiary_import.h"
#include "facility/bill_import.h"
#include "payers/payer_dialog.h"
#include "payers/payer_list.h"
#include "platform/profile/ini_file.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/grid_model.h"
#include "platform/ui/grid_view.h"
#include "platform/ui/load_timer.h"
#include "signup/join_form.h"
#include "store/vocabulary.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

using namespace testsupport;
using platform::ui::DataGrid;
using platform::ui::MsgIcon;
using Command = TfrmMain::Command;

namespace {

// The working window is 1280 × 720; give the offscreen platform a screen that holds it
// before the QApplication of this executable is created.
const bool screenConfigured = [] {
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen") return false;
    const QString path = QDir::tempPath() + QStringLiteral("/paydesk_journey_screen.json");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    f.write(R"({"screens":[{"name":"main","x":0,"y":0,"width":1600,"height":1000,)"
            R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toUtf8());
    return true;
}();

const QString kLoginId = QStringLiteral("haneul001");
const QString kPassword = QStringLiteral("sky2024!");
const QString kServiceId = QStringLiteral("JN000001");
const QString kSicode = QStringLiteral("FAC0101");
const QString kCaption = QStringLiteral("PAYDESK 출금서비스");
const QString kSaved = QStringLiteral("저장이 완료되었습니다.");

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString iso(const QDate& d) {
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Key by key, as typed; characters outside ASCII arrive as the key's text, as an input method
// delivers them.
void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 127) {
            QTest::keyClick(w, c.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

// Focuses a text box, replaces its text by typing, and leaves it with Tab.
void fill(QLineEdit* e, const QString& text) {
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    typeText(e, text);
}

// Picks the item of a closed (non-editable) combo box with the arrow keys.
void choose(QComboBox* c, const QString& item) {
    const int target = c->findText(item);
    ASSERT_GE(target, 0) << item.toStdString();
    c->setFocus();
    while (c->currentIndex() < target) QTest::keyClick(c, Qt::Key_Down);
    while (c->currentIndex() > target) QTest::keyClick(c, Qt::Key_Up);
    ASSERT_EQ(c->currentText(), item);
}

// Types a date into a date editor and commits it with Enter.
void typeDate(platform::ui::DateEdit* d, const QDate& date) {
    QLineEdit* e = d->lineEdit();
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    typeText(e, date.toString(QStringLiteral("yyyyMMdd")));
    QTest::keyClick(e, Qt::Key_Return);
    settle();
}

void click(QAbstractButton* b) {
    ASSERT_TRUE(b->isVisible()) << b->objectName().toStdString();
    ASSERT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    QTest::mouseClick(b, Qt::LeftButton);
    settle();
}

// --- grids ---------------------------------------------------------------------------------

int recordOf(const DataGrid& g, const QString& column, const QString& text) {
    for (int r = 0; r < g.recordCount(); ++r)
        if (g.text(r, column) == text) return r;
    return -1;
}

QStringList shown(const DataGrid& g, const QString& column) {
    QStringList out;
    for (int r : g.visibleRecords()) out << g.displayText(r, column);
    return out;
}

// The check boxes of the shown rows.
QList<bool> ticks(const DataGrid& g, const QString& column) {
    QList<bool> out;
    for (int r : g.visibleRecords()) out << g.isChecked(r, column);
    return out;
}

// Focuses the cell and opens its editor with F2, as a keyboard user does.
QWidget* openCellEditor(DataGrid& g, int record, const QString& column) {
    auto* view = g.view();
    const QModelIndex index = g.model()->index(record, g.columnIndex(column));
    view->setFocus();
    view->setCurrentIndex(index);
    QTest::keyClick(view, Qt::Key_F2);
    settle();
    return view->indexWidget(index);
}

// Types into a text or amount cell and leaves it with Enter.
void typeCell(DataGrid& g, int record, const QString& column, const QString& text) {
    ASSERT_GE(record, 0) << column.toStdString();
    auto* editor = qobject_cast<QLineEdit*>(openCellEditor(g, record, column));
    ASSERT_NE(editor, nullptr) << column.toStdString() << " not editable";
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    typeText(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
}

// Opens a drop-down cell (its list opens at once) and clicks the item.
void pickCell(DataGrid& g, int record, const QString& column, const QString& item) {
    ASSERT_GE(record, 0) << column.toStdString();
    auto* combo = qobject_cast<QComboBox*>(openCellEditor(g, record, column));
    ASSERT_NE(combo, nullptr) << column.toStdString() << " not a drop-down";
    ASSERT_TRUE(QTest::qWaitFor([combo] { return combo->view()->isVisible(); }, 5000));
    const int row = combo->findText(item);
    ASSERT_GE(row, 0) << item.toStdString();
    QAbstractItemView* list = combo->view();
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    settle();
}

void clickHeader(DataGrid& g, const QString& column) {
    QHeaderView* header = g.view()->horizontalHeader();
    const int c = g.columnIndex(column);
    const QPoint at(header->sectionViewportPosition(c) + header->sectionSize(c) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    settle();
}

void clickRow(DataGrid& g, int record, const QString& column) {
    const QModelIndex index = g.model()->index(record, g.columnIndex(column));
    QTest::mouseClick(g.view()->viewport(), Qt::LeftButton, {},
                      g.view()->visualRect(index).center());
    settle();
}

// Reads an .xlsx file back with Python's standard library: per row the cell values (text,
// number or null).
QJsonArray readWorkbook(const QString& path) {
    static const char* script = R"(
import sys, zipfile, json, re
import xml.etree.ElementTree as ET
M = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
z = zipfile.ZipFile(sys.argv[1])
strings = []
if 'xl/sharedStrings.xml' in z.namelist():
    for si in ET.fromstring(z.read('xl/sharedStrings.xml')).iter(M + 'si'):
        strings.append(''.join(t.text or '' for t in si.iter(M + 't')))
out = []
for row in ET.fromstring(z.read('xl/worksheets/sheet1.xml')).iter(M + 'row'):
    cells = {}
    for c in row.findall(M + 'c'):
        col = 0
        for ch in re.match('[A-Z]+', c.get('r')).group(0):
            col = col * 26 + ord(ch) - 64
        v = c.find(M + 'v')
        t = c.get('t')
        if v is None:
            value = None
        elif t == 's':
            value = strings[int(v.text)]
        elif t in ('str', 'inlineStr'):
            value = v.text
        else:
            value = float(v.text)
        cells[col - 1] = value
    out.append([cells.get(i) for i in range(max(cells) + 1 if cells else 0)])
print(json.dumps(out, ensure_ascii=False))
)";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PYTHONIOENCODING"), QStringLiteral("utf-8"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"), QString::fromUtf8(script), path});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

class MonthJourney : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(screenConfigured || qgetenv("QT_QPA_PLATFORM") != "offscreen");
        resetAll();
        programDir = freshDir(QStringLiteral("program"));
        qputenv("PAYDESK_PROGRAM_DIR", programDir.toUtf8());
        qputenv("PAYDESK_DESKTOP_DIR", freshDir(QStringLiteral("desktop")).toUtf8());
        QApplication::setQuitOnLastWindowClosed(false);
        // The program's "today" is the day after the real one: the registration deadline is
        // 16:00 of the local date by the real server clock, so it is always ahead, whatever
        // the hour the test runs at. The request date is the program's tomorrow.
        today = QDate::currentDate().addDays(1);
        clock.set(QDateTime(today, QTime(10, 0)));
        billDate = today.addDays(1);
    }
    void TearDown() override {
        endProgram();
        qunsetenv("PAYDESK_PROGRAM_DIR");
        qunsetenv("PAYDESK_DESKTOP_DIR");
    }

    // --- runs of the program --------------------------------------------------------------

    // As app/main.cpp: the data module, the main window, the login form (whose show handler
    // runs at once), then the main window is shown.
    void startProgram(const QStringList& arguments = {}) {
        recorder.clear();
        app::session() = {};
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([](int) {});
        dm->setClock(clock);
        DM = dm.get();
        main = new TfrmMain;
        app::openLoginForm(*main, arguments);
        main->show();
        QApplication::setActiveWindow(main);
        settle();
    }
    // Closing the main window asks first; the answer is yes.
    void endProgram() {
        if (main) {
            recorder.clear();
            main->close();
            EXPECT_EQ(recorder.texts(), QStringList{"▶ 프로그램을 종료하시겠습니까?"});
            EXPECT_FALSE(main->isVisible());
            delete frmDocuments;
            delete main.data();
        }
        app::PR_Set_UI_IndicoatorOFF();
        settle();
        app::session() = {};
        DM = nullptr;
        dm.reset();
    }
    void expectWorkingWindow() {
        EXPECT_EQ(frmLogin, nullptr);
        EXPECT_EQ(frmDocuments, nullptr);
        EXPECT_EQ(app::session().serviceid, kServiceId);
        EXPECT_EQ(main->statusPanel(2)->text(), kServiceId);
        EXPECT_EQ(main->size(), QSize(TfrmMain::kWorkingWidth, TfrmMain::kWorkingHeight));
        for (Command c : {Command::Payers, Command::Billing, Command::History})
            EXPECT_TRUE(main->ribbonButton(c)->isEnabled());
    }
    // Clicks a ribbon command.
    void ribbon(Command c) {
        QToolButton* b = main->ribbonButton(c);
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isVisible());
        QTest::mouseClick(b, Qt::LeftButton);
        settle();
    }
    template <class T>
    static void waitForLoad(T* form) {
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([form] { return !form->Timer1->isActive(); }, 10000));
        settle();
    }

    // --- the steps of the month --------------------------------------------------------------

    void signUp() {
        TfrmLogin* login = frmLogin;
        ASSERT_NE(login, nullptr);
        bool opened = false;
        app::ScopedModalDriver driver([&](QWidget& w) {
            auto* f = qobject_cast<TfrmJoin*>(&w);
            ASSERT_NE(f, nullptr);
            opened = true;
            QApplication::setActiveWindow(f);
            // Enter walks through the entry page; the two check buttons lie on the way.
            fill(f->txt_사용자아이디, kLoginId);
            QTest::keyClick(f->txt_사용자아이디, Qt::Key_Return);
            ASSERT_EQ(f->focusWidget(), f->bt_기관번호확인);
            QTest::keyClick(f->bt_기관번호확인, Qt::Key_Return);
            ASSERT_TRUE(f->bt_기관번호확인->isHidden()) << recorder.texts().join("|").toStdString();
            ASSERT_EQ(f->focusWidget(), f->txt_비밀번호);
            typeText(f->txt_비밀번호, kPassword);
            QTest::keyClick(f->txt_비밀번호, Qt::Key_Return);
            typeText(f->txt_비밀번호확인, kPassword);
            QTest::keyClick(f->txt_비밀번호확인, Qt::Key_Return);
            ASSERT_EQ(f->focusWidget(), f->txt_사업자번호);
            typeText(f->txt_사업자번호, QStringLiteral("214-86-55021"));
            QTest::keyClick(f->txt_사업자번호, Qt::Key_Return);
            ASSERT_EQ(f->focusWidget(), f->bt_사업자확인);
            QTest::keyClick(f->bt_사업자확인, Qt::Key_Return);
            ASSERT_TRUE(f->bt_사업자확인->isHidden()) << recorder.texts().join("|").toStdString();
            ASSERT_EQ(f->focusWidget(), f->txt_사업자명);
            typeText(f->txt_사업자명, QStringLiteral("하늘요양원"));
            QTest::keyClick(f->txt_사업자명, Qt::Key_Return);
            typeText(f->txt_연락처, QStringLiteral("031-555-0142"));
            QTest::keyClick(f->txt_연락처, Qt::Key_Return);
            typeText(f->txt_이메일, QStringLiteral("office@haneul.example"));
            QTest::keyClick(f->txt_이메일, Qt::Key_Return);
            ASSERT_EQ(f->focusWidget(), f->txt_주소);
            typeText(f->txt_주소, QStringLiteral("경기도 수원시 팔달구 효원로 1"));
            choose(f->cbbx_comptype, QStringLiteral("개인사업자"));
            // The terms, read and agreed to.
            click(f->cxButton3);
            ASSERT_EQ(f->pageControl->currentWidget(), f->cxTabSheet2);
            click(f->cxButton1);
            f->ckbx_전체->setFocus();
            QTest::keyClick(f->ckbx_전체, Qt::Key_Space);
            ASSERT_TRUE(f->ckbx_서비스->isChecked());
            EXPECT_TRUE(recorder.empty()) << recorder.texts().join("|").toStdString();
            click(f->btnLogin);
        });
        click(login->bt_Join);
        ASSERT_TRUE(opened);
        EXPECT_EQ(frmJoin, nullptr);
        ASSERT_EQ(recorder.texts(), QStringList{"가입이 완료되었습니다."});
        EXPECT_EQ(rows(baseDb(),
                       "select id, pw, serviceid, comptype, compno, compname, sicode, tel, addr, "
                       "email from cms_company"),
                  (std::vector<QStringList>{
                      {kLoginId, kPassword, "", "개인사업자", "2148655021", "하늘요양원", "",
                       "0315550142", "경기도 수원시 팔달구 효원로 1", "office@haneul.example"}}));
    }

    // Id and password typed, Enter in the password box.
    void logInByHand(bool idPrefilled) {
        TfrmLogin* f = frmLogin;
        ASSERT_NE(f, nullptr);
        if (idPrefilled) {
            EXPECT_EQ(f->edt_id->text(), kLoginId);
            EXPECT_EQ(f->focusWidget(), f->edt_pw);
        } else {
            fill(f->edt_id, kLoginId);
            QTest::keyClick(f->edt_id, Qt::Key_Return);
            EXPECT_EQ(f->focusWidget(), f->edt_pw);
        }
        recorder.clear();
        typeText(f->edt_pw, kPassword);
        QTest::keyClick(f->edt_pw, Qt::Key_Return);
        settle();
        ASSERT_EQ(recorder.texts(), QStringList{kCaption});
        EXPECT_EQ(frmLogin, nullptr);
    }

    void downloadApplicationForm() {
        ASSERT_NE(frmDocuments, nullptr);
        EXPECT_TRUE(frmDocuments->isVisible());
        for (Command c : {Command::Payers, Command::Billing, Command::History})
            EXPECT_FALSE(main->ribbonButton(c)->isEnabled());
        // 개인사업자: the individual-business documents.
        EXPECT_TRUE(frmDocuments->bt_G->isEnabled());
        EXPECT_FALSE(frmDocuments->bt_B->isEnabled());
        const QString path = freshDir(QStringLiteral("downloads")) + "/" + store::kDocApplication;
        recorder.clear();
        recorder.queueFile(path);
        click(frmDocuments->cxButton1);
        ASSERT_EQ(recorder.entries().size(), 1u) << recorder.texts().join("|").toStdString();
        EXPECT_EQ(recorder.entries()[0].kind, MessageRecorder::Entry::Kind::SaveFile);
        EXPECT_EQ(readFile(path), documentContent(store::kDocApplication));
        frmDocuments->close();
        settle();
        EXPECT_EQ(frmDocuments, nullptr);
    }

    struct HandPayer {
        QString name, bank, account, owner;
        QDate birth;
        QString tel, memo;
    };
    void addPayerByHand(Tfrm001* list, const HandPayer& p) {
        bool opened = false;
        recorder.clear();
        app::ScopedModalDriver driver([&](QWidget& w) {
            auto* d = qobject_cast<Tfrm001_001*>(&w);
            ASSERT_NE(d, nullptr);
            opened = true;
            EXPECT_TRUE(QTest::qWaitFor([d] { return !d->Timer1->isActive(); }, 5000));
            EXPECT_TRUE(d->txt_UserID->text().isEmpty());
            fill(d->txt_UserName, p.name);
            choose(d->cbbx_Bank, p.bank);
            fill(d->txt_Account, p.account);
            fill(d->txt_Owner, p.owner);
            typeDate(d->date_date, p.birth);
            fill(d->txt_Tel, p.tel);
            d->mem_memo->setFocus();
            typeText(d->mem_memo, p.memo);
            click(d->bt_save);
        });
        click(list->bt_NewMember);
        ASSERT_TRUE(opened);
        EXPECT_EQ(frm001_001, nullptr);
        EXPECT_EQ(recorder.texts(), QStringList{kSaved});
    }

    void importBeneficiaries(Tfrm001* list) {
        ASSERT_TRUE(list->bt_newmember_dlb->isVisible());
        EXPECT_FALSE(list->bt_NewMember->isVisible());
        bool opened = false;
        recorder.clear();
        app::ScopedModalDriver driver([&](QWidget& w) {
            auto* f = qobject_cast<Tfrmdlbuser*>(&w);
            ASSERT_NE(f, nullptr);
            opened = true;
            waitForLoad(f);
            DataGrid& g = *f->grdUser;
            EXPECT_EQ(shown(g, "grdUser_Name"),
                      (QStringList{"박순자", "정말순", "최영철", "한복녀"}));
            // Only the residents: the one discharged last month is not a payer.
            choose(f->cbbx_Contract, QStringLiteral("이용중"));
            settle();
            ASSERT_EQ(shown(g, "grdUser_Name"), (QStringList{"박순자", "정말순", "최영철"}));
            EXPECT_EQ(shown(g, "grdUser_Tel"),
                      (QStringList{"010-3100-0001", "031-222-0002", "010-3100-0003"}));
            clickHeader(g, "grdUser_Chk");
            EXPECT_EQ(ticks(g, "grdUser_Chk"), (QList<bool>{true, true, true}));
            const struct {
                const char* name;
                const char* bank;
                const char* account;
                const char* holder;
            } data[] = {
                {"박순자", "농협", "302-1234-5678-01", "김영수"},
                {"정말순", "우체국", "010095-02-112233", "정하나"},
                {"최영철", "국민은행", "123401-04-556677", "최민호"},
            };
            for (const auto& d : data) {
                const int r = recordOf(g, "grdUser_Name", QString::fromUtf8(d.name));
                pickCell(g, r, "grdUser_Bank", QString::fromUtf8(d.bank));
                typeCell(g, r, "grdUser_Account", QString::fromUtf8(d.account));
                typeCell(g, r, "grdUser_AccountName", QString::fromUtf8(d.holder));
                EXPECT_EQ(g.text(r, "grdUser_Bank"), QString::fromUtf8(d.bank));
                EXPECT_EQ(g.text(r, "grdUser_AccountName"), QString::fromUtf8(d.holder));
            }
            click(f->btnSaveGrid);
            EXPECT_EQ(recorder.texts(), QStringList{"수급자 정보를 저장 하였습니다."});
            EXPECT_EQ(ticks(g, "grdUser_Exist"), (QList<bool>{true, true, true}));
            EXPECT_EQ(ticks(g, "grdUser_Chk"), (QList<bool>{false, false, false}));
            f->close();
        });
        click(list->bt_newmember_dlb);
        ASSERT_TRUE(opened);
        settle();
        EXPECT_EQ(frmdlbuser, nullptr);
    }

    void fetchBilledAmounts(Tfrm002* form) {
        bool opened = false;
        app::ScopedModalDriver driver([&](QWidget& w) {
            auto* f = qobject_cast<Tfrmdlbbill*>(&w);
            ASSERT_NE(f, nullptr);
            opened = true;
            // The unpaid amounts of earlier months are collected, for every beneficiary.
            EXPECT_TRUE(f->rdo_BillAll->isChecked());
            EXPECT_TRUE(f->rdo_UserAll->isChecked());
            click(f->btnSaveGrid);
        });
        click(form->cxButton3);
        ASSERT_TRUE(opened);
        settle();
        EXPECT_EQ(frmdlbbill, nullptr);
    }

    QString programDir;
    MessageRecorder recorder;
    app::FixedClock clock{QDateTime()};
    QDate today;     // the program's local date
    QDate billDate;  // the withdrawal date: the program's tomorrow
    std::unique_ptr<TDM> dm;
    QPointer<TfrmMain> main;
};

TEST_F(MonthJourney, FromSignUpToTheWithdrawalResults) {
    // --- Run 1: a new facility signs up and logs in for the first time --------------------
    startProgram();
    ASSERT_NO_FATAL_FAILURE(signUp());
    ASSERT_NO_FATAL_FAILURE(logInByHand(false));
    // Without a service id the company first applies for the service.
    EXPECT_EQ(app::session().serviceid, "");
    ASSERT_NO_FATAL_FAILURE(downloadApplicationForm());
    endProgram();

    // The operator has received the application and assigns the service id.
    exec(baseDb(), QStringLiteral("update cms_company set serviceid = '%1' where id = '%2'")
                       .arg(kServiceId, kLoginId));

    // --- Run 2: two payers entered by hand --------------------------------------------------
    // The payer list of a company linked to the care-facility product offers only the import,
    // so a facility enters its hand-kept payers (here two day-care guests the care-facility
    // product does not know) while it is not linked yet; the operator links it later.
    startProgram();
    ASSERT_NO_FATAL_FAILURE(logInByHand(true));
    expectWorkingWindow();
    EXPECT_FALSE(DM->UniCon.isConfigured());
    ribbon(Command::Payers);
    waitForLoad(frm001);
    Tfrm001* list = frm001;
    EXPECT_TRUE(list->bt_NewMember->isVisible());
    EXPECT_FALSE(list->bt_newmember_dlb->isVisible());
    EXPECT_EQ(list->grd_List->recordCount(), 0);
    ASSERT_NO_FATAL_FAILURE(
        addPayerByHand(list, {"김민준", "(004)국민은행", "123-456-789012", "김민준",
                              QDate(1985, 3, 2), "010-2345-6789", "주간보호 이용"}));
    ASSERT_NO_FATAL_FAILURE(
        addPayerByHand(list, {"이서연", "(088)신한은행", "110-234-567890", "이정호",
                              QDate(1990, 11, 23), "010-8765-4321", "주간보호 이용, 보호자 납부"}));
    EXPECT_EQ(shown(*list->grd_List, "grd_List_Name"), (QStringList{"김민준", "이서연"}));
    EXPECT_EQ(list->lb_stat->text(), "등록대기");
    EXPECT_EQ(rows(baseDb(),
                   "select userid, username, bankcode, account, accountname, birth, tel, stat "
                   "from cms_user order by userid"),
              (std::vector<QStringList>{{"0000000001", "김민준", "004", "123-456-789012", "김민준",
                                         "1985-03-02", "010-2345-6789", "등록대기"},
                                        {"0000000002", "이서연", "088", "110-234-567890", "이정호",
                                         "1990-11-23", "010-8765-4321", "등록대기"}}));
    endProgram();

    // The operator links the facility to the care-facility product, whose database already
    // holds the residents, their billed months and payments.
    exec(baseDb(),
         QStringLiteral("update cms_company set sicode = '%1', sitype = 'A' where id = '%2'")
             .arg(kSicode, kLoginId));
    addServerInfo(kSicode);
    exec(careDb(),
         QStringLiteral(
             "insert into base_mate (sicode, m_code, m_name, m_regist, `성별`, m_jumin1, `등급`, "
             "m_phone1, m_phone2, `거주현황`) values "
             "('%1','M101','박순자','L1100101','여','380415','2등급','010-3100-0001','','사용중'),"
             "('%1','M102','정말순','L1100102','여','420923','3등급','','031-222-0002','사용중'),"
             "('%1','M103','최영철','L1100103','남','400101','1등급','010-3100-0003',NULL,"
             "'사용중'),"
             "('%1','M104','한복녀','L1100104','여','350707','4등급','010-3100-0004','',"
             "'퇴소자');\n"
             // Latest months: 박순자 April; 정말순 March and April (April counts, with April's
             // payment); 최영철 April with an earlier debt, paid in part with an adjustment.
             "insert into base_demand (sicode, de_code, de_year, de_wol, `청구합계`, "
             "`이전미납금`) values "
             "('%1','M101','2024','04',1250000,0),"
             "('%1','M102','2024','03',700000,0),"
             "('%1','M102','2024','04',640000,100000),"
             "('%1','M103','2024','04',980000,50000),"
             "('%1','M104','2024','04',300000,0);\n"
             "insert into base_income (sicode, in_code, in_year, in_wol, `입금금액`, `조정금액`) "
             "values "
             "('%1','M102','2024','03',700000,0),"
             "('%1','M102','2024','04',40000,0),"
             "('%1','M103','2024','04',20000,10000);\n")
             .arg(kSicode));

    // --- Run 3: the 온돌봄 product starts PAYDESK with the facility code -------------------
    startProgram({kSicode});
    expectWorkingWindow();
    EXPECT_EQ(recorder.texts(), QStringList{kCaption});
    EXPECT_TRUE(DM->UniCon.isConfigured());
    ribbon(Command::Payers);
    waitForLoad(frm001);
    list = frm001;
    ASSERT_NO_FATAL_FAILURE(importBeneficiaries(list));
    EXPECT_EQ(shown(*list->grd_List, "grd_List_Name"),
              (QStringList{"김민준", "박순자", "이서연", "정말순", "최영철"}));
    EXPECT_EQ(rows(baseDb(),
                   "select userid, dlbid, username, bankcode, account, accountname, birth, tel, "
                   "stat, startdate, enddate from cms_user where userid > '0000000002' "
                   "order by userid"),
              (std::vector<QStringList>{
                  {"0000000003", "M101", "박순자", "011", "302-1234-5678-01", "김영수",
                   "1938-04-15", "01031000001", "등록대기", "9999-99-99", "9999-99-99"},
                  {"0000000004", "M102", "정말순", "071", "010095-02-112233", "정하나",
                   "1942-09-23", "0312220002", "등록대기", "9999-99-99", "9999-99-99"},
                  {"0000000005", "M103", "최영철", "004", "123401-04-556677", "최민호",
                   "1940-01-01", "01031000003", "등록대기", "9999-99-99", "9999-99-99"}}));

    // The operator registers the five payers with the withdrawal service from today on.
    exec(baseDb(), QStringLiteral("update cms_user set stat = '등록완료', startdate = '%1', "
                                  "enddate = '9999-99-99' where serviceid = '%2'")
                       .arg(iso(today), kServiceId));

    // The request for tomorrow: two amounts typed, three fetched from the billing.
    ribbon(Command::Billing);
    waitForLoad(frm002);
    Tfrm002* request = frm002;
    EXPECT_EQ(request->date_Date->text(), iso(billDate));
    DataGrid& bills = *request->grd_Bill;
    ASSERT_EQ(shown(bills, "grd_Bill_User"),
              (QStringList{"김민준", "박순자", "이서연", "정말순", "최영철"}));
    EXPECT_EQ(shown(bills, "grd_Bill_Amount"), (QStringList{"0", "0", "0", "0", "0"}));
    EXPECT_EQ(shown(bills, "grd_Bill_BankName"),
              (QStringList{"국민은행", "농협", "신한은행", "우체국", "국민은행"}));
    typeCell(bills, recordOf(bills, "grd_Bill_User", "김민준"), "grd_Bill_Amount", "35000");
    typeCell(bills, recordOf(bills, "grd_Bill_User", "이서연"), "grd_Bill_Amount", "120000");
    ASSERT_NO_FATAL_FAILURE(fetchBilledAmounts(request));
    EXPECT_EQ(shown(bills, "grd_Bill_Amount"),
              (QStringList{"35,000", "1,250,000", "120,000", "700,000", "1,000,000"}));

    recorder.clear();
    click(request->cxButton1);
    EXPECT_EQ(recorder.texts(), QStringList{kSaved});
    EXPECT_EQ(rows(baseDb(), QStringLiteral("select userid, amount, stat, bankcode, account, "
                                            "accountname from cms_bill where billdate = '%1' "
                                            "order by userid")
                                 .arg(iso(billDate))),
              (std::vector<QStringList>{
                  {"0000000001", "35000", "발송대기", "004", "123-456-789012", "김민준"},
                  {"0000000002", "120000", "발송대기", "088", "110-234-567890", "이정호"},
                  {"0000000003", "1250000", "발송대기", "011", "302-1234-5678-01", "김영수"},
                  {"0000000004", "700000", "발송대기", "071", "010095-02-112233", "정하나"},
                  {"0000000005", "1000000", "발송대기", "004", "123401-04-556677", "최민호"}}));

    // The request file beside the program, as rendered independently from the record layout
    // (tests/data/journey/render_request_file.py).
    recorder.clear();
    click(request->cxButton4);
    EXPECT_TRUE(recorder.empty()) << recorder.texts().join("|").toStdString();
    const QString payName =
        billDate.toString(QStringLiteral("yyyyMMdd")) + "." + kServiceId + QStringLiteral(".pay");
    EXPECT_EQ(readFile(programDir + "/" + payName),
              readFile(QStringLiteral(PAYDESK_SOURCE_DIR "/tests/data/journey/month.pay")));
    endProgram();

    // The withdrawal service has processed the request: one account lacked the money.
    exec(baseDb(),
         QStringLiteral("insert into cms_bill_his (serviceid, userid, billdate, resultamount, "
                        "resultname) values "
                        "('%1','0000000001','%2',35000,'출금성공'),"
                        "('%1','0000000002','%2',0,'잔액부족'),"
                        "('%1','0000000003','%2',1250000,'출금성공'),"
                        "('%1','0000000004','%2',700000,'출금성공'),"
                        "('%1','0000000005','%2',1000000,'출금성공')")
             .arg(kServiceId, iso(billDate)));

    // --- Run 4, two days later: the results -------------------------------------------------
    clock.set(QDateTime(today.addDays(2), QTime(9, 30)));
    startProgram({kSicode});
    expectWorkingWindow();

    ribbon(Command::Billing);
    waitForLoad(frm002);
    request = frm002;
    typeDate(request->date_Date, billDate);
    ASSERT_EQ(request->date_Date->text(), iso(billDate));
    DataGrid& results = *request->grd_Bill;
    EXPECT_EQ(shown(results, "grd_Bill_User"),
              (QStringList{"김민준", "박순자", "이서연", "정말순", "최영철"}));
    EXPECT_EQ(shown(results, "grd_Bill_Amount"),
              (QStringList{"35,000", "1,250,000", "120,000", "700,000", "1,000,000"}));
    EXPECT_EQ(shown(results, "grd_Bill_ResultAmount"),
              (QStringList{"35,000", "1,250,000", "0", "700,000", "1,000,000"}));
    EXPECT_EQ(shown(results, "grd_Bill_Result"),
              (QStringList{"출금성공", "출금성공", "잔액부족", "출금성공", "출금성공"}));
    EXPECT_EQ(results.footerText("grd_Bill_User"), QStringLiteral("5 건"));

    // The payer whose withdrawal failed, in the payer list's history.
    ribbon(Command::Payers);
    waitForLoad(frm001);
    list = frm001;
    clickRow(*list->grd_List, recordOf(*list->grd_List, "grd_List_Name", "이서연"),
             "grd_List_Name");
    EXPECT_EQ(list->lb_username->text(), "이서연");
    EXPECT_EQ(list->cxPageControl1->currentIndex(), 0);
    const DataGrid& history = *list->grd_Bill;
    EXPECT_EQ(shown(history, "grd_Bill_BillDate"),
              QStringList{billDate.toString(QStringLiteral("yyyy.MM.dd"))});
    EXPECT_EQ(shown(history, "grd_Bill_Amount"), QStringList{"120,000"});
    EXPECT_EQ(shown(history, "grd_Bill_ResultAmount"), QStringList{"0"});
    EXPECT_EQ(shown(history, "grd_Bill_Result"), QStringList{"잔액부족"});
    EXPECT_EQ(shown(history, "grd_Bill_BankName"), QStringList{"신한은행"});

    // The withdrawal history of the month of the request, and its Excel output.
    ribbon(Command::History);
    waitForLoad(frm003);
    Tfrm003* months = frm003;
    typeDate(months->date_from, QDate(billDate.year(), billDate.month(), 1));
    typeDate(months->date_To, QDate(billDate.year(), billDate.month(), billDate.daysInMonth()));
    DataGrid& his = *months->grd_Bill;
    EXPECT_EQ(shown(his, "grd_Bill_ID"),
              (QStringList{"0000000001", "0000000002", "0000000003", "0000000004", "0000000005"}));
    EXPECT_EQ(shown(his, "grd_Bill_BillDate"), QStringList(5, iso(billDate)));
    EXPECT_EQ(shown(his, "grd_Bill_Result"),
              (QStringList{"출금성공", "잔액부족", "출금성공", "출금성공", "출금성공"}));
    EXPECT_EQ(his.footerText("grd_Bill_User"), QStringLiteral("5 건"));
    EXPECT_EQ(his.footerText("grd_Bill_Amount"), QStringLiteral("3,105,000 원"));
    EXPECT_EQ(his.footerText("grd_Bill_ResultAmount"), QStringLiteral("2,985,000 원"));

    const QString workbook = freshDir(QStringLiteral("excel")) + QStringLiteral("/출금내역.xlsx");
    recorder.clear();
    recorder.queueFile(workbook);
    click(months->bt_NewMember);
    EXPECT_EQ(recorder.texts(), QStringList{"엑셀 파일을 저장했습니다."});
    const QJsonArray sheet = readWorkbook(workbook);
    ASSERT_EQ(sheet.size(), 1 + 5 + 1);
    EXPECT_EQ(sheet[0].toArray().at(2).toString(), QStringLiteral("사용자명"));
    // Row of 이서연: date, id, name, bank, account, holder, requested, withdrawn, result.
    const QJsonArray failed = sheet[2].toArray();
    EXPECT_EQ(failed.at(0).toString(), iso(billDate));
    EXPECT_EQ(failed.at(1).toString(), QStringLiteral("0000000002"));
    EXPECT_EQ(failed.at(2).toString(), QStringLiteral("이서연"));
    EXPECT_EQ(failed.at(3).toString(), QStringLiteral("신한은행"));
    EXPECT_EQ(failed.at(6).toDouble(), 120000.0);
    EXPECT_EQ(failed.at(7).toDouble(), 0.0);
    EXPECT_EQ(failed.at(8).toString(), QStringLiteral("잔액부족"));
    const QJsonArray totals = sheet[6].toArray();
    EXPECT_EQ(totals.at(0).toString(), QStringLiteral("합계"));
    EXPECT_EQ(totals.at(2).toDouble(), 5.0);
    EXPECT_EQ(totals.at(6).toDouble(), 3105000.0);
    EXPECT_EQ(totals.at(7).toDouble(), 2985000.0);
}

}  // namespace
