// The MariaDB server killed with SIGKILL in the middle of the two many-row writes (the request of
// a date, the batch of imported beneficiaries) and restarted between two operations. The server
// is this program's own (tests/servers/servers.py start-db), never the shared one.
//
// "In the middle" is made exact rather than left to timing: a trigger makes one row of the
// write wait for a named lock that the test holds, so the server is inside the transaction,
// with the earlier rows written, when the signal comes.
#include <gtest/gtest.h>

#include <QDate>
#include <QPointer>
#include <QTest>
#include <atomic>
#include <thread>

#include "app/clock.h"
#include "app/data_module.h"
#include "app/indicator.h"
#include "app/session.h"
#include "billing/billing_queries.h"
#include "billing/request_form.h"
#include "facility/beneficiary_import.h"
#include "facility/facility_queries.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/load_timer.h"
#include "tests/faults/fault_report.h"
#include "tests/faults/private_servers.h"
#include "tests/faults/row_sets.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using platform::sql::Connection;
using platform::sql::SqlError;

namespace {

const QString kSid = QStringLiteral("S1");
const QString kLock = QStringLiteral("pd_hold");
const QString kSaved = QStringLiteral("저장이 완료되었습니다.");
const QString kConnectFailed =
    QStringLiteral("서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요.");

QString iso(const QDate& d) {
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

class DbCrash : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new faults::PrivateDb(world().workDir + QStringLiteral("/privdb"));
        ASSERT_TRUE(server_->start()) << "private MariaDB did not start";
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(server_, nullptr);
        if (!server_->running()) {
            ASSERT_TRUE(server_->start());
        }
        base = server_->createDatabase(QStringLiteral("svc"), QStringLiteral("service.sql"));
        app::session() = {};
        app::session().serviceid = kSid;
        auto config = world().config;
        config.base = base;
        dm = std::make_unique<TDM>(config, recorder);
        dm->setWaiter([this](int ms) {
            if (ms == 300) ++indicatorPauses;
        });
        // Local tomorrow morning: the day's deadline by the server's real clock is ahead.
        clock.set(QDateTime(QDate::currentDate().addDays(1), QTime(10, 0)));
        dm->setClock(clock);
        DM = dm.get();
        programDir = freshDir(QStringLiteral("program"));
        qputenv("PAYDESK_PROGRAM_DIR", programDir.toUtf8());
    }
    void TearDown() override {
        delete form;
        app::PR_Set_UI_IndicoatorOFF();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DM = nullptr;
        dm.reset();
        if (server_ && !server_->running()) server_->start();
    }

    // A trigger that makes the insert of one row wait for the lock `kLock`.
    void holdInsertOf(const QString& table, const QString& column, const QString& value) {
        exec(base, QStringLiteral("CREATE TRIGGER pd_hold_%1 BEFORE INSERT ON %1 FOR EACH ROW SET "
                                  "@pd_hold = IF(NEW.%2 = '%3', GET_LOCK('%4', 120), 0)")
                       .arg(table, column, value, kLock));
    }
    // True once a session of the service database waits for the held lock.
    bool writerWaits() {
        return scalar(server_->admin(),
                      QStringLiteral("select count(*) from information_schema.processlist "
                                     "where db = 'svc' and state = 'User lock'")) != u"0";
    }
    // Waits for the writer to reach the held row, then kills the server. Returns the rows the
    // open transaction had changed by then.
    int killWhenWaiting() {
        const bool reached = faults::waitFor([&] { return writerWaits(); }, 60000);
        EXPECT_TRUE(reached) << "the write never reached the held row";
        const int changed =
            scalar(server_->admin(), QStringLiteral("select ifnull(max(trx_rows_modified),0) from "
                                                    "information_schema.innodb_trx"))
                .toInt();
        server_->kill9();
        return changed;
    }

