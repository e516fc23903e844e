#include "app/login_queries.h"

#include "platform/sql/connection.h"
#include "platform/sql/connection_settings.h"
#include "platform/sql/query.h"
#include "store/vocabulary.h"

namespace app {

namespace {

using platform::sql::Connection;
using platform::sql::Query;

const QString kCompanyByLoginSql =
    QStringLiteral(" select *   from cms_company  where id = :id    and pw = :pw ");

const QString kCompanyBySicodeSql =
    QStringLiteral(" select *  from cms_company  where sicode = :sicode ");

const QString kFacilityServerSql = QStringLiteral(
    " select cast(AES_DECRYPT(UNHEX(Host), :Key) as char) as Host,         "
    "cast(AES_DECRYPT(UNHEX(port), :Key) as char) as port,         "
    "cast(AES_DECRYPT(UNHEX(user), :Key) as char) as user,         "
    "cast(AES_DECRYPT(UNHEX(pw),   :Key) as char) as pass,         "
    "cast(AES_DECRYPT(UNHEX(db),   :Key) as char) as db  from server_info  where sicode = "
    ":sicode ");

CompanyRow companyRow(const Query& q) {
    CompanyRow r;
    r.id = q.field(QStringLiteral("id"));
    r.pw = q.field(QStringLiteral("pw"));
    r.compno = q.field(QStringLiteral("compno"));
    r.compname = q.field(QStringLiteral("compname"));
    r.comptype = q.field(QStringLiteral("comptype"));
    r.sicode = q.field(QStringLiteral("sicode"));
    r.sitype = q.field(QStringLiteral("sitype"));
    r.serviceid = q.field(QStringLiteral("serviceid"));
    return r;
}

std::optional<CompanyRow> firstCompany(Query& q) {
    q.open();
    if (q.eof()) return std::nullopt;
    return companyRow(q);
}

}  // namespace

std::optional<CompanyRow> selectCompanyByLogin(Connection& c, const QString& id,
                                               const QString& pw) {
    Query q(c);
    q.setSql(kCompanyByLoginSql);
    q.setParam(QStringLiteral("id"), id);
    q.setParam(QStringLiteral("pw"), pw);
    return firstCompany(q);
}

std::optional<CompanyRow> selectCompanyBySicode(Connection& c, const QString& sicode) {
    Query q(c);
    q.setSql(kCompanyBySicodeSql);
    q.setParam(QStringLiteral("sicode"), sicode);
    return firstCompany(q);
}

void fillSession(Session& s, const CompanyRow& row) {
    s.compno = row.compno;
    s.compname = row.compname;
    s.comptype = row.comptype;
    s.sicode = row.sicode;
    s.sitype = row.sitype;
    s.serviceid = row.serviceid;
}

std::optional<FacilityServer> selectFacilityServer(Connection& c, const QString& sicode) {
    Query q(c);
    q.setSql(kFacilityServerSql);
    q.setParam(QStringLiteral("sicode"), sicode);
    q.setParam(QStringLiteral("Key"), store::kServerInfoKey);
    q.open();
    if (q.eof()) return std::nullopt;
    FacilityServer s;
    s.host = q.field(QStringLiteral("Host"));
    s.port = q.field(QStringLiteral("port"));
    s.user = q.field(QStringLiteral("user"));
    s.pass = q.field(QStringLiteral("pass"));
    s.db = q.field(QStringLiteral("db"));
    return s;
}

std::optional<int> facilityPort(const FacilityServer& server) {
    bool ok = false;
    const int port = server.port.trimmed().toInt(&ok);
    if (!ok || port < 1 || port > 65535) return std::nullopt;
    return port;
}

bool applyFacilityServer(const FacilityServer& server, platform::sql::ConnectionSettings& uniCon) {
    const std::optional<int> port = facilityPort(server);
    if (!port || server.host.trimmed().isEmpty()) return false;
    uniCon.host = server.host;
    uniCon.port = *port;
    uniCon.user = server.user;
    uniCon.password = server.pass;
    uniCon.database = server.db;
    return true;
}

}  // namespace app
