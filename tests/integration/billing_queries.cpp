// The statements of withdrawal billing against the real server: the list of a date, the store
// of a request, the history, and the deadline rules on a server whose clock the tests move.
#include <gtest/gtest.h>

#include <QFile>

#include "billing/billing_queries.h"
#include "billing/billing_rules.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "tests/support/test_env.h"

// Readable failure output for the rows compared below.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

using namespace testsupport;
using billing::StoreRow;
using platform::sql::Connection;

namespace {

const QString kDate = QStringLiteral("2024-05-02");

// Payers of company S1 (and one of S2) covering every case of the billable set.
const char* kPayers =
    "insert into cms_user (serviceid, userid, dlbid, username, bankcode, account, accountname, "
    "stat, startdate, enddate) values "
    "('S1','0000000001','M001','홍길동','088',' 110-222-333 "
    "','홍길동','등록완료','2019-11-01','9999-99-99'),"
    "('S1','0000000002',NULL,'김철수','004','222','김철수','등록대기','2019-11-01','9999-99-99'),"
    "('S1','0000000003','','이영희','004','333','이영희','등록완료','9999-99-99','9999-99-99'),"
    "('S1','0000000004','M004','박민수','011','444','박민수','등록완료','2019-01-01','2024-05-01'),"
    "('S1','0000000005','M005','홍길동','999','555','홍아빠','등록완료','2024-05-02','2024-05-02'),"
    "('S1','0000000006','M006','강감찬','020','666','강감찬','해지대기','2019-01-01','9999-99-99'),"
    "('S1','0000000007','M007','가나다','081','777','가나다','등록완료','2019-01-01','9999-99-99'),"
    "('S2','0000000001','M001','타회사','088','999','타회사','등록완료','2019-01-01','9999-99-99')"
    ";";

std::vector<QStringList> billsOf(const QString& where) {
    return rows(baseDb(),
                QStringLiteral("select serviceid, userid, billdate, bankcode, account, "
                               "accountname, amount, stat, recdatetime is not null "
                               "from cms_bill where %1 order by serviceid, userid, billdate")
                    .arg(where));
}

StoreRow row(const char* userid, std::optional<qint64> amount) {
    StoreRow r;
    r.userid = QString::fromLatin1(userid);
    r.username = QStringLiteral("사용자") + r.userid.right(1);
    r.bankcode = QStringLiteral("088");
    r.account = QStringLiteral("110-") + r.userid.right(3);
    r.accountname = QStringLiteral("예금주");
    r.amount = amount;
    return r;
}

class BillingQueries : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        exec(baseDb(), QString::fromUtf8(kPayers));
        c = std::make_unique<Connection>(baseDb());
        c->open();
    }
    std::unique_ptr<Connection> c;
};

TEST_F(BillingQueries, ListHoldsRegisteredPayersWhosePeriodCoversTheDate) {
    exec(baseDb(),
         QStringLiteral(
             "insert into cms_bill (serviceid, userid, billdate, amount, stat) values "
             "('S1','0000000001','2024-05-02',15000,'발송대기'),"
             "('S1','0000000005','2024-05-02',20000,'발송대기'),"
             "('S1','0000000007','2024-05-03',7000,'발송대기'),"
             "('S2','0000000001','2024-05-02',99000,'발송대기');\n"
             "insert into cms_bill_his (serviceid, userid, billdate, resultamount, resultname) "
             "values ('S1','0000000001','2024-05-02',15000,' 출금성공 ');"));
    const billing::BillList list = billing::selectBillList(*c, QStringLiteral("S1"), kDate);
    ASSERT_EQ(list.rows.size(), 3u);
    // Name order; the two 홍길동 in the server's order.
    EXPECT_EQ(list.rows[0].userid, QStringLiteral("0000000007"));
    EXPECT_EQ(list.rows[0].billamount, 0);  // its request is of another date
    QStringList hong = {list.rows[1].userid, list.rows[2].userid};
    hong.sort();
    EXPECT_EQ(hong, (QStringList{QStringLiteral("0000000001"), QStringLiteral("0000000005")}));
    for (const auto& r : list.rows) {
        if (r.userid == QStringLiteral("0000000001")) {
            EXPECT_EQ(r.dlbid, QStringLiteral("M001"));
            EXPECT_EQ(r.account, QStringLiteral("110-222-333"));  // trimmed
            EXPECT_EQ(r.billamount, 15000);
            EXPECT_EQ(r.resultamount, 15000);
            EXPECT_EQ(r.resultname, QStringLiteral("출금성공"));
        } else if (r.userid == QStringLiteral("0000000005")) {
            EXPECT_EQ(r.accountname, QStringLiteral("홍아빠"));
            EXPECT_EQ(r.billamount, 20000);
            EXPECT_EQ(r.resultamount, 0);  // no result yet
            EXPECT_EQ(r.resultname, QString());
        }
    }
    EXPECT_FALSE(billing::serverTimeText(list.dt).isEmpty());
    EXPECT_EQ(billing::serverTimeText(list.dt).size(), 19);

    // The last day of a period is billable, the day after is not; a start of "9999-99-99" never.
    auto ids = [&](const QString& date) {
        QStringList out;
        for (const auto& r : billing::selectBillList(*c, QStringLiteral("S1"), date).rows)
            out << r.userid;
        out.sort();
        return out;
    };
    EXPECT_EQ(ids(QStringLiteral("2024-05-01")),
              (QStringList{QStringLiteral("0000000001"), QStringLiteral("0000000004"),
                           QStringLiteral("0000000007")}));
    EXPECT_EQ(ids(QStringLiteral("2024-05-03")),
              (QStringList{QStringLiteral("0000000001"), QStringLiteral("0000000007")}));
    EXPECT_EQ(ids(QStringLiteral("2099-12-31")),
              (QStringList{QStringLiteral("0000000001"), QStringLiteral("0000000007")}));
    EXPECT_TRUE(billing::selectBillList(*c, QStringLiteral("S9"), kDate).rows.empty());
    EXPECT_TRUE(billing::selectBillList(*c, QStringLiteral("S9"), kDate).dt.isEmpty());
}