    void addPayers(int n) {
        QStringList values;
        for (int i = 1; i <= n; ++i)
            values << QStringLiteral(
                          "('%1','%2','납부자%3','088','110-%3','예금주%3','등록완료',"
                          "'2019-01-01','9999-99-99')")
                          .arg(kSid, faults::payerId(i))
                          .arg(i);
        exec(base, QStringLiteral("insert into cms_user (serviceid, userid, username, bankcode, "
                                  "account, accountname, stat, startdate, enddate) values ") +
                       values.join(u','));
    }
    // The earlier request of `date` (payers 1..n) and rows of other dates that must stay.
    void addEarlierRequests(const QDate& date, int n) {
        QStringList values;
        for (int i = 1; i <= n; ++i)
            values << QStringLiteral(
                          "('%1','%2','%3','088','110-%4','예금주%4',%5,'발송대기',"
                          "now(3))")
                          .arg(kSid, faults::payerId(i), iso(date))
                          .arg(i)
                          .arg(10000 + i);
        for (int i : {999, 1001, 1500})
            values << QStringLiteral(
                          "('%1','%2','%3','088','110-%4','예금주%4',%5,'발송대기',"
                          "now(3))")
                          .arg(kSid, faults::payerId(i), iso(date.addDays(1)))
                          .arg(i)
                          .arg(50000 + i);
        exec(base, QStringLiteral("insert into cms_bill (serviceid, userid, billdate, bankcode, "
                                  "account, accountname, amount, stat, recdatetime) values ") +
                       values.join(u','));
    }

    faults::Rows bills() {
        return rows(base, QStringLiteral("select * from cms_bill order by serviceid, userid, "
                                         "billdate"));
    }
    faults::Rows payers() {
        return rows(base, QStringLiteral("select * from cms_user order by serviceid, userid"));
    }

    Tfrm002& openRequestForm(const QDate& date) {
        form = new Tfrm002;
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        EXPECT_TRUE(faults::waitFor(
            [&] {
                QCoreApplication::processEvents();
                return indicatorPauses >= 1;
            },
            10000));
        indicatorPauses = 0;
        form->date_Date->setDate(date);
        return *form;
    }

    static faults::PrivateDb* server_;
    platform::sql::ConnectionSettings base;
    MessageRecorder recorder;
    app::FixedClock clock{QDateTime()};
    std::unique_ptr<TDM> dm;
    int indicatorPauses = 0;
    QPointer<Tfrm002> form;
    QString programDir;
};

faults::PrivateDb* DbCrash::server_ = nullptr;

std::vector<billing::StoreRow> requestOf(int n, qint64 base) {
    std::vector<billing::StoreRow> rows;
    for (int i = 1; i <= n; ++i) {
        billing::StoreRow r;
        r.userid = faults::payerId(i);
        r.username = QStringLiteral("납부자%1").arg(i);
        r.bankcode = QStringLiteral("088");
        r.account = QStringLiteral("110-%1").arg(i);
        r.accountname = QStringLiteral("예금주%1").arg(i);
        r.amount = base + i;
        rows.push_back(r);
    }
    return rows;
}

