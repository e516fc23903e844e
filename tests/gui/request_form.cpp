// The withdrawal request form driven through its named widgets: the default date, the list
// of a date, typing and registering amounts, the deadline by the server clock, the request
// file and the amounts the billed-amount import writes into the grid.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include "app/clock.h"
#include "app/data_module.h"
#include "app/indicator.h"
#include "app/main_window.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "billing/request_form.h"
#include "platform/ui/currency_edit.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/grid_model.h"
#include "platform/ui/grid_view.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

using namespace testsupport;
using platform::ui::MsgIcon;

namespace {

const QString kSaved = QStringLiteral("저장이 완료되었습니다.");
const QString kClosed = QStringLiteral("이미 마감된 날짜입니다.");

const char* kPayers =
    "insert into cms_user (serviceid, userid, dlbid, username, bankcode, account, accountname, "
    "stat, startdate, enddate) values "
    "('S1','0000000001','M001','홍길동','088','110-1','홍길동','등록완료','2019-01-01','9999-99-99'"
    "),"
    "('S1','0000000002','M002','김영희','004','220-2','김영희','등록완료','2019-01-01','9999-99-99'"
    "),"
    "('S1','0000000003',NULL,'박철수','011','330-3','박부인','등록완료','2019-01-01','9999-99-99'),"
    "('S1','0000000004','M004','최대기','004','440-4','최대기','등록대기','2019-01-01','9999-99-99'"
    "),"
    "('S1','0000000005','M001','이중복','999','550-5','이중복','등록완료','2019-01-01','9999-99-99'"
    ");\n";

QString iso(const QDate& d) {
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

template <class F>
bool waitUntil(F done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QTest::qWait(10);
    return done();
}

// The service schema on the server whose clock the tests move (it holds no world databases).
platform::sql::ConnectionSettings clockServiceDb() {
    auto admin = Servers::get().clockdb;
    const QString db = QStringLiteral("t_%1_svc").arg(world().tag);
    exec(admin, QStringLiteral("DROP DATABASE IF EXISTS `%1`;\nCREATE DATABASE `%1` DEFAULT "
                               "CHARACTER SET euckr;")
                    .arg(db));
    auto where = admin;
    where.database = db;
    QFile schema(QStringLiteral(PAYDESK_SOURCE_DIR "/store/schema/service.sql"));
    EXPECT_TRUE(schema.open(QIODevice::ReadOnly));
    exec(where, QString::fromUtf8(schema.readAll()));
    return where;
}

class RequestForm : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        exec(baseDb(), QString::fromUtf8(kPayers));
        programDir = freshDir(QStringLiteral("program"));
        qputenv("PAYDESK_PROGRAM_DIR", programDir.toUtf8());
        app::session() = {};
        app::session().serviceid = QStringLiteral("S1");
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([this](int ms) {
            if (ms == 300) ++indicatorPauses;
        });
        // Local tomorrow: the day's deadline by the real server clock is always ahead.
        clock.set(QDateTime(QDate::currentDate().addDays(1), QTime(10, 0)));
        dm->setClock(clock);
        DM = dm.get();
    }
    void TearDown() override {
        delete form;
        app::PR_Set_UI_IndicoatorOFF();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (Servers::get().clockFaked) resetClockServerTime();
        DM = nullptr;
        dm.reset();
    }

    // Opens the form and waits for its one load.
    Tfrm002& open() {
        form = new Tfrm002;
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        EXPECT_TRUE(waitUntil([&] { return indicatorPauses >= 1; }));
        return *form;
    }
    platform::ui::DataGrid& grid() { return *form->grd_Bill; }
    void chooseDate(const QDate& d) { form->date_Date->setDate(d); }
    int recordOf(const QString& userid) {
        for (int r = 0; r < grid().recordCount(); ++r)
            if (grid().text(r, "grd_Bill_ID") == userid) return r;
        ADD_FAILURE() << "no row " << userid.toStdString();
        return -1;
    }
    // Types into the amount cell of `userid` as a user does; the editor stays open.
    void typeAmount(const QString& userid, const QString& digits) {
        const int r = recordOf(userid);
        ASSERT_GE(r, 0);
        auto* view = grid().view();
        const QModelIndex index = grid().model()->index(r, grid().columnIndex("grd_Bill_Amount"));
        view->setCurrentIndex(index);
        view->edit(index);
        auto* editor = qobject_cast<platform::ui::CurrencyEdit*>(view->indexWidget(index));
        ASSERT_NE(editor, nullptr) << "amount not editable";
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, digits);
    }
    void clickRegister() { QTest::mouseClick(form->cxButton1, Qt::LeftButton); }
    std::vector<QStringList> stored(const platform::sql::ConnectionSettings& db, const QDate& d) {
        return rows(db,
                    QStringLiteral("select userid, amount, stat, bankcode, account, accountname "
                                   "from cms_bill where serviceid='S1' and billdate='%1' "
                                   "order by userid")
                        .arg(iso(d)));
    }

    QString programDir;
    MessageRecorder recorder;
    app::FixedClock clock{QDateTime()};
    std::unique_ptr<TDM> dm;
    int indicatorPauses = 0;
    QPointer<Tfrm002> form;
};

