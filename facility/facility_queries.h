#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace platform::sql {
class Connection;
}

// The statements of the care-facility imports and the conversions between their rows and the
// forms' grids. The fetch and insert functions run on an open connection: the care-facility
// database for beneficiaries and billed amounts (a copy of DM->UniCon), the service database
// for payers (a copy of DM->UniBase). Server errors arrive as platform::sql::SqlError.
namespace facility {

// --- Statements ---------------------------------------------------------------------------
// Beneficiaries of the facility; a contract filter and the sort order are appended.
extern const QString kMateListSql;
extern const QString kMateInCareFilter;      // "이용중"
extern const QString kMateDischargedFilter;  // "퇴소자"
extern const QString kMateOrder;
// Payers of the company that carry a beneficiary code and one of the three active statuses.
extern const QString kRegisteredPayersSql;
// One imported payer, numbered by the server inside the insert.
extern const QString kInsertBeneficiarySql;
// The latest month billed per beneficiary with that month's payments; the contract filter is
// optional, the order always follows.
extern const QString kDemandSql;
extern const QString kDemandContractedFilter;  // "계약중인 수급자"
extern const QString kDemandOrder;

// --- Beneficiary import ---------------------------------------------------------------------

// The items of the contract-status combo, by index.
enum class ContractFilter { All = 0, InCare = 1, Discharged = 2 };

// A base_mate row as stored (untrimmed, NULL as "").
struct Beneficiary {
    QString m_code;
    QString m_name;
    QString m_regist;
    QString gender;  // 성별
    QString m_jumin1;
    QString grade;  // 등급
    QString m_phone1;
    QString m_phone2;
    QString residence;  // 거주현황
};

// A cms_user row of a payer imported earlier, as stored.
struct RegisteredPayer {
    QString userid;
    QString dlbid;
    QString username;
    QString bankcode;
    QString account;
    QString accountname;
    QString tel;
    QString stat;
};

// What a beneficiary shows in the import grid, trimmed.
struct MateCells {
    QString name;      // 수급자명
    QString regist;    // 인정번호
    QString gender;    // 성별
    QString grade;     // 등급
    QString code;      // 수급자id
    QString birth;     // 생년월일, 19YY.MM.DD
    QString tel;       // 연락처
    QString contract;  // 계약상태
};

// What a registered payer puts into its beneficiary's row.
struct RegisteredCells {
    QString tel;
    QString bank;  // the bank name of the stored code; "" for a code not in the bank table
    QString account;
    QString accountname;
};

// A ticked grid row as the batch registration reads it (cell texts as they stand).
struct ImportRow {
    QString name;  // 수급자명
    QString code;  // 수급자id
    QString tel;
    QString bank;  // bank name
    QString account;
    QString accountname;
    QString birth;  // 19YY.MM.DD
};

// The cms_user values written for one imported beneficiary.
struct NewBeneficiaryPayer {
    QString dlbid;
    QString username;
    QString bankcode;
    QString account;
    QString accountname;
    QString birth;  // YYYY-MM-DD
    QString tel;
};

std::vector<Beneficiary> fetchBeneficiaries(platform::sql::Connection& care, const QString& sicode,
                                            ContractFilter filter);
std::vector<RegisteredPayer> fetchRegisteredPayers(platform::sql::Connection& base,
                                                   const QString& serviceid);

// "19" + YYMMDD as 19YY.MM.DD from the first six characters of `m_jumin1`; "" when those are
// not six digits (a short or damaged value gives no half-made date).
QString birthOfJumin(const QString& m_jumin1);
// The first telephone number that is not blank, trimmed; "" when both are.
QString contactOf(const QString& m_phone1, const QString& m_phone2);
// "이용중" for "사용중", "퇴소자" for "퇴소자", "" otherwise.
QString contractOf(const QString& residence);
MateCells mateCellsOf(const Beneficiary& b);
RegisteredCells registeredCellsOf(const RegisteredPayer& p);

// The decimal digits of `text`, in order.
QString fn_Get_OnlyNumber(const QString& text);
// True when the digits of `tel` form a number that 64 bits hold (at least one digit).
bool isDialableNumber(const QString& tel);
// The bank name of a stored three-digit code (the text after ")" of its bank table line).
QString bankNameOfCode(const QString& bankcode);
// The code of the bank table line whose name is `bankName` (trimmed); "" when none is.
QString bankCodeOfName(const QString& bankName);

// Warnings of the batch registration, caption "확인".
extern const QString kNoBeneficiaries;  // "수급자 정보가 없습니다."
extern const QString kSelectOne;        // "1명 이상의 수급자를 선택하세요."
extern const QString kEnterTel;         // " 연락처를 입력하세요."
extern const QString kCheckTel;         // " 연락처를 확인하세요."
extern const QString kEnterBank;        // " 출금 은행을 입력하세요."
extern const QString kEnterAccount;     // " 출금 계좌번호를 입력하세요."
extern const QString kEnterHolder;      // " 예금주명을 입력하세요."
// Information after a stored batch, caption "성공".
extern const QString kSaved;

// The checks of one row in their order: "" when it passes, else the row's trimmed name
// followed by the message of the first failing check. A bank name that is not one of the
// bank table's names fails like an empty one, so no row is stored without a bank code.
QString checkImportRow(const ImportRow& row);
// The first failing row's warning, "" when every row passes.
QString checkImportRows(const std::vector<ImportRow>& rows);
// The values stored for a row that passed the checks: trimmed, birth with "-" for ".", the
// telephone without "-", ")" and "(".
NewBeneficiaryPayer payerOfRow(const ImportRow& row);

// Inserts the payers in the given order inside one transaction, each numbered by the server
// as the company's highest number plus 1, so that every row sees the numbers of the rows
// before it (one statement per row, never a bulk). Committed at the end; an error stores none
// of them. When another client's insert took a number at the same moment the whole batch is
// tried again in a fresh transaction (payers::kInsertAttempts attempts, then
// payers::kInsertCollisionMessage). Throws SqlError.
void insertBeneficiaries(platform::sql::Connection& base, const QString& serviceid,
                         const std::vector<NewBeneficiaryPayer>& payers);

// --- Billed-amount import -------------------------------------------------------------------

// One beneficiary's latest billed month. Amounts are whole won; an empty value counts as 0.
struct Demand {
    QString de_code;
    qint64 billed = 0;  // 청구합계
    qint64 unpaid = 0;  // 이전미납금
    qint64 paid = 0;    // 입금금액 (with 조정금액)
};

// The statement as run: base, the contract filter when asked, the order.
QString demandSql(bool contractedOnly);
// Rows in de_code order. Throws SqlError, also for an amount that is not a whole number.
std::vector<Demand> fetchDemands(platform::sql::Connection& care, const QString& sicode,
                                 bool contractedOnly);
// billed + unpaid − paid ("전월 미납금 포함") or billed − paid ("당월 요금만"); never below 0,
// and held at the largest amount rather than wrapping round.
qint64 amountOf(const Demand& d, bool includeUnpaid);

}  // namespace facility