// Both ways the rows travel: one bulk execution, and one execution per row (servers without
// bulk execution).
TEST_F(DbCrash, KilledInTheMiddleOfARequestOf2000Rows) {
    const struct {
        const char* how;
        bool bulk;
    } ways[] = {{"in one bulk execution", true}, {"one execution per row", false}};
    for (const auto& w : ways) {
        base = server_->createDatabase(QStringLiteral("svc"), QStringLiteral("service.sql"));
        const QDate date = QDate::currentDate().addDays(7);
        addEarlierRequests(date, 300);
        const faults::Rows before = bills();
        holdInsertOf(QStringLiteral("cms_bill"), QStringLiteral("userid"), faults::payerId(1000));

        Connection holder(server_->database(QStringLiteral("svc")));
        holder.open();
        holder.executeRaw(QStringLiteral("do get_lock('%1', 0)").arg(kLock));

        QString outcome;
        std::thread writer([&] {
            try {
                auto settings = base;
                settings.bulk = w.bulk;
                Connection c(settings);
                c.open();
                billing::storeBill(c, kSid, iso(date), requestOf(2000, 20000));
                outcome = QStringLiteral("stored");
            } catch (const SqlError& e) {
                outcome = e.message();
            }
        });
        const int changed = killWhenWaiting();
        writer.join();
        ASSERT_TRUE(server_->start());

        const faults::Rows after = bills();
        const faults::RowDiff d = faults::diff(before, after);
        faults::lost(d.lost);
        faults::fault(QStringLiteral("SIGKILL mid request store of 2,000 rows %1").arg(w.how),
                      QStringLiteral("after restart the table is exactly as before; the caller "
                                     "gets an error"),
                      QStringLiteral("killed with %1 rows changed in the open transaction (300 "
                                     "deleted, 999 inserted); %2 rows lost, %3 rows of the cut "
                                     "store, caller got \"%4\"")
                          .arg(changed)
                          .arg(d.lost)
                          .arg(d.added)
                          .arg(outcome),
                      changed == 1299 && d.lost == 0 && d.added == 0 && outcome != u"stored" &&
                          !outcome.isEmpty());
    }
}

TEST_F(DbCrash, KilledWhileTheRequestFormRegisters) {
    const QDate date = QDate::currentDate().addDays(7);
    addPayers(2000);
    addEarlierRequests(date, 300);
    Tfrm002& f = openRequestForm(date);
    ASSERT_EQ(f.grd_Bill->recordCount(), 2000);
    for (int r = 0; r < f.grd_Bill->recordCount(); ++r)
        f.grd_Bill->setValue(r, QStringLiteral("grd_Bill_Amount"), qint64(30000 + r));
    const faults::Rows before = bills();
    // The grid runs by name: hold the payer of its 1,000th row.
    holdInsertOf(QStringLiteral("cms_bill"), QStringLiteral("userid"),
                 f.grd_Bill->text(999, QStringLiteral("grd_Bill_ID")));
    Connection holder(server_->database(QStringLiteral("svc")));
    holder.open();
    holder.executeRaw(QStringLiteral("do get_lock('%1', 0)").arg(kLock));
    recorder.clear();

    int changed = 0;
    std::thread killer([&] { changed = killWhenWaiting(); });
    f.cxButton1Click();
    killer.join();

    const QStringList texts = recorder.texts();
    const bool errorShown = !recorder.boxes().empty() &&
                            recorder.boxes().back().icon == platform::ui::MsgIcon::Error &&
                            recorder.boxes().back().caption == u"오류";
    ASSERT_TRUE(server_->start());
    const faults::RowDiff d = faults::diff(before, bills());
    faults::lost(d.lost);
    faults::fault(
        QStringLiteral("SIGKILL while the request form registers 2,000 amounts"),
        QStringLiteral("an error box, no success message; the date's earlier rows "
                       "exactly as before after restart"),
        QStringLiteral("killed with %1 rows changed in the open transaction; boxes %2; "
                       "%3 rows lost, %4 rows of the cut store")
            .arg(changed)
            .arg(faults::shown(recorder))
            .arg(d.lost)
            .arg(d.added),
        changed == 1299 && errorShown && !texts.contains(kSaved) && d.lost == 0 && d.added == 0);

    // The program goes on: the next registering, on a fresh connection, stores the grid.
    exec(base, QStringLiteral("DROP TRIGGER pd_hold_cms_bill"));
    recorder.clear();
    f.cxButton1Click();
    const QString stored = scalar(
        base, QStringLiteral("select count(*) from cms_bill where billdate = '%1'").arg(iso(date)));
    faults::fault(QStringLiteral("register again after the restart"),
                  QStringLiteral("works without restarting the program"),
                  QStringLiteral("boxes %1; %2 rows stored").arg(faults::shown(recorder), stored),
                  recorder.texts() == QStringList{kSaved} && stored == u"2000");
}