TEST_F(RequestForm, DefaultDateByTheLocalClock) {
    const struct {
        QTime local;
        int daysAhead;
    } cases[] = {{QTime(15, 59, 59), 1}, {QTime(16, 0, 0), 2}};
    const QDate today(2024, 5, 2);
    for (const auto& c : cases) {
        clock.set(QDateTime(today, c.local));
        indicatorPauses = 0;
        Tfrm002& f = open();
        EXPECT_EQ(f.date_Date->text(), iso(today.addDays(c.daysAhead)));
        EXPECT_EQ(f.date_Date->lineEdit()->text(), iso(today.addDays(c.daysAhead)));
        // Setting the start date loaded nothing; the timer loaded once.
        QTest::qWait(300);
        EXPECT_EQ(indicatorPauses, 1);
        delete form;
    }
}

TEST_F(RequestForm, ListsTheDateWithItsRequestsAndResults) {
    const QDate d = QDate::currentDate().addDays(5);
    exec(baseDb(),
         QStringLiteral("insert into cms_bill (serviceid, userid, billdate, amount, stat) "
                        "values ('S1','0000000001','%1',15000,'발송대기');\n"
                        "insert into cms_bill_his (serviceid, userid, billdate, "
                        "resultamount, resultname) values "
                        "('S1','0000000001','%1',15000,'출금성공');\n")
             .arg(iso(d)));
    Tfrm002& f = open();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("출금관리"));
    EXPECT_FALSE(f.cxTextEdit1->isEnabled());
    EXPECT_EQ(f.cxTextEdit1->text(), QStringLiteral("16:00:00"));
    EXPECT_FALSE(grid().isColumnVisible("grd_Bill_Bankcode"));
    indicatorPauses = 0;
    chooseDate(d);
    EXPECT_EQ(indicatorPauses, 1) << "a date change reloads";
    QStringList names;
    for (int r = 0; r < grid().recordCount(); ++r) names << grid().text(r, "grd_Bill_User");
    EXPECT_EQ(names, (QStringList{"김영희", "박철수", "이중복", "홍길동"}));
    const int hong = recordOf("0000000001");
    EXPECT_EQ(grid().displayText(hong, "grd_Bill_Amount"), QStringLiteral("15,000"));
    EXPECT_EQ(grid().displayText(hong, "grd_Bill_ResultAmount"), QStringLiteral("15,000"));
    EXPECT_EQ(grid().text(hong, "grd_Bill_Result"), QStringLiteral("출금성공"));
    EXPECT_EQ(grid().text(hong, "grd_Bill_BankName"), QStringLiteral("신한은행"));
    EXPECT_EQ(grid().text(hong, "grd_Bill_dlbid"), QStringLiteral("M001"));
    EXPECT_EQ(grid().text(recordOf("0000000005"), "grd_Bill_BankName"), QString());
    EXPECT_EQ(grid().number(recordOf("0000000002"), "grd_Bill_Amount"), 0);
    EXPECT_EQ(grid().footerText("grd_Bill_User"), QStringLiteral("4 건"));
    EXPECT_TRUE(grid().cellSelect()) << "a date ahead is editable";
    EXPECT_TRUE(recorder.empty());
}

