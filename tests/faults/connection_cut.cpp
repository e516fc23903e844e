// The connection to the shared MariaDB server cut by a loopback proxy in the middle of the two
// many-row writes: the request of a date (2,000 rows) and the batch of imported beneficiaries.
// The server lives on; what it had done of the cut write must be discarded with the
// transaction, and the caller must be told.
//
// How far the write had got is counted by triggers writing into an Aria table, which keeps its
// rows when the transaction is discarded.
#include <gtest/gtest.h>

#include <QDate>
#include <QPointer>
#include <QTest>
#include <thread>

#include "app/clock.h"
#include "app/data_module.h"
#include "app/indicator.h"
#include "app/session.h"
#include "billing/billing_queries.h"
#include "billing/request_form.h"
#include "facility/facility_queries.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"
#include "tests/faults/fault_report.h"
#include "tests/faults/private_servers.h"
#include "tests/faults/row_sets.h"
#include "tests/support/message_recorder.h"
#include "tests/support/tcp_proxy.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using platform::sql::Connection;
using platform::sql::SqlError;

namespace {

const QString kSid = QStringLiteral("S1");
const QString kSaved = QStringLiteral("저장이 완료되었습니다.");

QString iso(const QDate& d) {
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

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

std::vector<facility::NewBeneficiaryPayer> batchOf(int n) {
    std::vector<facility::NewBeneficiaryPayer> batch;
    for (int i = 1; i <= n; ++i) {
        facility::NewBeneficiaryPayer p;
        p.dlbid = QStringLiteral("M%1").arg(i, 3, 10, QLatin1Char('0'));
        p.username = QStringLiteral("수급자%1").arg(i);
        p.bankcode = QStringLiteral("004");
        p.account = QStringLiteral("220-%1").arg(i);
        p.accountname = p.username;
        p.birth = QStringLiteral("1945-03-12");
        p.tel = QStringLiteral("01012345%1").arg(i, 3, 10, QLatin1Char('0'));
        batch.push_back(p);
    }
    return batch;
}

class ConnectionCut : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        lockName = QStringLiteral("pd_hold_%1").arg(world().tag);
        proxy = std::make_unique<TcpProxy>(Servers::get().db.host.toStdString(),
                                           Servers::get().db.port);
        viaProxy = baseDb();
        viaProxy.port = proxy->port();
        date = QDate::currentDate().addDays(7);
        // The date's earlier request, and rows of the next day that must stay as well.
        QStringList bills;
        for (int i = 1; i <= 300; ++i)
            bills << QStringLiteral(
                         "('S1','%1','%2','088','110-%3','예금주%3',%4,'발송대기',"
                         "now(3))")
                         .arg(faults::payerId(i), iso(date))
                         .arg(i)
                         .arg(10000 + i);
        for (int i : {999, 1001, 1500})
            bills << QStringLiteral(
                         "('S1','%1','%2','088','110-%3','예금주%3',%4,'발송대기',"
                         "now(3))")
                         .arg(faults::payerId(i), iso(date.addDays(1)))
                         .arg(i)
                         .arg(50000 + i);
        exec(baseDb(), QStringLiteral("insert into cms_bill (serviceid, userid, billdate, "
                                      "bankcode, account, accountname, amount, stat, "
                                      "recdatetime) values ") +
                           bills.join(u','));
        exec(baseDb(),
             QStringLiteral("insert into cms_user (serviceid, userid, dlbid, username, "
                            "stat) values ('S1','0000000001','M900','기존하나','등록완료'),"
                            "('S1','0000000002',NULL,'기존둘','등록대기')"));
        // What reached the server: one row per deleted request, inserted request and payer.
        exec(baseDb(), QStringLiteral(
                           "CREATE TABLE pd_seen (what VARCHAR(10) NOT NULL) ENGINE=Aria;\n"
                           "CREATE TRIGGER pd_seen_bill_del BEFORE DELETE ON cms_bill FOR EACH ROW "
                           "INSERT INTO pd_seen VALUES ('del');\n"
                           "CREATE TRIGGER pd_seen_bill_ins AFTER INSERT ON cms_bill FOR EACH ROW "
                           "INSERT INTO pd_seen VALUES ('bill');\n"
                           "CREATE TRIGGER pd_seen_user_ins AFTER INSERT ON cms_user FOR EACH ROW "
                           "INSERT INTO pd_seen VALUES ('user');\n"));
    }