class BillStore : public BillingQueries {
protected:
    void SetUp() override {
        BillingQueries::SetUp();
        exec(baseDb(),
             QStringLiteral(
                 "insert into cms_bill (serviceid, userid, billdate, bankcode, account, "
                 "accountname, "
                 "amount, stat, recdatetime) values "
                 "('S1','0000000001','2024-05-02','088','old','old',11000,'발송대기',now(3)),"
                 "('S1','0000000009','2024-05-02','088','old','old',19000,'발송대기',now(3)),"
                 "('S1','0000000001','2024-05-03','088','old','old',13000,'발송대기',now(3)),"
                 "('S2','0000000001','2024-05-02','088','old','old',21000,'발송대기',now(3));\n"
                 "insert into cms_bill_his (serviceid, userid, billdate, resultamount, resultname) "
                 "values ('S1','0000000001','2024-05-02',11000,'출금성공');"));
        before = billsOf(QStringLiteral("1=1"));
        resultsBefore = rows(baseDb(), QStringLiteral("select * from cms_bill_his"));
    }
    void expectUnchanged() {
        EXPECT_EQ(billsOf(QStringLiteral("1=1")), before);
        EXPECT_EQ(rows(baseDb(), QStringLiteral("select * from cms_bill_his")), resultsBefore);
    }
    std::vector<QStringList> before, resultsBefore;
};

TEST_F(BillStore, ReplacesTheRequestOfTheDateAsAWhole) {
    const std::vector<StoreRow> grid = {row("0000000001", 30000), row("0000000005", 0),
                                        row("0000000007", -500), row("0000000004", 1)};
    EXPECT_EQ(billing::storeBill(*c, QStringLiteral("S1"), kDate, grid), 2);
    const QString one = QStringLiteral("1");
    EXPECT_EQ(billsOf(QStringLiteral("serviceid='S1' and billdate='2024-05-02'")),
              (std::vector<QStringList>{{"S1", "0000000001", "2024-05-02", "088", "110-001",
                                         "예금주", "30000", "발송대기", one},
                                        {"S1", "0000000004", "2024-05-02", "088", "110-004",
                                         "예금주", "1", "발송대기", one}}));
    // Other dates, other companies and the results stay.
    EXPECT_EQ(billsOf(QStringLiteral("not (serviceid='S1' and billdate='2024-05-02')")),
              (std::vector<QStringList>{before[1], before[3]}));
    EXPECT_EQ(rows(baseDb(), QStringLiteral("select * from cms_bill_his")), resultsBefore);
}

TEST_F(BillStore, AllZeroAndEmptyGridRemoveTheDate) {
    EXPECT_EQ(billing::storeBill(*c, QStringLiteral("S1"), kDate,
                                 {row("0000000001", 0), row("0000000005", 0)}),
              0);
    EXPECT_TRUE(billsOf(QStringLiteral("serviceid='S1' and billdate='2024-05-02'")).empty());
    EXPECT_EQ(billsOf(QStringLiteral("1=1")).size(), 2u);
    EXPECT_EQ(billing::storeBill(*c, QStringLiteral("S1"), QStringLiteral("2024-05-03"), {}), 0);
    EXPECT_EQ(billsOf(QStringLiteral("1=1")).size(), 1u);
    EXPECT_EQ(rows(baseDb(), QStringLiteral("select * from cms_bill_his")), resultsBefore);
}