TEST_F(RequestForm, RegisteringReplacesTheRequestOfTheDate) {
    const QDate d = QDate::currentDate().addDays(7);
    exec(baseDb(),
         QStringLiteral("insert into cms_bill (serviceid, userid, billdate, amount, stat) "
                        "values ('S1','0000000001','%1',15000,'발송대기'),"
                        "('S1','0000000002','%1',22000,'발송대기');\n"
                        "insert into cms_bill_his (serviceid, userid, billdate, "
                        "resultamount, resultname) values "
                        "('S1','0000000001','%1',15000,'출금성공');\n")
             .arg(iso(d)));
    open();
    chooseDate(d);
    typeAmount("0000000001", "30000");
    typeAmount("0000000002", "0");
    typeAmount("0000000003", "1234567");  // still being typed when the button is pressed
    clickRegister();
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.last().text, kSaved);
    EXPECT_EQ(recorder.last().caption, QStringLiteral("확인"));
    EXPECT_EQ(recorder.last().icon, MsgIcon::None);
    EXPECT_EQ(stored(baseDb(), d),
              (std::vector<QStringList>{
                  {"0000000001", "30000", "발송대기", "088", "110-1", "홍길동"},
                  {"0000000003", "1234567", "발송대기", "011", "330-3", "박부인"}}));
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_bill_his"), QStringLiteral("1"));
    // The grid is not reloaded: the result shown stays.
    EXPECT_EQ(grid().text(recordOf("0000000001"), "grd_Bill_Result"), QStringLiteral("출금성공"));

    // All amounts 0: the date's request is removed, and that is reported as saved.
    recorder.clear();
    for (const char* id : {"0000000001", "0000000002", "0000000003", "0000000005"})
        typeAmount(QString::fromLatin1(id), "0");
    clickRegister();
    EXPECT_EQ(recorder.texts(), QStringList{kSaved});
    EXPECT_TRUE(stored(baseDb(), d).empty());
}

TEST_F(RequestForm, EmptiedOrFailingStoreKeepsTheStoredRequest) {
    const QDate d = QDate::currentDate().addDays(3);
    exec(baseDb(),
         QStringLiteral("insert into cms_bill (serviceid, userid, billdate, amount, stat) "
                        "values ('S1','0000000001','%1',15000,'발송대기'),"
                        "('S1','0000000002','%1',22000,'발송대기');\n")
             .arg(iso(d)));
    const auto before = stored(baseDb(), d);
    open();
    chooseDate(d);

    // An emptied amount: refused before anything is deleted, the focus on the row.
    typeAmount("0000000002", "");
    clickRegister();
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);
    EXPECT_EQ(recorder.last().caption, QStringLiteral("확인"));
    EXPECT_TRUE(recorder.last().text.contains(QStringLiteral("김영희")))
        << recorder.last().text.toStdString();
    EXPECT_EQ(grid().focusedRecord(), recordOf("0000000002"));
    EXPECT_EQ(stored(baseDb(), d), before);

    // A store that fails on a later row (the server refuses the amount): nothing changes.
    exec(baseDb(), "alter table cms_bill add constraint amount_limit check (amount < 1000000)");
    recorder.clear();
    typeAmount("0000000002", "5000");
    typeAmount("0000000005", "2000000");
    clickRegister();
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.last().icon, MsgIcon::Error);
    EXPECT_EQ(recorder.last().caption, QStringLiteral("오류"));
    EXPECT_TRUE(recorder.last().text.contains(QStringLiteral("amount_limit")))
        << recorder.last().text.toStdString();
    EXPECT_EQ(stored(baseDb(), d), before);
}

TEST_F(RequestForm, AGridThatFailedToLoadIsNotStoredUnderTheNewDate) {
    const QDate d1 = QDate::currentDate().addDays(3), d2 = d1.addDays(1);
    exec(baseDb(),
         QStringLiteral("insert into cms_bill (serviceid, userid, billdate, amount, stat) "
                        "values ('S1','0000000002','%1',22000,'발송대기');\n")
             .arg(iso(d2)));
    open();
    chooseDate(d1);
    typeAmount("0000000001", "30000");
    grid().postEdit();
    // The server goes away while the date changes: the grid still shows the list of d1.
    const auto good = dm->UniBase;
    dm->UniBase.port = 1;
    chooseDate(d2);
    EXPECT_EQ(
        recorder.texts(),
        QStringList{QStringLiteral("서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요.")});
    dm->UniBase = good;
    recorder.clear();
    clickRegister();
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);
    EXPECT_TRUE(recorder.last().text.contains(QStringLiteral("불러오지 못해")));
    EXPECT_EQ(stored(baseDb(), d2),
              (std::vector<QStringList>{{"0000000002", "22000", "발송대기", "", "", ""}}));
    EXPECT_TRUE(stored(baseDb(), d1).empty());
    // The list of the chosen date is loaded again, and can be registered.
    EXPECT_EQ(grid().number(recordOf("0000000002"), "grd_Bill_Amount"), 22000);
    EXPECT_EQ(grid().number(recordOf("0000000001"), "grd_Bill_Amount"), 0);
}

