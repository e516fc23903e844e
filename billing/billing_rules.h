#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The time rules of the withdrawal request: which date the form proposes, when amounts can be
// typed and when a request can still be registered. Times are compared as text
// "YYYY-MM-DD HH:NN:SS", which orders like the moments themselves; an equal text counts as the
// deadline reached.
namespace billing {

// The deadline time of every rule, as the form's deadline box shows it.
inline const QString kDeadlineTime = QStringLiteral("16:00:00");

// "YYYY-MM-DD HH:NN:SS" of a local moment (milliseconds dropped).
QString timeText(const QDateTime& moment);
// A server time as the database returns it ("2024-05-02 15:59:59.999", "2024-05-02 15:59:59")
// brought to the text form; the text as it came when it is not a date-time.
QString serverTimeText(const QString& serverValue);
// The deadline moment of day `dateText` ("YYYY-MM-DD"): "2024-05-02 16:00:00".
QString deadlineMoment(const QString& dateText, const QString& deadline = kDeadlineTime);
// True when `timeText` (text form) is before the deadline moment of `dateText`.
bool isBeforeDeadline(const QString& timeText, const QString& dateText,
                      const QString& deadline = kDeadlineTime);

// The date the request form proposes: tomorrow before the deadline of the local day, the day
// after tomorrow from the deadline on.
QDate defaultBillDate(const QDateTime& localNow, const QString& deadline = kDeadlineTime);
// Whether the amounts of `billDate` can be typed at server time `serverDt` (the load's `dt`).
bool amountsEditable(const QString& serverDt, const QString& billDate,
                     const QString& deadline = kDeadlineTime);
// Whether registering is closed at server time `serverNow` (the check's now(3)): the deadline
// of the local current day, whatever date is being registered.
bool registrationClosed(const QString& serverNow, const QDate& localToday,
                        const QString& deadline = kDeadlineTime);

// The history's default range: the first and the last day of the month of `today`.
QDate firstDayOfMonth(const QDate& today);
QDate lastDayOfMonth(const QDate& today);

}  // namespace billing
