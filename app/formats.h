#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// The process-wide date and time formats: dates travel to the database as "YYYY-MM-DD" text,
// so every date shown or stored is written through these.
namespace app {

inline constexpr char kDateFormat[] = "yyyy-MM-dd";  // 2019-10-29
inline constexpr char kTimeFormat[] = "HH:mm:ss";    // 24-hour clock

// Korean default locale for the process; called when the main window is created.
void setProcessFormats();

QString formatDate(const QDate& date);  // "" for a null date
QString formatTime(const QTime& time);
QString formatDateTime(const QDateTime& dateTime);  // "YYYY-MM-DD HH:NN:SS"
// A "YYYY-MM-DD" text as a date; an invalid date for anything else.
QDate parseDate(const QString& text);

}  // namespace app