// The deadline and the edit lock by the clock of a server that the test sets.
class RequestFormServerClock : public RequestForm {
protected:
    void SetUp() override {
        RequestForm::SetUp();
        if (!Servers::get().clockFaked) GTEST_SKIP() << "libfaketime is not installed";
        clockDb = clockServiceDb();
        exec(clockDb, QString::fromUtf8(kPayers));
        dm->UniBase = clockDb;
    }
    // Server and local clock at `t`.
    void at(const QDateTime& t) {
        setClockServerTime(t);
        clock.set(t);
    }
    platform::sql::ConnectionSettings clockDb;
};

TEST_F(RequestFormServerClock, RegisteringClosesAtSixteenForEveryDate) {
    const QDate today(2024, 5, 2);
    at(QDateTime(today, QTime(15, 59, 59)));
    open();
    for (const QDate& d : {today, today.addDays(1), today.addDays(30)}) {
        chooseDate(d);
        typeAmount("0000000001", "10000");
        recorder.clear();
        clickRegister();
        EXPECT_EQ(recorder.texts(), QStringList{kSaved}) << iso(d).toStdString();
        EXPECT_EQ(stored(clockDb, d).size(), 1u);
    }
    at(QDateTime(today, QTime(16, 0, 0)));
    for (const QDate& d : {today.addDays(1), today.addDays(30)}) {
        chooseDate(d);
        recorder.clear();
        if (grid().cellSelect()) typeAmount("0000000001", "99000");
        clickRegister();
        ASSERT_EQ(recorder.boxes().size(), 1u);
        EXPECT_EQ(recorder.last().text, kClosed);
        EXPECT_EQ(recorder.last().icon, MsgIcon::None);
        EXPECT_EQ(recorder.last().caption, platform::ui::MessageService::applicationTitle());
        EXPECT_EQ(stored(clockDb, d).front().at(1), QStringLiteral("10000"))
            << iso(d).toStdString();
    }
}

TEST_F(RequestFormServerClock, EditLockFollowsTheChosenDate) {
    const QDate today(2024, 5, 2);
    at(QDateTime(today, QTime(9, 0, 0)));
    open();
    const struct {
        QTime server;
        QDate date;
        bool editable;
    } cases[] = {
        {QTime(15, 59, 59), today, true},          {QTime(16, 0, 0), today, false},
        {QTime(23, 0, 0), today.addDays(1), true}, {QTime(9, 0, 0), today.addDays(-1), false},
        {QTime(9, 0, 0), today.addDays(1), true},
    };
    for (const auto& c : cases) {
        at(QDateTime(today, c.server));
        chooseDate(c.date.addDays(100));  // a change of date reloads the list
        chooseDate(c.date);
        EXPECT_EQ(grid().cellSelect(), c.editable)
            << c.server.toString().toStdString() << " " << iso(c.date).toStdString();
    }
    // A past date can still be registered before today's deadline: the amounts shown again.
    exec(clockDb,
         "insert into cms_bill (serviceid, userid, billdate, amount, stat) values "
         "('S1','0000000002','2024-05-01',22000,'발송대기');\n");
    at(QDateTime(today, QTime(10, 0, 0)));
    chooseDate(today.addDays(-1));
    EXPECT_FALSE(grid().cellSelect());
    recorder.clear();
    clickRegister();
    EXPECT_EQ(recorder.texts(), QStringList{kSaved});
    EXPECT_EQ(stored(clockDb, today.addDays(-1)).size(), 1u);
}

