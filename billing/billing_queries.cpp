#include "billing/billing_queries.h"

#include <QLocale>

#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "platform/sql/sql_error.h"
#include "store/vocabulary.h"

namespace billing {

namespace {

using platform::sql::Connection;
using platform::sql::Query;

const QString kServerNowSql = QStringLiteral(" select now(3) as DT  ");

const QString kBillListSql = QStringLiteral(
    " select a.*, ifnull(b.amount,0) as billamount, ifnull(c.resultamount,0) as resultamount, "
    "now() as dt, c.resultname   from cms_user a  left join cms_bill b on a.serviceid = "
    "b.serviceid and a.userid = b.userid and b.billdate = :일자  left join cms_bill_his c on "
    "b.serviceid = c.serviceid and b.userid = c.userid and b.billdate = c.billdate  where "
    "a.serviceid = :serviceid    and :일자 between StartDate and EndDate    and a.stat in "
    "('등록완료')  order by a.username ");

const QString kDeleteBillSql = QStringLiteral(
    " delete  from cms_bill  where serviceid = :serviceid    and billdate = :billdate ");

const QString kInsertBillSql = QStringLiteral(
    " insert into cms_bill  set serviceid = :serviceid, userid = :userid, billdate = :billdate, "
    "     bankcode = :bankcode, account = :account, accountname = :accountname,      amount = "
    ":amount, stat = :stat, recdatetime = now(3) ");

const QString kRequestRecordsSql = QStringLiteral(
    " select a.*, b.username  from cms_bill a  join cms_user b on a.serviceid = b.serviceid "
    "and a.userid = b.userid  where a.serviceid = :serviceid    and a.billdate = :billdate    "
    "and a.stat = :stat    and a.amount > 0  order by a.userid ");

const QString kHistorySql = QStringLiteral(
    " select a.*,b.billdate, ifnull(b.amount,0) as billamount, ifnull(c.resultamount,0) as "
    "resultamount, now() as dt, c.resultname   from cms_user a  left join cms_bill b on "
    "a.serviceid = b.serviceid and a.userid = b.userid and b.billdate between :StartDate and "
    ":EndDate  left join cms_bill_his c on b.serviceid = c.serviceid and b.userid = c.userid "
    "and b.billdate = c.billdate  where a.serviceid = :serviceid  order by a.userid, "
    "b.billdate ");

// Two stores of one company's request at the same moment would each delete and then insert
// into the gaps the other one's delete had locked; the server breaks that deadlock by failing
// one of them. A named lock per database and company makes the later store wait for the
// earlier one instead, so both succeed one after the other.
const QString kStoreLockName =
    QStringLiteral("concat('paydesk_bill_', md5(concat(database(), '/', :serviceid)))");
const QString kStoreLockSql =
    QStringLiteral(" select get_lock(%1, :wait) as got ").arg(kStoreLockName);
const QString kStoreUnlockSql = QStringLiteral(" do release_lock(%1) ").arg(kStoreLockName);
// Far longer than any store takes.
const QString kStoreLockWaitSeconds = QStringLiteral("60");

class StoreLock {
public:
    StoreLock(Connection& c, const QString& serviceId) : c_(c), serviceId_(serviceId) {
        Query q(c_);
        q.setSql(kStoreLockSql);
        q.setParam(QStringLiteral("serviceid"), serviceId_);
        q.setParam(QStringLiteral("wait"), kStoreLockWaitSeconds);
        q.open();
        if (q.eof() || q.field(QStringLiteral("got")) != u"1")
            throw platform::sql::SqlError(
                QStringLiteral("다른 곳에서 같은 회사의 출금요청을 저장하고 있어 저장하지 "
                               "못했습니다.\r잠시 후 다시 등록하세요."));
    }
    ~StoreLock() {
        // The server frees it with the connection anyway; a dead connection is no error here.
        try {
            Query q(c_);
            q.setSql(kStoreUnlockSql);
            q.setParam(QStringLiteral("serviceid"), serviceId_);
            q.execute();
        } catch (...) {
        }
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    Connection& c_;
    QString serviceId_;
};

QString trimmed(const Query& q, const QString& name) {
    return q.field(name).trimmed();
}

// Amount columns hold integers; a value that is not one reads as 0, as an empty one does.
qint64 amount(const Query& q, const QString& name) {
    bool ok = false;
    const qint64 v = q.field(name).trimmed().toLongLong(&ok);
    return ok ? v : 0;
}

QString won(qint64 v) {
    return QLocale(QLocale::Korean).toString(v);
}

}  // namespace

QString selectServerNow(Connection& c) {
    Query q(c);
    q.setSql(kServerNowSql);
    q.open();
    return q.eof() ? QString() : q.field(QStringLiteral("DT"));
}

BillList selectBillList(Connection& c, const QString& serviceId, const QString& billDate) {
    Query q(c);
    q.setSql(kBillListSql);
    q.setParam(QStringLiteral("serviceid"), serviceId);
    q.setParam(QStringLiteral("일자"), billDate);
    q.open();
    BillList list;
    list.rows.reserve(static_cast<size_t>(q.recordCount()));
    for (; !q.eof(); q.next()) {
        if (list.dt.isEmpty()) list.dt = q.field(QStringLiteral("dt"));
        BillListRow r;
        r.userid = trimmed(q, QStringLiteral("userid"));
        r.dlbid = trimmed(q, QStringLiteral("dlbid"));
        r.username = trimmed(q, QStringLiteral("username"));
        r.bankcode = trimmed(q, QStringLiteral("bankcode"));
        r.account = trimmed(q, QStringLiteral("account"));
        r.accountname = trimmed(q, QStringLiteral("accountname"));
        r.billamount = amount(q, QStringLiteral("billamount"));
        r.resultamount = amount(q, QStringLiteral("resultamount"));
        r.resultname = trimmed(q, QStringLiteral("resultname"));
        list.rows.push_back(std::move(r));
    }
    return list;
}

void checkStoreRows(const std::vector<StoreRow>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
        const StoreRow& r = rows[i];
        const QString who = r.username.isEmpty() ? r.userid : r.username;
        if (!r.amount)
            throw StoreRefused(static_cast<int>(i),
                               QStringLiteral("%1 사용자의 요청금액이 비어 있습니다.\n"
                                              "금액을 입력하세요. (출금하지 않을 때는 0)")
                                   .arg(who));
        if (*r.amount > kMaxBillAmount)
            throw StoreRefused(static_cast<int>(i),
                               QStringLiteral("%1 사용자의 요청금액이 너무 큽니다.\n"
                                              "요청금액은 %2원까지 입력할 수 있습니다.")
                                   .arg(who, won(kMaxBillAmount)));
    }
}

int storeBill(Connection& c, const QString& serviceId, const QString& billDate,
              const std::vector<StoreRow>& rows) {
    checkStoreRows(rows);

    const QStringList names = {QStringLiteral("serviceid"), QStringLiteral("userid"),
                               QStringLiteral("billdate"),  QStringLiteral("bankcode"),
                               QStringLiteral("account"),   QStringLiteral("accountname"),
                               QStringLiteral("amount"),    QStringLiteral("stat")};
    std::vector<QStringList> values;
    values.reserve(rows.size());
    for (const StoreRow& r : rows) {
        if (*r.amount <= 0) continue;
        values.push_back({serviceId, r.userid, billDate, r.bankcode, r.account, r.accountname,
                          QString::number(*r.amount), store::kBillWaiting});
    }

    // The delete and the inserts stand or fall together: an error on any row (a constraint,
    // a lost connection) leaves the date's earlier request as it was.
    const StoreLock lock(c, serviceId);
    platform::sql::Transaction tx(c);
    Query q(c);
    q.setSql(kDeleteBillSql);
    q.setParam(QStringLiteral("serviceid"), serviceId);
    q.setParam(QStringLiteral("billdate"), billDate);
    q.execute();
    if (!values.empty()) {
        q.setSql(kInsertBillSql);
        q.clearParams();
        const long long stored = q.executeBatch(names, values);
        if (stored != static_cast<long long>(values.size()))
            throw platform::sql::SqlError(
                QStringLiteral("출금요청 %1건 중 %2건만 저장되어 저장을 취소했습니다.")
                    .arg(values.size())
                    .arg(stored));
    }
    tx.commit();
    return static_cast<int>(values.size());
}

std::vector<RequestRecord> selectRequestRecords(Connection& c, const QString& serviceId,
                                                const QString& billDate) {
    Query q(c);
    q.setSql(kRequestRecordsSql);
    q.setParam(QStringLiteral("serviceid"), serviceId);
    q.setParam(QStringLiteral("billdate"), billDate);
    q.setParam(QStringLiteral("stat"), store::kBillWaiting);
    q.open();
    std::vector<RequestRecord> out;
    out.reserve(static_cast<size_t>(q.recordCount()));
    for (; !q.eof(); q.next()) {
        RequestRecord r;
        r.userid = trimmed(q, QStringLiteral("userid"));
        r.username = trimmed(q, QStringLiteral("username"));
        r.amount = amount(q, QStringLiteral("amount"));
        out.push_back(std::move(r));
    }
    return out;
}

std::vector<HistoryRow> selectHistory(Connection& c, const QString& serviceId,
                                      const QString& startDate, const QString& endDate) {
    Query q(c);
    q.setSql(kHistorySql);
    q.setParam(QStringLiteral("serviceid"), serviceId);
    q.setParam(QStringLiteral("StartDate"), startDate);
    q.setParam(QStringLiteral("EndDate"), endDate);
    q.open();
    std::vector<HistoryRow> out;
    out.reserve(static_cast<size_t>(q.recordCount()));
    for (; !q.eof(); q.next()) {
        HistoryRow r;
        r.billdate = trimmed(q, QStringLiteral("billdate"));
        r.userid = trimmed(q, QStringLiteral("userid"));
        r.username = trimmed(q, QStringLiteral("username"));
        r.bankcode = trimmed(q, QStringLiteral("bankcode"));
        r.account = trimmed(q, QStringLiteral("account"));
        r.accountname = trimmed(q, QStringLiteral("accountname"));
        r.billamount = amount(q, QStringLiteral("billamount"));
        r.resultamount = amount(q, QStringLiteral("resultamount"));
        r.resultname = trimmed(q, QStringLiteral("resultname"));
        out.push_back(std::move(r));
    }
    return out;
}

}  // namespace billing
