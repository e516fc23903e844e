#include "app/formats.h"

#include <QLocale>

namespace app {

void setProcessFormats() {
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
}

QString formatDate(const QDate& date) {
    return date.isValid() ? date.toString(QLatin1String(kDateFormat)) : QString();
}

QString formatTime(const QTime& time) {
    return time.isValid() ? time.toString(QLatin1String(kTimeFormat)) : QString();
}

QString formatDateTime(const QDateTime& dateTime) {
    if (!dateTime.isValid()) return {};
    return formatDate(dateTime.date()) + u' ' + formatTime(dateTime.time());
}

QDate parseDate(const QString& text) {
    return QDate::fromString(text.trimmed(), QLatin1String(kDateFormat));
}

}  // namespace app
