#include "billing/billing_rules.h"

namespace billing {

QString timeText(const QDateTime& moment) {
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString serverTimeText(const QString& serverValue) {
    const QString v = serverValue.trimmed();
    // The server writes "YYYY-MM-DD HH:MM:SS" with an optional fraction; the fraction is below
    // the resolution of the rules.
    for (const QString& format :
         {QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"), QStringLiteral("yyyy-MM-dd HH:mm:ss")}) {
        const QDateTime t = QDateTime::fromString(v.left(format.size()), format);
        if (t.isValid()) return timeText(t);
    }
    return v;
}

QString deadlineMoment(const QString& dateText, const QString& deadline) {
    return dateText + u' ' + deadline;
}

bool isBeforeDeadline(const QString& timeText, const QString& dateText, const QString& deadline) {
    return timeText < deadlineMoment(dateText, deadline);
}

QDate defaultBillDate(const QDateTime& localNow, const QString& deadline) {
    const QString today = localNow.date().toString(QStringLiteral("yyyy-MM-dd"));
    const int hours = isBeforeDeadline(timeText(localNow), today, deadline) ? 24 : 48;
    return localNow.addSecs(hours * 3600).date();
}

bool amountsEditable(const QString& serverDt, const QString& billDate, const QString& deadline) {
    return isBeforeDeadline(serverTimeText(serverDt), billDate, deadline);
}

bool registrationClosed(const QString& serverNow, const QDate& localToday,
                        const QString& deadline) {
    return !isBeforeDeadline(serverTimeText(serverNow),
                             localToday.toString(QStringLiteral("yyyy-MM-dd")), deadline);
}

QDate firstDayOfMonth(const QDate& today) {
    return QDate(today.year(), today.month(), 1);
}

QDate lastDayOfMonth(const QDate& today) {
    return QDate(today.year(), today.month(), today.daysInMonth());
}

}  // namespace billing