    int seen(const QString& what) {
        return scalar(baseDb(),
                      QStringLiteral("select count(*) from pd_seen where what = '%1'").arg(what))
            .toInt();
    }
    faults::Rows bills() {
        return rows(baseDb(), QStringLiteral("select * from cms_bill order by serviceid, userid, "
                                             "billdate"));
    }
    faults::Rows payers() {
        return rows(baseDb(), QStringLiteral("select * from cms_user order by serviceid, userid"));
    }
    // Sessions of this program's service database other than the asking one: the cut session
    // is gone (and its transaction discarded) once none is left.
    bool cutSessionGone() {
        return scalar(baseDb(),
                      QStringLiteral("select count(*) from information_schema.processlist where "
                                     "db = '%1' and id <> connection_id()")
                          .arg(world().baseDb)) == u"0";
    }
    bool writerWaits() {
        return scalar(baseDb(),
                      QStringLiteral("select count(*) from information_schema.processlist where "
                                     "db = '%1' and state = 'User lock'")
                          .arg(world().baseDb)) != u"0";
    }
    void holdInsertOf(const QString& table, const QString& column, const QString& value) {
        exec(baseDb(), QStringLiteral("CREATE TRIGGER pd_hold_%1 BEFORE INSERT ON %1 FOR EACH "
                                      "ROW SET @pd_hold = IF(NEW.%2 = '%3', GET_LOCK('%4', 120), "
                                      "0)")
                           .arg(table, column, value, lockName));
    }

    // Runs `write` on a connection through the proxy; returns "stored" or the error text.
    template <class W>
    QString run(W write) {
        try {
            Connection c(viaProxy);
            c.open();
            write(c);
            return QStringLiteral("stored");
        } catch (const SqlError& e) {
            return e.message();
        }
    }

    // Cut after `bytes` from the client, or (bytes == 0) cut every connection while the write
    // waits at the held row.
    template <class W>
    QString cutWrite(W write, std::uint64_t bytes) {
        if (bytes > 0) {
            proxy->cutAfterClientBytes(bytes);
            const QString outcome = run(write);
            proxy->cutAfterClientBytes(0);
            return outcome;
        }
        Connection holder(baseDb());
        holder.open();
        holder.executeRaw(QStringLiteral("do get_lock('%1', 0)").arg(lockName));
        QString outcome;
        std::thread writer([&] { outcome = run(write); });
        EXPECT_TRUE(faults::waitFor([&] { return writerWaits(); }, 60000));
        proxy->cutAll();
        writer.join();
        // The server's side of the cut session goes on until the lock is free.
        holder.executeRaw(QStringLiteral("do release_lock('%1')").arg(lockName));
        return outcome;
    }

    std::unique_ptr<TcpProxy> proxy;
    platform::sql::ConnectionSettings viaProxy;
    QString lockName;
    QDate date;
};

TEST_F(ConnectionCut, RequestStoreCutHalfWay) {
    const struct {
        const char* how;
        std::uint64_t bytes;
        bool bulk;
    } cuts[] = {{"in one bulk execution, cut after 50,000 bytes from the client", 50000, true},
                {"one execution per row, cut after 50,000 bytes from the client", 50000, false},
                {"in one bulk execution, cut while the 1,000th row waits on the server", 0, true},
                {"one execution per row, cut while the 1,000th row waits on the server", 0, false}};
    for (const auto& k : cuts) {
        SCOPED_TRACE(k.how);
        exec(baseDb(), QStringLiteral("DROP TRIGGER IF EXISTS pd_hold_cms_bill;\n"
                                      "DELETE FROM pd_seen;"));
        if (k.bytes == 0)
            holdInsertOf(QStringLiteral("cms_bill"), QStringLiteral("userid"),
                         faults::payerId(1000));
        viaProxy.bulk = k.bulk;
        const faults::Rows before = bills();
        const QString outcome = cutWrite(
            [&](Connection& c) { billing::storeBill(c, kSid, iso(date), requestOf(2000, 20000)); },
            k.bytes);
        EXPECT_TRUE(faults::waitFor([&] { return cutSessionGone(); }, 30000));
        const int deleted = seen(QStringLiteral("del")), inserted = seen(QStringLiteral("bill"));
        const faults::RowDiff d = faults::diff(before, bills());
        faults::lost(d.lost);
        faults::fault(QStringLiteral("request store of 2,000 rows %1").arg(k.how),
                      QStringLiteral("the table exactly as before; the caller gets an error"),
                      QStringLiteral("the server had deleted %1 and inserted %2 rows; %3 rows "
                                     "lost, %4 rows of the cut store; caller got \"%5\"")
                          .arg(deleted)
                          .arg(inserted)
                          .arg(d.lost)
                          .arg(d.added)
                          .arg(outcome),
                      deleted == 300 && d.lost == 0 && d.added == 0 && outcome != u"stored");
    }
}

