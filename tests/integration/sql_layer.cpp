#include <gtest/gtest.h>

#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "platform/sql/sql_error.h"
#include "tests/support/test_env.h"

using platform::sql::Connection;
using platform::sql::Query;
using platform::sql::SqlError;
using namespace testsupport;

namespace {

class SqlLayer : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        exec(baseDb(), QStringLiteral(
                           "insert into cms_user (serviceid, userid, username, stat, startdate, enddate) values "
                           "('S1','0000000001','홍길동','등록완료','2019-11-01','9999-99-99'),"
                           "('S1','0000000002','김철수','등록대기','2019-11-01','9999-99-99'),"
                           "('S1','0000000003','이영희','등록완료','2019-12-01','9999-99-99'),"
                           "('S2','0000000001','박민수','등록완료','2019-01-01','9999-99-99');"));
    }
};

TEST_F(SqlLayer, RepeatedHangulParameterAndQuotedLiteral) {
    Connection c(baseDb());
    c.open();
    Query q(c);
    q.setSql(QStringLiteral(" select userid, username from cms_user where serviceid = :serviceid "));
    q.addSql(QStringLiteral(" and stat in ('등록완료') and :일자 between StartDate and EndDate "));
    q.addSql(QStringLiteral(" and :일자 >= startdate order by userid "));
    q.setParam(QStringLiteral("serviceid"), QStringLiteral("S1"));
    q.setParam(QStringLiteral("일자"), QStringLiteral("2019-11-15"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field("userid"), QStringLiteral("0000000001"));
    EXPECT_EQ(q.field("USERNAME"), QStringLiteral("홍길동"));
}

TEST_F(SqlLayer, HangulRoundTripsThroughEuckrColumn) {
    // Extended Hangul (똠, 햏) is outside KS X 1001 but inside the code page the columns hold.
    const QString name = QStringLiteral("똠햏 가나다 ABC ';--\\%_");
    Connection c(baseDb());
    c.open();
    Query q(c);
    q.setSql(QStringLiteral("update cms_user set username = :n where serviceid = 'S1' and userid = '0000000001'"));
    q.setParam("n", name);
    EXPECT_EQ(q.execute(), 1);
    q.setSql(QStringLiteral("select username, hex(username) as h from cms_user where username = :n"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field("username"), name);
    EXPECT_TRUE(q.field("h").startsWith(QStringLiteral("8C63")));  // 똠 in code page 949
}

TEST_F(SqlLayer, CharacterTheColumnsCannotHoldIsRefusedBeforeSending) {
    Connection c(baseDb());
    c.open();
    Query q(c);
    q.setSql(QStringLiteral("update cms_user set username = :n where serviceid = 'S1'"));
    q.setParam("n", QStringLiteral("웃음😀"));
    try {
        q.execute();
        FAIL() << "expected a refusal";
    } catch (const SqlError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("😀"))) << e.message().toStdString();
    }
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_user where username like '웃음%'"), "0");
    // The refusal leaves nothing behind: the next Hangul value goes through.
    q.setParam("n", QStringLiteral("웃음꽃"));
    EXPECT_EQ(q.execute(), 3);
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_user where username = '웃음꽃'"), "3");
}

TEST_F(SqlLayer, ChangedStatementIsReadWithItsOwnColumnsAndParameters) {
    Connection c(baseDb());
    c.open();
    Query q(c);
    q.setSql(QStringLiteral("select userid, username from cms_user where serviceid = :s"));
    q.setParam("s", "S2");
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field("username"), QStringLiteral("박민수"));
    // Same query object, columns in another order and one more condition.
    q.setSql(QStringLiteral("select username, userid from cms_user where serviceid = :s"));
    q.addSql(QStringLiteral(" and stat = :stat order by userid"));
    q.setParam("s", "S1");
    q.setParam("stat", QStringLiteral("등록완료"));
    q.open();
    QStringList seen;
    for (; !q.eof(); q.next()) seen << q.field("userid") + u'=' + q.field("username");
    EXPECT_EQ(seen, (QStringList{QStringLiteral("0000000001=홍길동"),
                                 QStringLiteral("0000000003=이영희")}));
}

TEST_F(SqlLayer, ColumnsByNameCaseInsensitiveAndNullAsEmpty) {
    Connection c(baseDb());
    c.open();
    Query q(c);
    q.setSql(QStringLiteral("select now() as DT, null as nothing, dlbid from cms_user where userid = :u and serviceid='S1'"));
    q.setParam("u", "0000000001");
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.field("dt").size(), 19);
    EXPECT_EQ(q.field("Nothing"), QString());
    EXPECT_TRUE(q.isNull("nothing"));
    EXPECT_EQ(q.field("DLBID"), QString());
    EXPECT_THROW(q.field("missing"), SqlError);
}

TEST_F(SqlLayer, NavigationOverRows) {
    Connection c(baseDb());
    c.open();
    Query q(c);
    q.setSql(QStringLiteral("select userid from cms_user where serviceid = :s order by userid"));
    q.setParam("s", "S1");
    q.open();
    QStringList seen;
    for (; !q.eof(); q.next()) seen << q.field("userid");
    EXPECT_EQ(seen, (QStringList{"0000000001", "0000000002", "0000000003"}));
    q.first();
    EXPECT_EQ(q.field("userid"), "0000000001");
    q.setParam("s", "none");
    q.open();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.recordCount(), 0);
}