TEST_F(DbCrash, KilledInTheMiddleOfABeneficiaryBatch) {
    exec(base, QStringLiteral("insert into cms_user (serviceid, userid, dlbid, username, stat) "
                              "values ('S1','0000000001','M900','기존하나','등록완료'),"
                              "('S1','0000000002',NULL,'기존둘','등록대기'),"
                              "('S2','0000000001','M001','남의회사','등록대기')"));
    const faults::Rows before = payers();
    holdInsertOf(QStringLiteral("cms_user"), QStringLiteral("dlbid"), QStringLiteral("M004"));
    Connection holder(server_->database(QStringLiteral("svc")));
    holder.open();
    holder.executeRaw(QStringLiteral("do get_lock('%1', 0)").arg(kLock));

    std::vector<facility::NewBeneficiaryPayer> batch;
    for (int i = 1; i <= 6; ++i) {
        facility::NewBeneficiaryPayer p;
        p.dlbid = QStringLiteral("M%1").arg(i, 3, 10, QLatin1Char('0'));
        p.username = QStringLiteral("수급자%1").arg(i);
        p.bankcode = QStringLiteral("004");
        p.account = QStringLiteral("220-%1").arg(i);
        p.accountname = p.username;
        p.birth = QStringLiteral("1945-03-12");
        p.tel = QStringLiteral("0101234567%1").arg(i);
        batch.push_back(p);
    }
    QString outcome;
    std::thread writer([&] {
        try {
            Connection c(base);
            c.open();
            facility::insertBeneficiaries(c, kSid, batch);
            outcome = QStringLiteral("stored");
        } catch (const SqlError& e) {
            outcome = e.message();
        }
    });
    const int changed = killWhenWaiting();
    writer.join();
    ASSERT_TRUE(server_->start());

    const faults::RowDiff d = faults::diff(before, payers());
    faults::lost(d.lost);
    faults::fault(
        QStringLiteral("SIGKILL mid beneficiary batch of 6 payers"),
        QStringLiteral("after restart the payers are exactly as before; no part of the "
                       "batch; the caller gets an error"),
        QStringLiteral("killed with %1 payers inserted in the open transaction; %2 rows "
                       "lost, %3 rows of the cut batch, caller got \"%4\"")
            .arg(changed)
            .arg(d.lost)
            .arg(d.added)
            .arg(outcome),
        changed == 3 && d.lost == 0 && d.added == 0 && outcome != u"stored" && !outcome.isEmpty());
}

