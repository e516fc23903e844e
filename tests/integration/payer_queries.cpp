// The payer statements against the real service database.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "payers/payer_queries.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using payers::PayerSort;
using platform::sql::Connection;
using platform::sql::SqlError;

namespace {

const QString kSid = QStringLiteral("S0001");

class PayerQueries : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        c = std::make_unique<Connection>(baseDb());
        c->open();
    }
    // Rows of (userid, username, groupname, stat) for the company `sid`.
    static void addPayer(const QString& sid, const QString& userid, const QString& name,
                         const QString& group, const QString& stat) {
        exec(baseDb(), QStringLiteral("insert into cms_user (serviceid, userid, username, "
                                      "groupname, stat) values ('%1','%2','%3','%4','%5')")
                           .arg(sid, userid, name, group, stat));
    }
    static QStringList ids(const std::vector<payers::Payer>& list) {
        QStringList out;
        for (const auto& p : list) out << p.userid;
        return out;
    }
    std::unique_ptr<Connection> c;
};

TEST_F(PayerQueries, ListFiltersByStatusAndSortsByNameOrGroupOnly) {
    addPayer(kSid, "0000000001", "다현", "B", "등록완료");
    addPayer(kSid, "0000000002", "가영", "C", "등록대기");
    addPayer(kSid, "0000000003", "나리", "A", "등록요청");
    addPayer(kSid, "0000000004", "라온", "A", "해지대기");
    addPayer(kSid, "0000000005", "마루", "B", "해지완료");
    addPayer(QStringLiteral("OTHER"), "0000000006", "바다", "A", "등록완료");

    struct Case {
        bool includeCancelled;
        PayerSort sort;
        QStringList expected;
    };
    const Case cases[] = {
        {false, PayerSort::ByName, {"0000000002", "0000000003", "0000000001"}},
        {true,
         PayerSort::ByName,
         {"0000000002", "0000000003", "0000000001", "0000000004", "0000000005"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.includeCancelled);
        EXPECT_EQ(ids(payers::fetchPayerList(*c, kSid, k.includeCancelled, k.sort)), k.expected);
    }

    // By group: groups ascend, nothing else is promised within a group.
    const auto byGroup = payers::fetchPayerList(*c, kSid, true, PayerSort::ByGroup);
    ASSERT_EQ(byGroup.size(), 5u);
    QStringList groups;
    for (const auto& p : byGroup) groups << p.groupname;
    EXPECT_EQ(groups, (QStringList{"A", "A", "B", "B", "C"}));
    const auto activeByGroup = payers::fetchPayerList(*c, kSid, false, PayerSort::ByGroup);
    EXPECT_EQ(ids(activeByGroup), (QStringList{"0000000003", "0000000001", "0000000002"}));

    EXPECT_TRUE(
        payers::fetchPayerList(*c, QStringLiteral("NOBODY"), true, PayerSort::ByName).empty());
}

TEST_F(PayerQueries, OnePayerComesBackAsStored) {
    exec(baseDb(),
         "insert into cms_user (serviceid, userid, username, groupname, bankcode, account, "
         "accountname, birth, tel, memo, stat) values ('S0001','0000000007',' 홍길동 ','A ',"
         "'004','123-45-678','홍 길동','1950-01-02','010-1234-5678',' 메모 ','등록완료')");
    for (auto fetch : {&payers::fetchPayer, &payers::fetchDialogPayer}) {
        const auto p = fetch(*c, kSid, QStringLiteral("0000000007"));
        ASSERT_TRUE(p.has_value());
        EXPECT_EQ(p->userid, "0000000007");
        EXPECT_EQ(p->username, " 홍길동 ");
        EXPECT_EQ(p->groupname, "A ");
        EXPECT_EQ(p->bankcode, "004");
        EXPECT_EQ(p->account, "123-45-678");
        EXPECT_EQ(p->accountname, "홍 길동");
        EXPECT_EQ(p->birth, "1950-01-02");
        EXPECT_EQ(p->tel, "010-1234-5678");
        EXPECT_EQ(p->memo, " 메모 ");
        EXPECT_EQ(p->stat, "등록완료");
        EXPECT_FALSE(fetch(*c, kSid, QStringLiteral("0000000008")).has_value());
        EXPECT_FALSE(fetch(*c, QStringLiteral("OTHER"), QStringLiteral("0000000007")).has_value());
    }
}

TEST_F(PayerQueries, HistoryIsNewestFirstWithZeroForMissingAmountsAndResults) {
    exec(baseDb(),
         "insert into cms_user (serviceid, userid, username, bankcode, account, accountname) "
         "values ('S0001','0000000001','김철수','088','111-222','김철수');\n"
         "insert into cms_user (serviceid, userid, username) values "
         "('S0001','0000000002','이영희');\n"
         "insert into cms_bill (serviceid, userid, billdate, bankcode, account, accountname, "
         "amount) values ('S0001','0000000001','2020-01-25','004','old','old', 15000);\n"
         "insert into cms_bill (serviceid, userid, billdate, amount) values "
         "('S0001','0000000001','2020-03-25', NULL);\n"
         "insert into cms_bill (serviceid, userid, billdate, amount) values "
         "('S0001','0000000001','2020-02-25', 20000);\n"
         "insert into cms_bill (serviceid, userid, billdate, amount) values "
         "('S0001','0000000002','2020-04-25', 9000);\n"
         "insert into cms_bill_his (serviceid, userid, billdate, resultamount, resultname) "
         "values ('S0001','0000000001','2020-01-25', 15000, '출금완료');\n"
         "insert into cms_bill_his (serviceid, userid, billdate, resultamount, resultname) "
         "values ('S0001','0000000001','2020-02-25', NULL, '잔액부족')");

    const auto h = payers::fetchBillHistory(*c, kSid, QStringLiteral("0000000001"));
    ASSERT_EQ(h.size(), 3u);
    EXPECT_EQ(h[0].billdate, "2020-03-25");
    EXPECT_EQ(h[0].billamount, "0");
    EXPECT_EQ(h[0].resultamount, "0");
    EXPECT_EQ(h[0].resultname, "");
    EXPECT_EQ(h[1].billdate, "2020-02-25");
    EXPECT_EQ(h[1].billamount, "20000");
    EXPECT_EQ(h[1].resultamount, "0");
    EXPECT_EQ(h[1].resultname, "잔액부족");
    EXPECT_EQ(h[2].billdate, "2020-01-25");
    EXPECT_EQ(h[2].resultamount, "15000");
    EXPECT_EQ(h[2].resultname, "출금완료");
    // Bank data are the payer's current ones, not the copies of the request.
    EXPECT_EQ(h[2].bankcode, "088");
    EXPECT_EQ(h[2].account, "111-222");
    EXPECT_EQ(h[2].username, "김철수");

    EXPECT_TRUE(payers::fetchBillHistory(*c, kSid, QStringLiteral("0000000009")).empty());
}

payers::NewPayer named(const QString& name) {
    payers::NewPayer p;
    p.groupname = QStringLiteral("A");
    p.username = name;
    p.bankcode = QStringLiteral("003");
    p.birth = QStringLiteral("2020-05-05");
    return p;
}

TEST_F(PayerQueries, InsertNumbersPerCompanyFromOneAndStoresTheValues) {
    addPayer(QStringLiteral("OTHER"), "0000000041", "남", "A", "등록완료");
    payers::NewPayer first = named(QStringLiteral("홍길동"));
    first.account = QStringLiteral("123-456-78");
    first.accountname = QStringLiteral("홍부모");
    first.tel = QStringLiteral("01012345678");
    first.memo = QStringLiteral("첫 줄\n둘째 줄");
    payers::insertPayer(*c, kSid, first);
    for (int i = 2; i <= 10; ++i) payers::insertPayer(*c, kSid, named(QString::number(i)));

    const auto stored = rows(baseDb(),
                             "select userid, username, groupname, bankcode, account, accountname,"
                             " birth, tel, memo, stat, recdatetime is not null from cms_user "
                             "where serviceid = 'S0001' order by userid");
    ASSERT_EQ(stored.size(), 10u);
    EXPECT_EQ(stored[0],
              (QStringList{"0000000001", "홍길동", "A", "003", "123-456-78", "홍부모", "2020-05-05",
                           "01012345678", "첫 줄\n둘째 줄", "등록대기", "1"}));
    EXPECT_EQ(stored[1][0], "0000000002");
    EXPECT_EQ(stored[8][0], "0000000009");
    EXPECT_EQ(stored[9][0], "0000000010");
    EXPECT_EQ(stored[9][1], "10");
    EXPECT_EQ(scalar(baseDb(), "select max(userid) from cms_user where serviceid = 'OTHER'"),
              "0000000041");
}

TEST_F(PayerQueries, InsertErrorCarriesTheServerTextAndStoresNothing) {
    payers::NewPayer p = named(QString(51, u'가'));
    try {
        payers::insertPayer(*c, kSid, p);
        FAIL() << "an over-long name was stored";
    } catch (const SqlError& e) {
        EXPECT_TRUE(e.message().toLower().contains("data too long")) << e.what();
    }
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_user"), "0");
}

// Collisions are produced by the real server: a trigger raises the duplicate-key error for as
// many attempts as the non-transactional counter table allows.
class InsertCollisions : public PayerQueries {
protected:
    void failFirstAttempts(int n, int code = 1062,
                           const QString& text = QStringLiteral(
                               "Duplicate entry ''S0001-0000000001'' for key ''PRIMARY''")) {
        exec(baseDb(), QStringLiteral("create table attempts (n int) engine=MyISAM;\n"
                                      "insert into attempts values (0)"));
        Connection admin(baseDb());
        admin.open();
        admin.executeRaw(QStringLiteral("create trigger collide before insert on cms_user for "
                                        "each row begin update attempts set n = n + 1; if "
                                        "(select n from attempts) <= %1 then signal sqlstate "
                                        "'23000' set mysql_errno = %2, message_text = '%3'; "
                                        "end if; end")
                             .arg(n)
                             .arg(code)
                             .arg(text));
    }
    QString attempts() { return scalar(baseDb(), "select n from attempts"); }
};

TEST_F(InsertCollisions, LostRacesAreRetriedAndTheEntryIsStoredOnce) {
    failFirstAttempts(2);
    payers::insertPayer(*c, kSid, named(QStringLiteral("재시도")));
    EXPECT_EQ(attempts(), "3");
    EXPECT_EQ(rows(baseDb(), "select userid, username from cms_user"),
              (std::vector<QStringList>{{"0000000001", "재시도"}}));
}

TEST_F(InsertCollisions, EndlessCollisionsTellTheUserAndStoreNothing) {
    failFirstAttempts(1000);
    try {
        payers::insertPayer(*c, kSid, named(QStringLiteral("실패")));
        FAIL() << "no error after endless collisions";
    } catch (const SqlError& e) {
        EXPECT_EQ(e.message(), payers::kInsertCollisionMessage);
    }
    EXPECT_EQ(attempts(), QString::number(payers::kInsertAttempts));
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_user"), "0");
}

TEST_F(InsertCollisions, OtherErrorsAreNotRetried) {
    failFirstAttempts(1000, 1048, QStringLiteral("Column ''username'' cannot be null"));
    EXPECT_THROW(payers::insertPayer(*c, kSid, named(QStringLiteral("한 번"))), SqlError);
    EXPECT_EQ(attempts(), "1");
}

// Two clients of one company adding payers at the same moment, each on its own connection.
// Under the server's default isolation the sub-select's locks make the second insert wait;
// under read committed it reads without locks, computes the same number and loses on the key,
// so the retry is what keeps both entries.
class ConcurrentInserts : public PayerQueries, public ::testing::WithParamInterface<const char*> {};

TEST_P(ConcurrentInserts, NeverShareANumberAndLoseNothing) {
    constexpr int kPerClient = 100;
    const QString isolation = QString::fromLatin1(GetParam());
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<QString> failures(2);
    auto client = [&](int who) {
        try {
            Connection own(baseDb());
            own.open();
            own.executeRaw(QStringLiteral("set session transaction isolation level ") + isolation);
            ++ready;
            while (!go) std::this_thread::yield();
            for (int i = 0; i < kPerClient; ++i)
                payers::insertPayer(
                    own, kSid, named(QStringLiteral("c%1-%2").arg(who).arg(i, 3, 10, QChar(u'0'))));
        } catch (const std::exception& e) {
            failures[static_cast<size_t>(who)] = QString::fromUtf8(e.what());
        }
    };
    std::thread a(client, 0), b(client, 1);
    while (ready < 2) std::this_thread::yield();
    go = true;
    a.join();
    b.join();
    EXPECT_EQ(failures[0], "");
    EXPECT_EQ(failures[1], "");

    const auto stored =
        rows(baseDb(), "select userid, username from cms_user where serviceid = 'S0001'");
    std::set<QString> numbers, names;
    for (const auto& r : stored) {
        numbers.insert(r[0]);
        names.insert(r[1]);
    }
    EXPECT_EQ(stored.size(), static_cast<size_t>(2 * kPerClient));
    EXPECT_EQ(numbers.size(), stored.size());
    EXPECT_EQ(names.size(), static_cast<size_t>(2 * kPerClient));
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(*numbers.begin(), "0000000001");
    EXPECT_EQ(*numbers.rbegin(), QStringLiteral("%1").arg(2 * kPerClient, 10, 10, QChar(u'0')));
}

INSTANTIATE_TEST_SUITE_P(Isolation, ConcurrentInserts,
                         ::testing::Values("repeatable read", "read committed"));

TEST_F(PayerQueries, CancelMarksOnlyThatPayerAndReportsAMissingRow) {
    exec(baseDb(),
         "insert into cms_user (serviceid, userid, stat, enddate, recdatetime) values "
         "('S0001','0000000001','등록완료','9999-99-99','2001-01-01');\n"
         "insert into cms_user (serviceid, userid, stat, enddate) values "
         "('OTHER','0000000001','등록완료','9999-99-99')");
    EXPECT_TRUE(payers::cancelPayer(*c, kSid, "0000000001", "2020-06-01"));
    EXPECT_TRUE(payers::cancelPayer(*c, kSid, "0000000001", "2020-06-02"));
    EXPECT_EQ(rows(baseDb(),
                   "select serviceid, stat, enddate, recdatetime > '2001-01-01' from cms_user "
                   "order by serviceid"),
              (std::vector<QStringList>{{"OTHER", "등록완료", "9999-99-99", ""},
                                        {"S0001", "해지대기", "2020-06-02", "1"}}));

    // The same values again still find the row.
    EXPECT_TRUE(payers::cancelPayer(*c, kSid, "0000000001", "2020-06-02"));
    const QString before = scalar(baseDb(),
                                  "select group_concat(concat(serviceid,userid,stat,"
                                  "enddate) order by serviceid) from cms_user");
    EXPECT_FALSE(payers::cancelPayer(*c, kSid, "0000000002", "2020-06-03"));
    EXPECT_EQ(scalar(baseDb(),
                     "select group_concat(concat(serviceid,userid,stat,enddate) "
                     "order by serviceid) from cms_user"),
              before);
}

}  // namespace