TEST_F(SqlLayer, MissingParameterIsAnErrorNotAnEmptyValue) {
    Connection c(baseDb());
    c.open();
    Query q(c);
    q.setSql(QStringLiteral("select * from cms_user where serviceid = :serviceid"));
    EXPECT_THROW(q.open(), SqlError);
}

TEST_F(SqlLayer, TransactionWhoseSecondStatementFailsLeavesTablesUnchanged) {
    const auto before = rows(baseDb(), "select serviceid, userid, username from cms_user order by 1, 2");
    {
        Connection c(baseDb());
        c.open();
        Query q(c);
        c.startTransaction();
        q.setSql(QStringLiteral("update cms_user set username = '바뀜' where serviceid = 'S1'"));
        q.execute();
        q.setSql(QStringLiteral("insert into cms_user (serviceid, userid) values ('S1', '0000000001')"));
        try {
            q.execute();
            FAIL() << "duplicate key expected";
        } catch (const SqlError& e) {
            EXPECT_TRUE(e.message().toLower().contains("duplicate entry"));
        }
        // No commit: closing the connection discards the transaction.
    }
    EXPECT_EQ(rows(baseDb(), "select serviceid, userid, username from cms_user order by 1, 2"), before);
}

TEST_F(SqlLayer, TransactionGuardDiscardsUnlessCommitted) {
    Connection c(baseDb());
    c.open();
    Query q(c);
    {
        platform::sql::Transaction t(c);
        q.setSql(QStringLiteral("delete from cms_user"));
        q.execute();
    }
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_user"), "4");
    {
        platform::sql::Transaction t(c);
        q.setSql(QStringLiteral("delete from cms_user where serviceid = 'S2'"));
        q.execute();
        t.commit();
    }
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_user"), "3");
}

TEST_F(SqlLayer, ServerErrorTextReachesTheCaller) {
    Connection c(baseDb());
    c.open();
    Query q(c);
    q.setSql(QStringLiteral("select nosuchcolumn from cms_user"));
    try {
        q.open();
        FAIL();
    } catch (const SqlError& e) {
        EXPECT_TRUE(e.message().toLower().contains("unknown column")) << e.message().toStdString();
    }
    q.setSql(QStringLiteral("update cms_user set bankcode = :b where serviceid = 'S1'"));
    q.setParam("b", "12345");
    try {
        q.execute();
        FAIL();
    } catch (const SqlError& e) {
        EXPECT_TRUE(e.message().toLower().contains("data too long for column"));
    }
}

TEST_F(SqlLayer, BatchStoresEveryRowWithBulkAndPerRowPaths) {
    Connection c(baseDb());
    c.open();
    EXPECT_TRUE(c.supportsBulk());
    Query q(c);
    q.setSql(QStringLiteral(
        "insert cms_bill set serviceid = :serviceid, userid = :userid, billdate = :billdate, "
        "amount = :amount, stat = '발송대기', recdatetime = now(3)"));
    std::vector<QStringList> batch;
    for (int i = 1; i <= 250; ++i)
        batch.push_back({"S1", QStringLiteral("%1").arg(i, 10, 10, QChar('0')), "2019-11-20",
                         QString::number(i * 1000)});
    EXPECT_EQ(q.executeBatch({"serviceid", "userid", "billdate", "amount"}, batch), 250);
    EXPECT_EQ(scalar(baseDb(), "select sum(amount) from cms_bill"), QString::number(1000LL * 250 * 251 / 2));
    EXPECT_EQ(scalar(baseDb(), "select count(distinct stat) from cms_bill"), "1");
    // A duplicate row fails the whole bulk statement.
    EXPECT_THROW(q.executeBatch({"serviceid", "userid", "billdate", "amount"},
                                {{"S1", "X", "2019-11-21", "1"}, {"S1", "X", "2019-11-21", "2"}}),
                 SqlError);
}

// Servers without bulk execution get one execution per row; the rows stored must be the same.
TEST_F(SqlLayer, BatchStoresTheSameRowsWithOrWithoutBulk) {
    std::vector<QStringList> batch;
    for (int i = 1; i <= 120; ++i)
        batch.push_back({"S1", QStringLiteral("%1").arg(i, 10, 10, QChar('0')),
                         i % 3 ? QStringLiteral("홍길동%1").arg(i) : QStringLiteral("O'Neil"),
                         QString::number(i * 10)});
    std::vector<std::vector<QStringList>> stored;
    for (const bool bulk : {true, false}) {
        SCOPED_TRACE(bulk ? "bulk" : "per row");
        exec(baseDb(), "delete from cms_bill");
        auto settings = baseDb();
        settings.bulk = bulk;
        Connection c(settings);
        c.open();
        EXPECT_EQ(c.supportsBulk(), bulk);
        Query q(c);
        q.setSql(QStringLiteral(
            "insert cms_bill set serviceid = :serviceid, userid = :userid, "
            "billdate = '2019-11-20', accountname = :name, amount = :amount, stat = '발송대기'"));
        EXPECT_EQ(q.executeBatch({"serviceid", "userid", "name", "amount"}, batch), 120);
        stored.push_back(rows(baseDb(),
                              "select serviceid, userid, billdate, accountname, amount, stat "
                              "from cms_bill order by userid"));
    }
    ASSERT_EQ(stored[0].size(), 120u);
    EXPECT_EQ(stored[0][2], (QStringList{"S1", "0000000003", "2019-11-20", "O'Neil", "30",
                                         QStringLiteral("발송대기")}));
    EXPECT_EQ(stored[0], stored[1]);
}

}  // namespace
