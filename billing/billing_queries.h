#pragma once

#include <QString>
#include <optional>
#include <stdexcept>
#include <vector>

#include "billing/request_file_writer.h"

namespace platform::sql {
class Connection;
}

// The statements of withdrawal billing and the functions that run them on an open connection
// (the forms open it with DM->Fn_Dynamic_DB_Connect). Values come back trimmed; amounts as
// integers. Errors of the server arrive as platform::sql::SqlError.
namespace billing {

// One billable payer of a date with that date's request and result.
struct BillListRow {
    QString userid;
    QString dlbid;
    QString username;
    QString bankcode;
    QString account;
    QString accountname;
    qint64 billamount = 0;
    qint64 resultamount = 0;
    QString resultname;
};

struct BillList {
    std::vector<BillListRow> rows;
    QString dt;  // the server's now() of the query, as it came; empty without rows
};

// One row of the grid to be stored. `amount` is empty when the user emptied the cell.
struct StoreRow {
    QString userid;
    QString username;  // for the messages only
    QString bankcode;
    QString account;
    QString accountname;
    std::optional<qint64> amount;
};

// One request (or, without requests in the range, one payer) of the history.
struct HistoryRow {
    QString billdate;
    QString userid;
    QString username;
    QString bankcode;
    QString account;
    QString accountname;
    qint64 billamount = 0;
    qint64 resultamount = 0;
    QString resultname;
};

// The store refused the grid before anything was deleted. `row` is the offending grid row.
class StoreRefused : public std::runtime_error {
public:
    StoreRefused(int row, const QString& message)
        : std::runtime_error(message.toStdString()), row_(row), message_(message) {}
    int row() const { return row_; }
    const QString& message() const { return message_; }

private:
    int row_;
    QString message_;
};

// The largest amount a request may hold: the request file has 10 digits for it.
inline constexpr qint64 kMaxBillAmount = RequestFileWriter::kMaxAmount;

// " select now(3) as DT  ": the server's current time with milliseconds, as it came.
QString selectServerNow(platform::sql::Connection& c);

// Payers in status "등록완료" whose period covers `billDate`, by name, with the date's
// requested amount, withdrawn amount and result.
BillList selectBillList(platform::sql::Connection& c, const QString& serviceId,
                        const QString& billDate);

// Throws StoreRefused for the first row whose amount is empty or above kMaxBillAmount.
void checkStoreRows(const std::vector<StoreRow>& rows);

// Replaces the company's request of `billDate` by one row per amount above 0, in status
// "발송대기", in one transaction: a failure on any row leaves the earlier request exactly as
// it was. Rows are checked first (StoreRefused, nothing changed). A store of the same company
// by another program at the same moment waits until that one has finished (a named lock on
// the server). Returns the rows stored.
int storeBill(platform::sql::Connection& c, const QString& serviceId, const QString& billDate,
              const std::vector<StoreRow>& rows);

// The stored requests of `billDate` in status "발송대기" with an amount above 0, with the
// payer's name, by payer id: the content of the request file.
std::vector<RequestRecord> selectRequestRecords(platform::sql::Connection& c,
                                                const QString& serviceId, const QString& billDate);

// Every payer of the company with its requests between `startDate` and `endDate` (both
// "YYYY-MM-DD", both included) and their results, by payer id and date; a payer without a
// request in the range comes once with an empty date and zero amounts.
std::vector<HistoryRow> selectHistory(platform::sql::Connection& c, const QString& serviceId,
                                      const QString& startDate, const QString& endDate);

}  // namespace billing