TEST_F(RequestForm, RequestFileOfTheChosenDateFromStoredRequests) {
    const QDate d = QDate::currentDate().addDays(2);
    exec(baseDb(),
         QStringLiteral("insert into cms_bill (serviceid, userid, billdate, amount, stat) "
                        "values ('S1','0000000002','%1',22000,'발송대기'),"
                        "('S1','0000000001','%1',15000,'발송대기');\n")
             .arg(iso(d)));
    open();
    chooseDate(d);
    typeAmount("0000000003", "777");  // typed, not registered: not in the file
    grid().postEdit();
    QTest::mouseClick(form->cxButton4, Qt::LeftButton);
    EXPECT_TRUE(recorder.empty()) << "nothing is shown when the file is written";
    const QString name = d.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".S1.pay");
    QFile file(programDir + u'/' + name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    const QList<QByteArray> records = file.readAll().split('\n');
    ASSERT_EQ(records.size(), 5);  // H, 2 × D, T and the empty rest after the last CR LF
    EXPECT_TRUE(records[0].startsWith("HS1       000002000000000037000"));
    EXPECT_EQ(records[1].mid(24, 10), QByteArray("0000000001"));
    EXPECT_EQ(records[2].mid(24, 10), QByteArray("0000000002"));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(records[i].size(), 344) << "343 bytes and CR";

    // A date without stored requests: no file, no message.
    chooseDate(d.addDays(1));
    QTest::mouseClick(form->cxButton4, Qt::LeftButton);
    EXPECT_TRUE(recorder.empty());
    EXPECT_EQ(QDir(programDir).entryList(QDir::Files), QStringList{name});

    // A value the file cannot hold: a clear message, the earlier file untouched.
    exec(baseDb(),
         QStringLiteral("update cms_bill set amount = 12345678901 where userid='0000000002'"));
    chooseDate(d);
    file.close();
    QTest::mouseClick(form->cxButton4, Qt::LeftButton);
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);
    EXPECT_TRUE(recorder.last().text.contains(QStringLiteral("12,345,678,901원")))
        << recorder.last().text.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().split('\n').size(), 5);
}

TEST_F(RequestForm, FetchedAmountsLandInTheRowsOfTheirCode) {
    const QDate d = QDate::currentDate().addDays(-3);  // a past date: the grid is read only
    open();
    chooseDate(d);
    EXPECT_FALSE(grid().cellSelect());
    const int set =
        form->applyBilledAmounts({{"M001", 250000}, {"M002", -100}, {"", 5}, {"M999", 1}});
    EXPECT_EQ(set, 3);
    EXPECT_EQ(grid().number(recordOf("0000000001"), "grd_Bill_Amount"), 250000);
    EXPECT_EQ(grid().number(recordOf("0000000005"), "grd_Bill_Amount"), 250000);
    EXPECT_EQ(grid().number(recordOf("0000000002"), "grd_Bill_Amount"), 0);
    EXPECT_EQ(grid().number(recordOf("0000000003"), "grd_Bill_Amount"), 0) << "no code: kept";
    EXPECT_EQ(grid().footerText("grd_Bill_User"), QStringLiteral("4 건"));

    // "온돌봄 연동" runs the registered opener with this form.
    Tfrm002* openedWith = nullptr;
    Tfrm002::setCareLinkOpener([&](Tfrm002& f) { openedWith = &f; });
    QTest::mouseClick(form->cxButton3, Qt::LeftButton);
    EXPECT_EQ(openedWith, form.data());
    Tfrm002::setCareLinkOpener({});
}

TEST_F(RequestForm, RibbonCommandOpensOneInstance) {
    qputenv("PAYDESK_DESKTOP_DIR", freshDir(QStringLiteral("desktop")).toUtf8());
    std::unique_ptr<TfrmMain> main(new TfrmMain);
    main->show();
    main->runCommand(TfrmMain::Command::Billing);
    ASSERT_NE(frm002, nullptr);
    QPointer<Tfrm002> first = frm002;
    auto* sub = qobject_cast<QMdiSubWindow*>(app::formWindow(first));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->mdiArea(), main->mdiArea());
    EXPECT_EQ(sub->geometry(), QRect(0, 0, Tfrm002::kWidth, Tfrm002::kHeight));
    EXPECT_TRUE(waitUntil([&] { return indicatorPauses >= 1; }));
    main->runCommand(TfrmMain::Command::Billing);
    EXPECT_EQ(frm002, first.data());
    EXPECT_EQ(main->mdiArea()->subWindowList().size(), 1);
    QTest::qWait(300);
    EXPECT_EQ(indicatorPauses, 1) << "bringing the open form to the front loads nothing";

    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frm002, nullptr);
    EXPECT_TRUE(first.isNull());
    main->runCommand(TfrmMain::Command::Billing);
    ASSERT_NE(frm002, nullptr);
    EXPECT_TRUE(waitUntil([&] { return indicatorPauses >= 2; })) << "a new instance loads again";
}

}  // namespace
