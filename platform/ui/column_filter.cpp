#include "platform/ui/column_filter.h"

#include <QRegularExpression>

namespace platform::ui {

const std::array<FilterOp, 10>& filterOps() {
    static const std::array<FilterOp, 10> ops = {
        FilterOp::Equal,   FilterOp::NotEqual,     FilterOp::Less, FilterOp::LessEqual,
        FilterOp::Greater, FilterOp::GreaterEqual, FilterOp::Like, FilterOp::NotLike,
        FilterOp::Blank,   FilterOp::NotBlank};
    return ops;
}

QString filterOpText(FilterOp op) {
    switch (op) {
        case FilterOp::Equal:
            return QStringLiteral("=");
        case FilterOp::NotEqual:
            return QStringLiteral("<>");
        case FilterOp::Less:
            return QStringLiteral("<");
        case FilterOp::LessEqual:
            return QStringLiteral("<=");
        case FilterOp::Greater:
            return QStringLiteral(">");
        case FilterOp::GreaterEqual:
            return QStringLiteral(">=");
        case FilterOp::Like:
            return QStringLiteral("유사값(like)");
        case FilterOp::NotLike:
            return QStringLiteral("유사하지않은(not like)");
        case FilterOp::Blank:
            return QStringLiteral("공백(is blank)");
        case FilterOp::NotBlank:
            return QStringLiteral("공백아닌것(is not blank)");
    }
    return {};
}

bool filterOpTakesValue(FilterOp op) {
    return op != FilterOp::Blank && op != FilterOp::NotBlank;
}

namespace {

QRegularExpression likeRegex(const QString& pattern) {
    QString rx;
    rx.reserve(pattern.size() * 2 + 4);
    for (QChar c : pattern) {
        if (c == u'%' || c == u'*')
            rx += QStringLiteral(".*");
        else if (c == u'_' || c == u'?')
            rx += u'.';
        else
            rx += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(
        QRegularExpression::anchoredPattern(rx),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

}  // namespace

bool likeMatch(const QString& text, const QString& pattern) {
    // A filter tests one pattern against every row: keep the last one compiled.
    static QString lastPattern;
    static QRegularExpression lastRegex = likeRegex(QString());
    if (pattern != lastPattern) {
        lastRegex = likeRegex(pattern);
        lastPattern = pattern;
    }
    return lastRegex.match(text).hasMatch();
}

namespace {

bool isBlank(const QVariant& raw) {
    return !raw.isValid() || raw.isNull() || raw.toString().trimmed().isEmpty();
}

}  // namespace

bool conditionMatches(const FilterCondition& c, const QVariant& raw, const QString& shown,
                      bool numeric) {
    switch (c.op) {
        case FilterOp::Blank:
            return isBlank(raw);
        case FilterOp::NotBlank:
            return !isBlank(raw);
        case FilterOp::Like:
            return likeMatch(shown, c.value.toString());
        case FilterOp::NotLike:
            return !likeMatch(shown, c.value.toString());
        default:
            break;
    }
    // A blank cell is unequal to every value and neither less nor greater than one.
    if (isBlank(raw)) return c.op == FilterOp::NotEqual;
    int cmp;
    if (numeric) {
        const double a = raw.toDouble(), b = c.value.toDouble();
        cmp = a < b ? -1 : (a > b ? 1 : 0);
    } else {
        cmp = QString::compare(raw.toString(), c.value.toString());
    }
    switch (c.op) {
        case FilterOp::Equal:
            return cmp == 0;
        case FilterOp::NotEqual:
            return cmp != 0;
        case FilterOp::Less:
            return cmp < 0;
        case FilterOp::LessEqual:
            return cmp <= 0;
        case FilterOp::Greater:
            return cmp > 0;
        case FilterOp::GreaterEqual:
            return cmp >= 0;
        default:
            return false;
    }
}

bool ColumnFilter::needsShownText() const {
    for (const FilterCondition& c : conditions_)
        if (c.op == FilterOp::Like || c.op == FilterOp::NotLike) return true;
    return false;
}

bool ColumnFilter::matches(const QVariant& raw, const QString& shown, bool numeric) const {
    if (conditions_.empty()) return true;
    for (const FilterCondition& c : conditions_) {
        const bool m = conditionMatches(c, raw, shown, numeric);
        if (orJoined_ && m) return true;
        if (!orJoined_ && !m) return false;
    }
    return !orJoined_;
}

QString ColumnFilter::describe(const QString& caption) const {
    QStringList parts;
    for (const FilterCondition& c : conditions_) {
        QString p = u'[' + caption + QStringLiteral("] ") + filterOpText(c.op);
        if (filterOpTakesValue(c.op)) p += u' ' + c.value.toString();
        parts << p;
    }
    return parts.join(orJoined_ ? QStringLiteral(" 또는 ") : QStringLiteral(" 그리고 "));
}

}  // namespace platform::ui
