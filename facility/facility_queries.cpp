#include "facility/facility_queries.h"

#include <QRandomGenerator>
#include <chrono>
#include <limits>
#include <thread>

#include "app/form_utils.h"
#include "payers/payer_queries.h"
#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "platform/sql/sql_error.h"
#include "store/vocabulary.h"

namespace facility {

using platform::sql::Connection;
using platform::sql::Query;
using platform::sql::SqlError;

const QString kMateListSql = QStringLiteral(" select *  from base_mate  where sicode = :sicode ");
const QString kMateInCareFilter = QStringLiteral(" and 거주현황 = '사용중' ");
const QString kMateDischargedFilter = QStringLiteral(" and 거주현황 = '퇴소자' ");
const QString kMateOrder = QStringLiteral(" order by m_name ");

const QString kRegisteredPayersSql = QStringLiteral(
    " select b.*  from cms_company a  join cms_user b on a.serviceid = b.serviceid  where "
    "a.serviceid = :serviceid and ifnull(b.dlbid,'') <> ''     and stat in "
    "('등록대기','등록요청','등록완료')  order by b.username ");

const QString kInsertBeneficiarySql = QStringLiteral(
    " insert into cms_user   set serviceid = :serviceid, userid = (select "
    "lpad(ifnull(max(userid),0)+1,10,0) from cms_user a where serviceid = :serviceid),       "
    "dlbid = :dlbid, groupname = :groupname, username = :username,      bankcode = :bankcode, "
    "account = :account, accountname = :accountname,      birth = :birth, tel = :tel, memo = "
    ":memo,      stat = :stat, startdate = :startdate, enddate = :enddate ");

// The two pieces of the billed-amount statement meet at two tab characters. The payments sum
// counts a missing payment or adjustment as 0: added as they stand, a payment whose adjustment
// is NULL would drop out of the sum and be billed again.
const QString kDemandSql =
    QStringLiteral(
        " SELECT a.de_code,  a.청구합계, a.이전미납금, ifnull(c.입금금액,0) as 입금금액  FROM "
        "base_demand a  join (select de_code, max(concat(de_year, de_wol)) as YYYYMM        from "
        "base_demand        where sicode = :sicode    ") +
    QStringLiteral("\t\t") +
    QStringLiteral(
        "group by de_code) b on a.de_code = b.de_code and a.de_year = substring(b.yyyymm,1,4) and "
        "a.de_wol = substring(b.yyyymm,5,2)  left join (SELECT in_code, in_year, in_wol, "
        "sum(ifnull(입금금액,0)+ifnull(조정금액,0)) as 입금금액             FROM base_income     "
        "        where sicode = :sicode             group by in_code, in_year, in_wol) c on "
        "a.de_code = c.in_code and a.de_year = c.in_year and a.de_wol = c.in_wol  where a.sicode "
        "=  :sicode ");
const QString kDemandContractedFilter = QStringLiteral(
    " and a.de_code in (select m_code from base_mate where sicode = :sicode and 거주현황 = "
    "'사용중')  ");
const QString kDemandOrder = QStringLiteral(" order by a.de_code");

const QString kNoBeneficiaries = QStringLiteral("수급자 정보가 없습니다.");
const QString kSelectOne = QStringLiteral("1명 이상의 수급자를 선택하세요.");
const QString kEnterTel = QStringLiteral(" 연락처를 입력하세요.");
const QString kCheckTel = QStringLiteral(" 연락처를 확인하세요.");
const QString kEnterBank = QStringLiteral(" 출금 은행을 입력하세요.");
const QString kEnterAccount = QStringLiteral(" 출금 계좌번호를 입력하세요.");
const QString kEnterHolder = QStringLiteral(" 예금주명을 입력하세요.");
const QString kSaved = QStringLiteral("수급자 정보를 저장 하였습니다.");

namespace {

// The server's codes for a concurrent insert that took the same number (see payers).
constexpr unsigned int kErDupEntry = 1062;
constexpr unsigned int kErLockDeadlock = 1213;

void pauseBeforeRetry(int attempt) {
    const int ms = 5 * attempt + static_cast<int>(QRandomGenerator::global()->bounded(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

qint64 amountField(const Query& q, const QString& column) {
    const QString text = q.field(column).trimmed();
    if (text.isEmpty()) return 0;
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!ok)
        throw SqlError(QStringLiteral("수급자 %1의 금액(%2)을 읽을 수 없습니다: %3")
                           .arg(q.field(QStringLiteral("de_code")).trimmed(), column, text));
    return v;
}

}  // namespace

std::vector<Beneficiary> fetchBeneficiaries(Connection& care, const QString& sicode,
                                            ContractFilter filter) {
    Query q(care);
    q.setSql(kMateListSql);
    if (filter == ContractFilter::InCare) q.addSql(kMateInCareFilter);
    if (filter == ContractFilter::Discharged) q.addSql(kMateDischargedFilter);
    q.addSql(kMateOrder);
    q.setParam(QStringLiteral("sicode"), sicode);
    q.open();
    std::vector<Beneficiary> out;
    out.reserve(static_cast<size_t>(q.recordCount()));
    for (; !q.eof(); q.next()) {
        Beneficiary b;
        b.m_code = q.field(QStringLiteral("m_code"));
        b.m_name = q.field(QStringLiteral("m_name"));
        b.m_regist = q.field(QStringLiteral("m_regist"));
        b.gender = q.field(QStringLiteral("성별"));
        b.m_jumin1 = q.field(QStringLiteral("m_jumin1"));
        b.grade = q.field(QStringLiteral("등급"));
        b.m_phone1 = q.field(QStringLiteral("m_phone1"));
        b.m_phone2 = q.field(QStringLiteral("m_phone2"));
        b.residence = q.field(QStringLiteral("거주현황"));
        out.push_back(std::move(b));
    }
    return out;
}

std::vector<RegisteredPayer> fetchRegisteredPayers(Connection& base, const QString& serviceid) {
    Query q(base);
    q.setSql(kRegisteredPayersSql);
    q.setParam(QStringLiteral("serviceid"), serviceid);
    q.open();
    std::vector<RegisteredPayer> out;
    out.reserve(static_cast<size_t>(q.recordCount()));
    for (; !q.eof(); q.next()) {
        RegisteredPayer p;
        p.userid = q.field(QStringLiteral("userid"));
        p.dlbid = q.field(QStringLiteral("dlbid"));
        p.username = q.field(QStringLiteral("username"));
        p.bankcode = q.field(QStringLiteral("bankcode"));
        p.account = q.field(QStringLiteral("account"));
        p.accountname = q.field(QStringLiteral("accountname"));
        p.tel = q.field(QStringLiteral("tel"));
        p.stat = q.field(QStringLiteral("stat"));
        out.push_back(std::move(p));
    }
    return out;
}

QString birthOfJumin(const QString& m_jumin1) {
    const QString ymd = m_jumin1.trimmed().left(6);
    if (ymd.size() != 6) return QString();
    for (QChar ch : ymd)
        if (ch < u'0' || ch > u'9') return QString();
    return QStringLiteral("19") + ymd.mid(0, 2) + u'.' + ymd.mid(2, 2) + u'.' + ymd.mid(4, 2);
}

QString contactOf(const QString& m_phone1, const QString& m_phone2) {
    const QString first = m_phone1.trimmed();
    if (!first.isEmpty()) return first;
    return m_phone2.trimmed();
}

QString contractOf(const QString& residence) {
    const QString r = residence.trimmed();
    if (r == store::kResidentInCare) return QStringLiteral("이용중");
    if (r == store::kResidentDischarged) return QStringLiteral("퇴소자");
    return QString();
}

MateCells mateCellsOf(const Beneficiary& b) {
    MateCells c;
    c.name = b.m_name.trimmed();
    c.regist = b.m_regist.trimmed();
    c.gender = b.gender.trimmed();
    c.grade = b.grade.trimmed();
    c.code = b.m_code.trimmed();
    c.birth = birthOfJumin(b.m_jumin1);
    c.tel = contactOf(b.m_phone1, b.m_phone2);
    c.contract = contractOf(b.residence);
    return c;
}

RegisteredCells registeredCellsOf(const RegisteredPayer& p) {
    RegisteredCells c;
    c.tel = p.tel.trimmed();
    c.bank = bankNameOfCode(p.bankcode);
    c.account = p.account.trimmed();
    c.accountname = p.accountname.trimmed();
    return c;
}

QString fn_Get_OnlyNumber(const QString& text) {
    QString digits;
    for (QChar ch : text)
        if (ch >= u'0' && ch <= u'9') digits += ch;
    return digits;
}

bool isDialableNumber(const QString& tel) {
    const QString digits = fn_Get_OnlyNumber(tel);
    if (digits.isEmpty()) return false;
    bool ok = false;
    digits.toLongLong(&ok);
    return ok;
}

QString bankNameOfCode(const QString& bankcode) {
    const QString code = bankcode.trimmed();
    if (code.isEmpty()) return QString();
    for (const QString& line : app::mem_BaseBank()) {
        if (app::Fn_Get_Code(line, QStringLiteral("("), QStringLiteral(")")) == code)
            return line.mid(line.indexOf(u')') + 1);
    }
    return QString();
}

QString bankCodeOfName(const QString& bankName) {
    const QString name = bankName.trimmed();
    if (name.isEmpty()) return QString();
    for (const QString& line : app::mem_BaseBank()) {
        if (line.mid(line.indexOf(u')') + 1) == name)
            return app::Fn_Get_Code(line, QStringLiteral("("), QStringLiteral(")"));
    }
    return QString();
}

QString checkImportRow(const ImportRow& row) {
    const QString name = row.name.trimmed();
    const QString tel = row.tel.trimmed();
    if (tel.isEmpty()) return name + kEnterTel;
    if (!isDialableNumber(tel)) return name + kCheckTel;
    if (bankCodeOfName(row.bank).isEmpty()) return name + kEnterBank;
    if (row.account.trimmed().isEmpty()) return name + kEnterAccount;
    if (row.accountname.trimmed().isEmpty()) return name + kEnterHolder;
    return QString();
}

QString checkImportRows(const std::vector<ImportRow>& rows) {
    for (const ImportRow& row : rows) {
        const QString warning = checkImportRow(row);
        if (!warning.isEmpty()) return warning;
    }
    return QString();
}

NewBeneficiaryPayer payerOfRow(const ImportRow& row) {
    NewBeneficiaryPayer p;
    p.dlbid = row.code.trimmed();
    p.username = row.name.trimmed();
    p.bankcode = bankCodeOfName(row.bank);
    p.account = row.account.trimmed();
    p.accountname = row.accountname.trimmed();
    p.birth = row.birth.trimmed().replace(u'.', u'-');
    // The area code's brackets go together: dropping ")" alone would store "(021234567".
    p.tel = row.tel.trimmed().remove(u'-').remove(u')').remove(u'(');
    return p;
}

void insertBeneficiaries(Connection& base, const QString& serviceid,
                         const std::vector<NewBeneficiaryPayer>& payers) {
    Query q(base);
    q.setSql(kInsertBeneficiarySql);
    q.setParam(QStringLiteral("serviceid"), serviceid);
    q.setParam(QStringLiteral("groupname"), QString());
    q.setParam(QStringLiteral("memo"), QString());
    q.setParam(QStringLiteral("stat"), store::kPayerWaiting);
    q.setParam(QStringLiteral("startdate"), store::kOpenDate);
    q.setParam(QStringLiteral("enddate"), store::kOpenDate);
    for (int attempt = 1;; ++attempt) {
        try {
            platform::sql::Transaction t(base);
            for (const NewBeneficiaryPayer& p : payers) {
                q.setParam(QStringLiteral("dlbid"), p.dlbid);
                q.setParam(QStringLiteral("username"), p.username);
                q.setParam(QStringLiteral("bankcode"), p.bankcode);
                q.setParam(QStringLiteral("account"), p.account);
                q.setParam(QStringLiteral("accountname"), p.accountname);
                q.setParam(QStringLiteral("birth"), p.birth);
                q.setParam(QStringLiteral("tel"), p.tel);
                q.execute();
            }
            t.commit();
            return;
        } catch (const SqlError& e) {
            // The guard has discarded the whole batch; only a lost race is worth another try.
            const bool collided = e.code() == kErDupEntry || e.code() == kErLockDeadlock;
            if (!collided) throw;
            if (attempt >= payers::kInsertAttempts)
                throw SqlError(payers::kInsertCollisionMessage, e.code());
            pauseBeforeRetry(attempt);
        }
    }
}

QString demandSql(bool contractedOnly) {
    QString sql = kDemandSql;
    if (contractedOnly) sql += kDemandContractedFilter;
    return sql + kDemandOrder;
}

std::vector<Demand> fetchDemands(Connection& care, const QString& sicode, bool contractedOnly) {
    Query q(care);
    q.setSql(kDemandSql);
    if (contractedOnly) q.addSql(kDemandContractedFilter);
    q.addSql(kDemandOrder);
    q.setParam(QStringLiteral("sicode"), sicode);
    q.open();
    std::vector<Demand> out;
    out.reserve(static_cast<size_t>(q.recordCount()));
    for (; !q.eof(); q.next()) {
        Demand d;
        d.de_code = q.field(QStringLiteral("de_code")).trimmed();
        d.billed = amountField(q, QStringLiteral("청구합계"));
        d.unpaid = amountField(q, QStringLiteral("이전미납금"));
        d.paid = amountField(q, QStringLiteral("입금금액"));
        out.push_back(std::move(d));
    }
    return out;
}

qint64 amountOf(const Demand& d, bool includeUnpaid) {
    // Worked out in 128 bits: amounts near the 64-bit limits must not wrap into the opposite
    // sign; a result beyond them is held at the largest amount.
    __int128 amount = static_cast<__int128>(d.billed) - d.paid;
    if (includeUnpaid) amount += d.unpaid;
    if (amount <= 0) return 0;
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    return amount > kMax ? kMax : static_cast<qint64>(amount);
}

}  // namespace facility