TEST_F(ConnectionCut, BeneficiaryBatchCutHalfWay) {
    const struct {
        const char* how;
        std::uint64_t bytes;
    } cuts[] = {{"cut after 3,000 bytes from the client (inside the batch)", 3000},
                {"every connection cut while the 4th payer waits on the server", 0}};
    for (const auto& k : cuts) {
        SCOPED_TRACE(k.how);
        exec(baseDb(), QStringLiteral("DROP TRIGGER IF EXISTS pd_hold_cms_user;\n"
                                      "DELETE FROM pd_seen;"));
        if (k.bytes == 0)
            holdInsertOf(QStringLiteral("cms_user"), QStringLiteral("dlbid"),
                         QStringLiteral("M004"));
        const faults::Rows before = payers();
        const QString outcome = cutWrite(
            [&](Connection& c) { facility::insertBeneficiaries(c, kSid, batchOf(10)); }, k.bytes);
        EXPECT_TRUE(faults::waitFor([&] { return cutSessionGone(); }, 30000));
        const int inserted = seen(QStringLiteral("user"));
        const faults::RowDiff d = faults::diff(before, payers());
        faults::lost(d.lost);
        faults::fault(
            QStringLiteral("beneficiary batch of 10, %1").arg(k.how),
            QStringLiteral("the payers exactly as before, no part of the batch; the "
                           "caller gets an error"),
            QStringLiteral("the server had inserted %1 payers; %2 rows lost, %3 rows of "
                           "the cut batch; caller got \"%4\"")
                .arg(inserted)
                .arg(d.lost)
                .arg(d.added)
                .arg(outcome),
            inserted > 0 && inserted < 10 && d.lost == 0 && d.added == 0 && outcome != u"stored");
    }
}

// The same cut under the request form: what the user sees.
TEST_F(ConnectionCut, RequestFormTellsTheCutAndWorksAfterwards) {
    QStringList payers;
    for (int i = 1; i <= 2000; ++i)
        payers << QStringLiteral(
                      "('S1','%1','납부자%2','088','110-%2','예금주%2','등록완료',"
                      "'2019-01-01','9999-99-99')")
                      .arg(faults::payerId(i + 2))
                      .arg(i);
    exec(baseDb(), QStringLiteral("insert into cms_user (serviceid, userid, username, bankcode, "
                                  "account, accountname, stat, startdate, enddate) values ") +
                       payers.join(u','));
    MessageRecorder recorder;
    app::session() = {};
    app::session().serviceid = kSid;
    auto config = world().config;
    config.base = viaProxy;
    TDM dm(config, recorder);
    int pauses = 0;
    dm.setWaiter([&](int ms) {
        if (ms == 300) ++pauses;
    });
    app::FixedClock clock(QDateTime(QDate::currentDate().addDays(1), QTime(10, 0)));
    dm.setClock(clock);
    DM = &dm;
    QPointer<Tfrm002> form = new Tfrm002;
    form->show();
    ASSERT_TRUE(faults::waitFor(
        [&] {
            QCoreApplication::processEvents();
            return pauses >= 1;
        },
        10000));
    form->date_Date->setDate(date);
    ASSERT_EQ(form->grd_Bill->recordCount(), 2000);
    for (int r = 0; r < 2000; ++r)
        form->grd_Bill->setValue(r, QStringLiteral("grd_Bill_Amount"), qint64(30000 + r));
    const faults::Rows before = bills();

    recorder.clear();
    proxy->cutAfterClientBytes(50000);
    form->cxButton1Click();
    proxy->cutAfterClientBytes(0);
    EXPECT_TRUE(faults::waitFor([&] { return cutSessionGone(); }, 30000));
    const auto boxes = recorder.boxes();
    const bool errorBox = boxes.size() == 1 && boxes[0].icon == platform::ui::MsgIcon::Error &&
                          boxes[0].caption == u"오류";
    const faults::RowDiff d = faults::diff(before, bills());
    faults::lost(d.lost);
    faults::fault(QStringLiteral("request form: connection cut while 2,000 amounts are stored"),
                  QStringLiteral("one error box, no success message; the date's earlier rows "
                                 "exactly as before"),
                  QStringLiteral("boxes %1; %2 rows lost, %3 rows of the cut store")
                      .arg(faults::shown(recorder))
                      .arg(d.lost)
                      .arg(d.added),
                  errorBox && d.lost == 0 && d.added == 0);

    recorder.clear();
    form->cxButton1Click();
    const QString stored = scalar(
        baseDb(),
        QStringLiteral("select count(*) from cms_bill where billdate = '%1'").arg(iso(date)));
    faults::fault(QStringLiteral("request form: register again after the cut"),
                  QStringLiteral("the next operation works on a fresh connection"),
                  QStringLiteral("boxes %1; %2 rows stored").arg(faults::shown(recorder), stored),
                  recorder.texts() == QStringList{kSaved} && stored == u"2000");
    delete form;
    app::PR_Set_UI_IndicoatorOFF();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DM = nullptr;
}

}  // namespace
