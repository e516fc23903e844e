#include "platform/ui/number_format.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace platform::ui {

namespace {

// Splits at ";" outside quotes.
QStringList sections(const QString& format) {
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            cur += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            cur += c;
        } else if (c == u';') {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}

bool isPlaceholder(QChar c) {
    return c == u'0' || c == u'#' || c == u',' || c == u'.';
}

QString formatSection(double absValue, const QString& section) {
    // Literal text before and after the run of placeholders.
    QString prefix, suffix, digits;
    bool inDigits = false, afterDigits = false;
    QChar quote;
    for (QChar c : section) {
        QString& lit = (inDigits || afterDigits) ? suffix : prefix;
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                lit += c;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            if (inDigits) {
                inDigits = false;
                afterDigits = true;
            }
            quote = c;
            continue;
        }
        if (isPlaceholder(c) && !afterDigits) {
            inDigits = true;
            digits += c;
            continue;
        }
        if (inDigits) {
            inDigits = false;
            afterDigits = true;
        }
        ((inDigits || afterDigits) ? suffix : prefix) += c;
    }
    if (digits.isEmpty()) return prefix + suffix;

    const qsizetype dot = digits.indexOf(u'.');
    const QString intPart = dot < 0 ? digits : digits.left(dot);
    const QString fracPart = dot < 0 ? QString() : digits.mid(dot + 1);
    const bool thousands = intPart.contains(u',');
    const int minInt = int(intPart.count(u'0'));
    const int reqDec = int(fracPart.count(u'0'));
    const int maxDec = reqDec + int(fracPart.count(u'#'));

    QString number = QString::number(absValue, 'f', maxDec);
    QString whole = number, frac;
    if (const qsizetype p = number.indexOf(u'.'); p >= 0) {
        whole = number.left(p);
        frac = number.mid(p + 1);
    }
    while (frac.size() > reqDec && frac.endsWith(u'0')) frac.chop(1);
    if (whole == u"0" && minInt == 0) whole.clear();
    while (whole.size() < minInt) whole.prepend(u'0');
    if (thousands) whole = groupThousands(whole);
    QString out = whole;
    if (!frac.isEmpty()) out += u'.' + frac;
    return prefix + out + suffix;
}

}  // namespace

QString groupThousands(const QString& digits) {
    QString sign, d = digits;
    if (d.startsWith(u'-')) {
        sign = QStringLiteral("-");
        d.remove(0, 1);
    }
    QString out;
    out.reserve(d.size() + d.size() / 3);
    const qsizetype n = d.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += u',';
        out += d[i];
    }
    return sign + out;
}

QString formatNumber(double value, const QString& format) {
    if (format.isEmpty()) return QString::number(value, 'f', value == std::floor(value) ? 0 : 2);
    const QStringList s = sections(format);
    if (value == 0 && s.size() >= 3 && !s[2].isEmpty()) return formatSection(0, s[2]);
    if (value < 0) {
        if (s.size() >= 2 && !s[1].isEmpty()) return formatSection(-value, s[1]);
        const QString shown = formatSection(-value, s[0]);
        // A value that rounds to zero shows no sign.
        return shown.contains(QRegularExpression(QStringLiteral("[1-9]"))) ? u'-' + shown : shown;
    }
    return formatSection(value, s[0]);
}

std::optional<qint64> parseWholeNumber(const QString& text) {
    QString t = text.trimmed();
    t.remove(u',');
    bool negative = false;
    if (t.startsWith(u'-')) {
        negative = true;
        t.remove(0, 1);
    }
    if (t.isEmpty() || t.size() > 15) return std::nullopt;
    for (QChar c : t)
        if (c < u'0' || c > u'9') return std::nullopt;
    const qint64 v = t.toLongLong();
    return negative ? -v : v;
}

}  // namespace platform::ui
