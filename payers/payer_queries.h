#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace platform::sql {
class Connection;
}

// The statements of the payer list and the payer dialog, run on an open connection of the
// service database. Values come back as stored (untrimmed text, NULL as "").
namespace payers {

// The statements as the service operator's tools expect them; filters and sort orders are
// fixed fragments appended to the list statement.
extern const QString kPayerListSql;
extern const QString kActiveStatusFilter;  // without "해지사용자 포함"
extern const QString kOrderByName;         // "이름순"
extern const QString kOrderByGroup;        // "그룹순"
extern const QString kPayerSql;            // one payer, for the list's detail block
extern const QString kDialogPayerSql;      // one payer, for the payer dialog
extern const QString kBillHistorySql;
extern const QString kInsertPayerSql;
extern const QString kCancelPayerSql;

// The index of the sort combo: 0 "이름순", 1 "그룹순".
enum class PayerSort { ByName = 0, ByGroup = 1 };

struct Payer {
    QString userid;
    QString username;
    QString groupname;
    QString bankcode;
    QString account;
    QString accountname;
    QString birth;
    QString tel;
    QString stat;
    QString memo;
};

// One stored request of a payer with its result, joined to the payer's current bank data.
struct BillHistoryRow {
    QString userid;
    QString username;
    QString bankcode;
    QString billdate;
    QString account;
    QString accountname;
    QString billamount;    // "0" for a NULL amount
    QString resultamount;  // "0" where no result row exists
    QString resultname;    // "" where no result row exists
};

// What the payer dialog inserts; the number comes from the server.
struct NewPayer {
    QString groupname;
    QString username;
    QString bankcode;
    QString account;
    QString accountname;
    QString birth;
    QString tel;
    QString memo;
};

// The company's payers; without `includeCancelled` only "등록완료", "등록대기", "등록요청".
// The rows carry the list's columns (userid, username, groupname); the other fields stay
// empty: the detail block reads the whole payer with fetchPayer.
std::vector<Payer> fetchPayerList(platform::sql::Connection& c, const QString& serviceid,
                                  bool includeCancelled, PayerSort sort);
// One payer (list form statement); nothing when the row does not exist.
std::optional<Payer> fetchPayer(platform::sql::Connection& c, const QString& serviceid,
                                const QString& userid);
// The same row through the dialog's statement.
std::optional<Payer> fetchDialogPayer(platform::sql::Connection& c, const QString& serviceid,
                                      const QString& userid);
// The payer's stored requests with their results, newest request date first.
std::vector<BillHistoryRow> fetchBillHistory(platform::sql::Connection& c, const QString& serviceid,
                                             const QString& userid);

// Attempts of the payer insert when another client took the same number at the same moment.
inline constexpr int kInsertAttempts = 8;
// Shown when every attempt collided with other clients' inserts; nothing was stored.
extern const QString kInsertCollisionMessage;

// Inserts a payer numbered by the server (the company's highest number plus 1, 10 digits),
// inside one transaction that is committed at the end. Two clients inserting at once compute
// the same number; the key (serviceid, userid) makes the later one fail, and the insert is
// tried again in a fresh transaction, so neither entry is lost. Throws SqlError (after the
// last collision with kInsertCollisionMessage); nothing is stored then.
void insertPayer(platform::sql::Connection& c, const QString& serviceid, const NewPayer& payer);

// Marks a payer for cancellation: "해지대기", EndDate = `endDate`, recdatetime = server time.
// Returns false when the company has no payer of that number (nothing was changed).
// Throws SqlError.
bool cancelPayer(platform::sql::Connection& c, const QString& serviceid, const QString& userid,
                 const QString& endDate);

}  // namespace payers
