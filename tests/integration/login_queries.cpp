// The login's statements against the real service database and facility directory.
#include <gtest/gtest.h>

#include "app/login_queries.h"
#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "tests/support/test_env.h"

using namespace testsupport;

namespace {

class LoginQueries : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        exec(baseDb(),
             "insert into cms_company (id, pw, serviceid, comptype, compno, compname, sitype, "
             "sicode) values ('haengbok01', 'pw1234', 'HB000001', '개인사업자', '1208812345', "
             "'행복한요양원', 'A', 'FAC0001');\n"
             "insert into cms_company (id, pw, serviceid, comptype, compno, compname) values "
             "('pureun001', '', 'PR000002', '법인사업자', '2158654321', '푸른방문요양센터');\n");
    }
    platform::sql::Connection base{baseDb()};
    platform::sql::Connection wonju{wonjuDb()};
};

TEST_F(LoginQueries, CompanyByIdAndPasswordCarriesEverySessionColumn) {
    base.open();
    const auto row = app::selectCompanyByLogin(base, "haengbok01", "pw1234");
    ASSERT_TRUE(row);
    app::Session s;
    app::fillSession(s, *row);
    EXPECT_EQ(s.compno, "1208812345");
    EXPECT_EQ(s.compname, "행복한요양원");
    EXPECT_EQ(s.comptype, "개인사업자");
    EXPECT_EQ(s.sicode, "FAC0001");
    EXPECT_EQ(s.sitype, "A");
    EXPECT_EQ(s.serviceid, "HB000001");
}

TEST_F(LoginQueries, CompanyByIdAndPasswordNeedsBothToMatch) {
    base.open();
    EXPECT_FALSE(app::selectCompanyByLogin(base, "haengbok01", "wrong"));
    EXPECT_FALSE(app::selectCompanyByLogin(base, "nobody", "pw1234"));
    EXPECT_FALSE(app::selectCompanyByLogin(base, "haengbok01", ""));
    // A company whose password is empty matches the empty password only.
    EXPECT_TRUE(app::selectCompanyByLogin(base, "pureun001", ""));
    // Quotes in the typed values are values, never SQL.
    EXPECT_FALSE(app::selectCompanyByLogin(base, "haengbok01", "' or '1'='1"));
}

TEST_F(LoginQueries, CompanyByFacilityCode) {
    base.open();
    const auto row = app::selectCompanyBySicode(base, "FAC0001");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->id, "haengbok01");
    EXPECT_EQ(row->pw, "pw1234");
    EXPECT_FALSE(app::selectCompanyBySicode(base, "FAC9999"));
}

TEST_F(LoginQueries, FacilityServerDeciphersAndReachesTheCareDatabase) {
    addServerInfo("FAC0001");
    wonju.open();
    const auto server = app::selectFacilityServer(wonju, "FAC0001");
    ASSERT_TRUE(server);
    EXPECT_EQ(server->host, world().care.host);
    EXPECT_EQ(server->db, world().careDb);

    platform::sql::ConnectionSettings uniCon;
    ASSERT_TRUE(app::applyFacilityServer(*server, uniCon));
    EXPECT_EQ(uniCon.port, world().care.port);
    EXPECT_EQ(uniCon.user, world().care.user);
    EXPECT_EQ(uniCon.password, world().care.password);
    EXPECT_EQ(uniCon.charset, "euckr");

    platform::sql::Connection care(uniCon);
    care.open();
    platform::sql::Query q(care);
    q.setSql("select database() as db");
    q.open();
    EXPECT_EQ(q.field("db"), world().careDb);
}

TEST_F(LoginQueries, FacilityWithoutRowGivesNothing) {
    addServerInfo("FAC0001");
    wonju.open();
    EXPECT_FALSE(app::selectFacilityServer(wonju, "FAC0002"));
}

// Rows the operator's tools could leave behind: the connection settings must not be half
// changed by them.
TEST_F(LoginQueries, UnusableFacilityRowLeavesUniConAsItWas) {
    struct Case {
        const char* sicode;
        const char* insert;
    } cases[] = {
        {"PORTTEXT",
         "insert into server_info values ('PORTTEXT', hex(aes_encrypt('127.0.0.1','kx7315')), "
         "hex(aes_encrypt('삼삼공공','kx7315')), hex(aes_encrypt('u','kx7315')), "
         "hex(aes_encrypt('p','kx7315')), hex(aes_encrypt('d','kx7315')))"},
        {"PORTRANGE",
         "insert into server_info values ('PORTRANGE', hex(aes_encrypt('127.0.0.1','kx7315')), "
         "hex(aes_encrypt('70000','kx7315')), hex(aes_encrypt('u','kx7315')), "
         "hex(aes_encrypt('p','kx7315')), hex(aes_encrypt('d','kx7315')))"},
        {"OTHERKEY",
         "insert into server_info values ('OTHERKEY', hex(aes_encrypt('127.0.0.1','other')), "
         "hex(aes_encrypt('3306','other')), hex(aes_encrypt('u','other')), "
         "hex(aes_encrypt('p','other')), hex(aes_encrypt('d','other')))"},
    };
    wonju.open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sicode);
        exec(wonjuDb(), c.insert);
        const auto server = app::selectFacilityServer(wonju, c.sicode);
        ASSERT_TRUE(server);
        platform::sql::ConnectionSettings uniCon;
        EXPECT_FALSE(app::applyFacilityServer(*server, uniCon));
        EXPECT_FALSE(uniCon.isConfigured());
        EXPECT_EQ(uniCon.port, 0);
        EXPECT_TRUE(uniCon.user.isEmpty());
    }
}

}  // namespace