TEST_F(BillStore, RefusedGridChangesNothing) {
    const struct {
        std::vector<StoreRow> grid;
        int row;
        const char* says;
    } cases[] = {
        {{row("0000000001", 1000), row("0000000005", std::nullopt)}, 1, "비어 있습니다"},
        {{row("0000000001", 10'000'000'000LL)}, 0, "9,999,999,999원까지"},
    };
    for (const auto& k : cases) {
        try {
            billing::storeBill(*c, QStringLiteral("S1"), kDate, k.grid);
            ADD_FAILURE() << "stored " << k.says;
        } catch (const billing::StoreRefused& e) {
            EXPECT_EQ(e.row(), k.row);
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(k.says)))
                << e.message().toStdString();
        }
        expectUnchanged();
    }
    // The largest amount the request file can hold is stored.
    EXPECT_EQ(
        billing::storeBill(*c, QStringLiteral("S1"), kDate, {row("0000000001", 9'999'999'999LL)}),
        1);
}

TEST_F(BillStore, FailureHalfWayLeavesTheEarlierRequestIntact) {
    StoreRow tooLong = row("0000000007", 300);
    tooLong.account = QString(31, u'1');  // the column holds 30
    const struct {
        const char* what;
        std::vector<StoreRow> grid;
        const char* error;
    } cases[] = {
        {"same payer twice",
         {row("0000000001", 100), row("0000000005", 200), row("0000000001", 300)},
         "duplicate entry"},
        {"over-long account",
         {row("0000000001", 100), row("0000000005", 200), tooLong},
         "data too long"},
    };
    for (const auto& k : cases) {
        try {
            billing::storeBill(*c, QStringLiteral("S1"), kDate, k.grid);
            ADD_FAILURE() << k.what << ": stored";
        } catch (const platform::sql::SqlError& e) {
            EXPECT_TRUE(e.message().toLower().contains(QString::fromLatin1(k.error)))
                << k.what << ": " << e.message().toStdString();
        }
        expectUnchanged();
        // The same connection goes on working after the discarded transaction.
        EXPECT_EQ(billing::selectBillList(*c, QStringLiteral("S1"), kDate).rows.size(), 3u);
    }
}

TEST_F(BillStore, ManyRowsInOneStore) {
    std::vector<StoreRow> grid;
    std::vector<QString> values;
    for (int i = 1; i <= 1500; ++i) {
        StoreRow r = row("0000000000", i);
        r.userid = QStringLiteral("%1").arg(1000 + i, 10, 10, QLatin1Char('0'));
        grid.push_back(r);
    }
    EXPECT_EQ(billing::storeBill(*c, QStringLiteral("S1"), kDate, grid), 1500);
    EXPECT_EQ(
        scalar(baseDb(), QStringLiteral("select concat(count(*), '/', sum(amount)) from cms_bill "
                                        "where serviceid='S1' and billdate='2024-05-02'")),
        QStringLiteral("1500/1125750"));
}

TEST_F(BillingQueries, RequestRecordsAreTheWaitingPositiveRowsByPayerId) {
    exec(baseDb(),
         QStringLiteral("insert into cms_bill (serviceid, userid, billdate, amount, stat) values "
                        "('S1','0000000007','2024-05-02',7000,'발송대기'),"
                        "('S1','0000000001','2024-05-02',1000,'발송대기'),"
                        "('S1','0000000005','2024-05-02',0,'발송대기'),"
                        "('S1','0000000004','2024-05-02',4000,'발송완료'),"
                        "('S1','0000000002','2024-05-03',2000,'발송대기'),"
                        "('S2','0000000001','2024-05-02',9000,'발송대기');\n"));
    const auto records = billing::selectRequestRecords(*c, QStringLiteral("S1"), kDate);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].userid, QStringLiteral("0000000001"));
    EXPECT_EQ(records[0].username, QStringLiteral("홍길동"));
    EXPECT_EQ(records[0].amount, 1000);
    EXPECT_EQ(records[1].userid, QStringLiteral("0000000007"));
    EXPECT_EQ(records[1].amount, 7000);
}

TEST_F(BillingQueries, HistoryListsEveryPayerWithItsRequestsInTheRange) {
    exec(baseDb(),
         QStringLiteral(
             "insert into cms_bill (serviceid, userid, billdate, bankcode, account, "
             "accountname, amount, stat) values "
             "('S1','0000000001','2024-05-31','088','a','b',3100,'발송대기'),"
             "('S1','0000000001','2024-05-01','088','a','b',100,'발송대기'),"
             "('S1','0000000001','2024-05-15','088','a','b',1500,'발송대기'),"
             "('S1','0000000001','2024-04-30','088','a','b',430,'발송대기'),"
             "('S1','0000000001','2024-06-01','088','a','b',601,'발송대기'),"
             "('S1','0000000006','2024-05-10','020','a','b',510,'발송대기'),"
             "('S2','0000000001','2024-05-10','088','a','b',999,'발송대기');\n"
             "insert into cms_bill_his (serviceid, userid, billdate, resultamount, resultname) "
             "values ('S1','0000000001','2024-05-15',1500,'출금성공'),"
             "('S1','0000000001','2024-04-30',430,'출금성공');"));
    const auto h = billing::selectHistory(*c, QStringLiteral("S1"), QStringLiteral("2024-05-01"),
                                          QStringLiteral("2024-05-31"));
    QStringList got;
    for (const auto& r : h)
        got << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(r.userid, r.billdate)
                   .arg(r.billamount)
                   .arg(r.resultamount)
                   .arg(r.resultname);
    EXPECT_EQ(got, (QStringList{"0000000001 2024-05-01 100 0 ",
                                "0000000001 2024-05-15 1500 1500 출금성공",
                                "0000000001 2024-05-31 3100 0 ", "0000000002  0 0 ",
                                "0000000003  0 0 ", "0000000004  0 0 ", "0000000005  0 0 ",
                                "0000000006 2024-05-10 510 0 ", "0000000007  0 0 "}));
    EXPECT_EQ(h[0].username, QStringLiteral("홍길동"));
    EXPECT_EQ(h[0].account, QStringLiteral("110-222-333"));

    // A reversed range: every payer once, without a date.
    const auto reversed = billing::selectHistory(
        *c, QStringLiteral("S1"), QStringLiteral("2024-05-31"), QStringLiteral("2024-05-01"));
    ASSERT_EQ(reversed.size(), 7u);
    for (const auto& r : reversed) {
        EXPECT_TRUE(r.billdate.isEmpty()) << r.userid.toStdString();
        EXPECT_EQ(r.billamount, 0);
        EXPECT_EQ(r.resultamount, 0);
    }
}

// The deadline rules against a server whose clock stands where the test puts it. The clock
// server holds no world databases: this test creates its own service schema there.
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

class ServerClock : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Servers::get().clockFaked) GTEST_SKIP() << "libfaketime is not installed";
        db = clockServiceDb();
        exec(db, QString::fromUtf8(kPayers));
    }
    void TearDown() override {
        if (Servers::get().clockFaked) resetClockServerTime();
    }
    // Registering at server time `t`: the check of the local day `t` is in.
    bool closedAt(const QDateTime& t) {
        setClockServerTime(t);
        Connection c(db);
        c.open();
        return billing::registrationClosed(billing::selectServerNow(c), t.date());
    }
    bool editableAt(const QDateTime& t, const QString& billDate) {
        setClockServerTime(t);
        Connection c(db);
        c.open();
        const auto list = billing::selectBillList(c, QStringLiteral("S1"), billDate);
        EXPECT_FALSE(list.rows.empty());
        return billing::amountsEditable(list.dt, billDate);
    }
    platform::sql::ConnectionSettings db;
};

TEST_F(ServerClock, RegistrationClosesAtSixteenByTheServerClock) {
    const QDate today = QDate::currentDate();
    EXPECT_FALSE(closedAt(QDateTime(today, QTime(15, 59, 59))));
    EXPECT_TRUE(closedAt(QDateTime(today, QTime(16, 0, 0))));
    EXPECT_TRUE(closedAt(QDateTime(today, QTime(21, 30, 0))));
    EXPECT_FALSE(closedAt(QDateTime(today, QTime(9, 0, 0))));
}

TEST_F(ServerClock, EditLockByServerTimeAndChosenDate) {
    const QDate today(2024, 5, 2);
    const QString tomorrow = QStringLiteral("2024-05-03"), past = QStringLiteral("2024-05-01");
    EXPECT_TRUE(editableAt(QDateTime(today, QTime(15, 59, 59)), kDate));
    EXPECT_FALSE(editableAt(QDateTime(today, QTime(16, 0, 0)), kDate));
    EXPECT_TRUE(editableAt(QDateTime(today, QTime(23, 0, 0)), tomorrow));
    EXPECT_FALSE(editableAt(QDateTime(today, QTime(9, 0, 0)), past));
}

}  // namespace
