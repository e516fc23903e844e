#include "payers/payer_queries.h"

#include <QRandomGenerator>
#include <chrono>
#include <thread>

#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "platform/sql/sql_error.h"
#include "store/vocabulary.h"

namespace payers {

using platform::sql::Connection;
using platform::sql::Query;
using platform::sql::SqlError;

const QString kPayerListSql =
    QStringLiteral(" select *  from cms_user  where serviceid = :serviceid ");
const QString kActiveStatusFilter =
    QStringLiteral(" and stat in ('등록완료','등록대기','등록요청') ");
const QString kOrderByName = QStringLiteral(" order by username ");
const QString kOrderByGroup = QStringLiteral(" order by groupname ");
const QString kPayerSql = QStringLiteral(
    " select *  from cms_user  where serviceid = :serviceid    and userid    = :userid ");
const QString kDialogPayerSql = QStringLiteral(
    " select *  from cms_user  where serviceid = :serviceid    and userid = :userid ");
const QString kBillHistorySql = QStringLiteral(
    " select a.*, b.billdate, ifnull(b.amount,0) as billamount, ifnull(c.resultamount,0) as "
    "resultamount, now() as dt, c.resultname   from cms_user a  join cms_bill b on a.serviceid = "
    "b.serviceid and a.userid = b.userid  left join cms_bill_his c on b.serviceid = c.serviceid "
    "and b.userid = c.userid and b.billdate = c.billdate  where a.serviceid = :serviceid    and "
    "a.userid = :userid  order by b.billdate desc ");
const QString kInsertPayerSql = QStringLiteral(
    " insert cms_user  set serviceid = :serviceid, userid = (select "
    "lpad(ifnull(max(userid),0)+1,10,0) from cms_user a where serviceid = :serviceid),       "
    "groupname = :group, username = :username,      bankcode = :bankcode, account = :account, "
    "accountname = :accountname,      birth = :birth, tel = :tel, memo = :memo, recdatetime = "
    "now(3) ");
const QString kCancelPayerSql = QStringLiteral(
    " update cms_user  set stat = :stat, EndDate = :EndDate, recdatetime = now(3)  where "
    "serviceid = :serviceid and userid = :userid ");

const QString kInsertCollisionMessage = QStringLiteral(
    "다른 곳에서 같은 시각에 사용자를 등록하고 있어 사용자아이디를 정하지 못했습니다.\r"
    "저장되지 않았습니다. 잠시 후 다시 저장하세요.");

namespace {

// The server's codes for the two ways a concurrent insert of the same number loses: the key
// refuses the second row, or the locks of the two sub-selects deadlock and one is chosen.
constexpr unsigned int kErDupEntry = 1062;
constexpr unsigned int kErLockDeadlock = 1213;

Payer payerOf(const Query& q) {
    Payer p;
    p.userid = q.field(QStringLiteral("userid"));
    p.username = q.field(QStringLiteral("username"));
    p.groupname = q.field(QStringLiteral("groupname"));
    p.bankcode = q.field(QStringLiteral("bankcode"));
    p.account = q.field(QStringLiteral("account"));
    p.accountname = q.field(QStringLiteral("accountname"));
    p.birth = q.field(QStringLiteral("birth"));
    p.tel = q.field(QStringLiteral("tel"));
    p.stat = q.field(QStringLiteral("stat"));
    p.memo = q.field(QStringLiteral("memo"));
    return p;
}

std::optional<Payer> fetchOne(Connection& c, const QString& sql, const QString& serviceid,
                              const QString& userid) {
    Query q(c);
    q.setSql(sql);
    q.setParam(QStringLiteral("serviceid"), serviceid);
    q.setParam(QStringLiteral("userid"), userid);
    q.open();
    if (q.eof()) return std::nullopt;
    return payerOf(q);
}

// A short random pause, so that two clients that collided do not meet again at once.
void pauseBeforeRetry(int attempt) {
    const int ms = 5 * attempt + static_cast<int>(QRandomGenerator::global()->bounded(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

std::vector<Payer> fetchPayerList(Connection& c, const QString& serviceid, bool includeCancelled,
                                  PayerSort sort) {
    Query q(c);
    q.setSql(kPayerListSql);
    q.setParam(QStringLiteral("serviceid"), serviceid);
    if (!includeCancelled) q.addSql(kActiveStatusFilter);
    q.addSql(sort == PayerSort::ByGroup ? kOrderByGroup : kOrderByName);
    q.open();
    // Only the list's columns: the detail block reads the whole payer again, and decoding the
    // other seven of many thousand rows would cost more than the load itself.
    std::vector<Payer> out;
    out.reserve(static_cast<size_t>(q.recordCount()));
    for (; !q.eof(); q.next()) {
        Payer p;
        p.userid = q.field(QStringLiteral("userid"));
        p.username = q.field(QStringLiteral("username"));
        p.groupname = q.field(QStringLiteral("groupname"));
        out.push_back(std::move(p));
    }
    return out;
}

std::optional<Payer> fetchPayer(Connection& c, const QString& serviceid, const QString& userid) {
    return fetchOne(c, kPayerSql, serviceid, userid);
}

std::optional<Payer> fetchDialogPayer(Connection& c, const QString& serviceid,
                                      const QString& userid) {
    return fetchOne(c, kDialogPayerSql, serviceid, userid);
}

std::vector<BillHistoryRow> fetchBillHistory(Connection& c, const QString& serviceid,
                                             const QString& userid) {
    Query q(c);
    q.setSql(kBillHistorySql);
    q.setParam(QStringLiteral("serviceid"), serviceid);
    q.setParam(QStringLiteral("userid"), userid);
    q.open();
    std::vector<BillHistoryRow> out;
    out.reserve(static_cast<size_t>(q.recordCount()));
    for (; !q.eof(); q.next()) {
        BillHistoryRow r;
        r.userid = q.field(QStringLiteral("userid"));
        r.username = q.field(QStringLiteral("username"));
        r.bankcode = q.field(QStringLiteral("bankcode"));
        r.billdate = q.field(QStringLiteral("billdate"));
        r.account = q.field(QStringLiteral("account"));
        r.accountname = q.field(QStringLiteral("accountname"));
        r.billamount = q.field(QStringLiteral("billamount"));
        r.resultamount = q.field(QStringLiteral("resultamount"));
        r.resultname = q.field(QStringLiteral("resultname"));
        out.push_back(r);
    }
    return out;
}

void insertPayer(Connection& c, const QString& serviceid, const NewPayer& payer) {
    Query q(c);
    q.setSql(kInsertPayerSql);
    q.setParam(QStringLiteral("serviceid"), serviceid);
    q.setParam(QStringLiteral("group"), payer.groupname);
    q.setParam(QStringLiteral("username"), payer.username);
    q.setParam(QStringLiteral("bankcode"), payer.bankcode);
    q.setParam(QStringLiteral("account"), payer.account);
    q.setParam(QStringLiteral("accountname"), payer.accountname);
    q.setParam(QStringLiteral("birth"), payer.birth);
    q.setParam(QStringLiteral("tel"), payer.tel);
    q.setParam(QStringLiteral("memo"), payer.memo);
    for (int attempt = 1;; ++attempt) {
        try {
            platform::sql::Transaction t(c);
            q.execute();
            t.commit();
            return;
        } catch (const SqlError& e) {
            // The guard has discarded the attempt; only a lost race is worth another one.
            const bool collided = e.code() == kErDupEntry || e.code() == kErLockDeadlock;
            if (!collided) throw;
            if (attempt >= kInsertAttempts) throw SqlError(kInsertCollisionMessage, e.code());
            pauseBeforeRetry(attempt);
        }
    }
}

bool cancelPayer(Connection& c, const QString& serviceid, const QString& userid,
                 const QString& endDate) {
    Query q(c);
    q.setSql(kCancelPayerSql);
    q.setParam(QStringLiteral("stat"), store::kPayerCancelWaiting);
    q.setParam(QStringLiteral("EndDate"), endDate);
    q.setParam(QStringLiteral("serviceid"), serviceid);
    q.setParam(QStringLiteral("userid"), userid);
    if (q.execute() > 0) return true;
    // The server counts changed rows only; a row that already held these values still exists.
    return fetchDialogPayer(c, serviceid, userid).has_value();
}

}  // namespace payers