TEST_F(DbCrash, KilledWhileTheBeneficiaryImportRegisters) {
    // The beneficiaries come from this program's care database on the shared server; the
    // payers go to the server that is killed.
    resetDatabases();
    for (int i = 1; i <= 6; ++i)
        exec(careDb(), QStringLiteral("insert into base_mate (sicode, m_code, m_name, m_jumin1, "
                                      "m_phone1) values ('FAC0001','M%1','수급자%1','450312',"
                                      "'010-1234-567%1')")
                           .arg(i, 3, 10, QLatin1Char('0')));
    dm->UniCon = careDb();
    app::session().sicode = QStringLiteral("FAC0001");
    exec(base, QStringLiteral("insert into cms_user (serviceid, userid, username, stat) values "
                              "('S1','0000000001','기존하나','등록완료')"));
    QPointer<Tfrmdlbuser> f = new Tfrmdlbuser;
    f->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f->Timer1->isActive(); }, 10000));
    platform::ui::DataGrid& g = *f->grdUser;
    ASSERT_EQ(g.recordCount(), 6);
    for (int r = 0; r < g.recordCount(); ++r) {
        g.setValue(r, QStringLiteral("grdUser_Chk"), true);
        g.setValue(r, QStringLiteral("grdUser_Bank"), QStringLiteral("국민은행"));
        g.setValue(r, QStringLiteral("grdUser_Account"), QStringLiteral("123-45"));
        g.setValue(r, QStringLiteral("grdUser_AccountName"), QStringLiteral("보호자"));
    }
    const faults::Rows before = payers();
    holdInsertOf(QStringLiteral("cms_user"), QStringLiteral("dlbid"), QStringLiteral("M004"));
    Connection holder(server_->database(QStringLiteral("svc")));
    holder.open();
    holder.executeRaw(QStringLiteral("do get_lock('%1', 0)").arg(kLock));
    recorder.clear();

    int changed = 0;
    std::thread killer([&] { changed = killWhenWaiting(); });
    f->btnSaveGridClick();
    killer.join();
    const bool errorShown = !recorder.boxes().empty() &&
                            recorder.boxes().back().icon == platform::ui::MsgIcon::Error &&
                            recorder.boxes().back().caption == u"오류";
    int marked = 0;
    for (int r = 0; r < g.recordCount(); ++r)
        if (g.isChecked(r, QStringLiteral("grdUser_Exist"))) ++marked;
    ASSERT_TRUE(server_->start());
    const faults::RowDiff d = faults::diff(before, payers());
    faults::lost(d.lost);
    faults::fault(
        QStringLiteral("SIGKILL while the beneficiary import registers 6 payers"),
        QStringLiteral("an error box, no success message, no row marked registered; "
                       "the payers exactly as before after restart"),
        QStringLiteral("killed with %1 payers inserted in the open transaction; boxes "
                       "%2; %3 rows marked; %4 rows lost, %5 rows of the cut batch")
            .arg(changed)
            .arg(faults::shown(recorder))
            .arg(marked)
            .arg(d.lost)
            .arg(d.added),
        changed == 3 && errorShown &&
            !recorder.texts().contains(QStringLiteral("수급자 정보를 저장 하였습니다.")) &&
            marked == 0 && d.lost == 0 && d.added == 0);
    delete f.data();
}

TEST_F(DbCrash, ServerRestartedBetweenTwoOperations) {
    const QDate date = QDate::currentDate().addDays(7);
    addPayers(5);
    Tfrm002& f = openRequestForm(date);
    ASSERT_EQ(f.grd_Bill->recordCount(), 5);
    for (int r = 0; r < 5; ++r)
        f.grd_Bill->setValue(r, QStringLiteral("grd_Bill_Amount"), qint64(1000 * (r + 1)));
    recorder.clear();

    const struct {
        const char* how;
        bool kill;
    } restarts[] = {{"orderly stop and start", false}, {"SIGKILL and start", true}};
    for (const auto& k : restarts) {
        if (k.kill)
            server_->kill9();
        else
            server_->stop();
        ASSERT_TRUE(server_->start());
        recorder.clear();
        f.cxButton1Click();
        const QString stored =
            scalar(base, QStringLiteral("select sum(amount) from cms_bill where billdate = '%1'")
                             .arg(iso(date)));
        faults::fault(
            QStringLiteral("server restarted (%1) between two operations").arg(k.how),
            QStringLiteral("the next operation connects afresh and works"),
            QStringLiteral("boxes %1; stored total %2").arg(faults::shown(recorder), stored),
            recorder.texts() == QStringList{kSaved} && stored == u"15000");
    }

    // Down at the moment of an operation: told once, nothing changed; up again: works.
    server_->stop();
    recorder.clear();
    f.bt_ListRefreshClick();
    const QStringList whileDown = recorder.texts();
    ASSERT_TRUE(server_->start());
    recorder.clear();
    f.bt_ListRefreshClick();
    faults::fault(QStringLiteral("server down during a load, then started"),
                  QStringLiteral("the connect message once while down; the next load works"),
                  QStringLiteral("while down %1; after start %2 rows, boxes %3")
                      .arg(whileDown.join(u'/'))
                      .arg(f.grd_Bill->recordCount())
                      .arg(faults::shown(recorder)),
                  whileDown == QStringList{kConnectFailed} && recorder.empty() &&
                      f.grd_Bill->recordCount() == 5);
}

}  // namespace
