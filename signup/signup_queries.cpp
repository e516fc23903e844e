#include "signup/signup_queries.h"

#include "platform/sql/connection.h"
#include "platform/sql/query.h"

namespace signup {

namespace {

using platform::sql::Connection;
using platform::sql::Query;

const QString kCompanyByIdSql = QStringLiteral(" select *  from cms_company  where id = :id ");

const QString kCompanyByCompnoSql =
    QStringLiteral(" select *  from cms_company  where compno = :compno ");

const QString kInsertCompanySql = QStringLiteral(
    " insert into  cms_company set id = :id , pw = :pw,       serviceid = :serviceid, apikey = "
    ":apikey,      comptype = :comptype, compno = :compno, compname = :compname,       sitype = "
    ":sitype, sicode = :sicode,      tel = :tel, addr = :addr, email = :email,      recdatetime "
    "= now(3) ");

bool anyRow(Query& q) {
    q.open();
    return !q.eof();
}

}  // namespace

bool idTaken(Connection& c, const QString& id) {
    Query q(c);
    q.setSql(kCompanyByIdSql);
    q.setParam(QStringLiteral("id"), id);
    return anyRow(q);
}

bool compnoTaken(Connection& c, const QString& compno) {
    Query q(c);
    q.setSql(kCompanyByCompnoSql);
    q.setParam(QStringLiteral("compno"), compno);
    return anyRow(q);
}

void insertCompany(Connection& c, const NewCompany& company) {
    platform::sql::Transaction t(c);
    Query q(c);
    q.setSql(kInsertCompanySql);
    q.setParam(QStringLiteral("id"), company.id);
    q.setParam(QStringLiteral("pw"), company.pw);
    q.setParam(QStringLiteral("serviceid"), QString());
    q.setParam(QStringLiteral("apikey"), QString());
    q.setParam(QStringLiteral("comptype"), company.comptype);
    q.setParam(QStringLiteral("compno"), company.compno);
    q.setParam(QStringLiteral("compname"), company.compname);
    q.setParam(QStringLiteral("sitype"), QString());
    q.setParam(QStringLiteral("sicode"), QString());
    q.setParam(QStringLiteral("tel"), company.tel);
    q.setParam(QStringLiteral("addr"), company.addr);
    q.setParam(QStringLiteral("email"), company.email);
    q.execute();
    t.commit();
}

}  // namespace signup
