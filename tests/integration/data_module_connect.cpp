#include <gtest/gtest.h>

#include "app/data_module.h"
#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "tests/support/message_recorder.h"
#include "tests/support/tcp_proxy.h"
#include "tests/support/test_env.h"

using namespace testsupport;

namespace {

const QString kConnectFailed = QStringLiteral("서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요.");

class DbConnect : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([this](int ms) { waits.push_back(ms); });
    }
    platform::sql::ConnectionSettings viaProxy(TcpProxy& p) {
        auto s = dm->UniBase;
        s.port = p.port();
        return s;
    }
    MessageRecorder recorder;
    std::unique_ptr<TDM> dm;
    std::vector<int> waits;
};

TEST_F(DbConnect, ServerAcceptingOnlyTheThirdAttempt) {
    TcpProxy proxy(Servers::get().db.host.toStdString(), Servers::get().db.port);
    proxy.dropNext(2);
    platform::sql::Connection c(viaProxy(proxy));
    EXPECT_TRUE(dm->Fn_Dynamic_DB_Connect(c));
    EXPECT_TRUE(recorder.empty());
    EXPECT_EQ(waits, (std::vector<int>{1000, 1000}));
    EXPECT_EQ(proxy.accepted(), 3);
}

TEST_F(DbConnect, ServerThatNeverAnswersGivesFourAttemptsAndOneMessage) {
    TcpProxy proxy(Servers::get().db.host.toStdString(), Servers::get().db.port);
    proxy.dropAll(true);
    platform::sql::Connection c(viaProxy(proxy));
    EXPECT_FALSE(dm->Fn_Dynamic_DB_Connect(c));
    EXPECT_EQ(proxy.accepted(), 4);
    ASSERT_EQ(recorder.texts(), QStringList{kConnectFailed});
    EXPECT_EQ(recorder.last().icon, platform::ui::MsgIcon::None);
    EXPECT_EQ(recorder.last().buttons, platform::ui::MsgButtons::Ok);
}

TEST_F(DbConnect, OpenConnectionIsTrueWithoutANewAttempt) {
    TcpProxy proxy(Servers::get().db.host.toStdString(), Servers::get().db.port);
    platform::sql::Connection c(viaProxy(proxy));
    c.open();
    EXPECT_TRUE(dm->Fn_Dynamic_DB_Connect(c));
    EXPECT_EQ(proxy.accepted(), 1);
    EXPECT_TRUE(waits.empty());
}

TEST_F(DbConnect, CopyOfUnconfiguredUniConCannotConnect) {
    platform::sql::Connection c(dm->UniCon);
    EXPECT_FALSE(dm->Fn_Dynamic_DB_Connect(c));
    EXPECT_EQ(recorder.texts(), QStringList{kConnectFailed});
    EXPECT_EQ(waits.size(), 4u);
}

TEST_F(DbConnect, WrongPasswordIsAFailedConnect) {
    auto s = dm->UniBase;
    s.password = QStringLiteral("wrong");
    platform::sql::Connection c(s);
    EXPECT_FALSE(dm->Fn_Dynamic_DB_Connect(c));
    EXPECT_EQ(recorder.texts(), QStringList{kConnectFailed});
}

TEST_F(DbConnect, ServerInfoDecryptsWithTheSharedKey) {
    addServerInfo(QStringLiteral("FAC01"));
    platform::sql::Connection c(dm->UniWonju);
    ASSERT_TRUE(dm->Fn_Dynamic_DB_Connect(c));
    platform::sql::Query q(c);
    q.setSql(QStringLiteral(
        " select cast(AES_DECRYPT(UNHEX(Host), :Key) as char) as Host,         cast(AES_DECRYPT(UNHEX(port), :Key) as char) as port,         cast(AES_DECRYPT(UNHEX(user), :Key) as char) as user,         cast(AES_DECRYPT(UNHEX(pw),   :Key) as char) as pass,         cast(AES_DECRYPT(UNHEX(db),   :Key) as char) as db  from server_info  where sicode = :sicode "));
    q.setParam("Key", "kx7315");
    q.setParam("sicode", "FAC01");
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field("host"), world().care.host);
    EXPECT_EQ(q.field("PORT").toInt(), world().care.port);
    EXPECT_EQ(q.field("user"), world().care.user);
    EXPECT_EQ(q.field("pass"), world().care.password);
    EXPECT_EQ(q.field("db"), world().care.database);
    // The raw column is not the plain value.
    EXPECT_NE(scalar(wonjuDb(), "select Host from server_info"), world().care.host);
}

}  // namespace
