#pragma once

#include <QString>
#include <QVariant>
#include <array>
#include <vector>

namespace platform::ui {

enum class FilterOp {
    Equal,
    NotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    Like,  // "%" (or "*") any run of characters, "_" (or "?") one character; case-insensitive
    NotLike,
    Blank,  // empty cell, or only blanks
    NotBlank,
};

// The operators in the order the custom-filter dialog offers them.
const std::array<FilterOp, 10>& filterOps();
// "=", "<>", ..., "유사값(like)", "공백(is blank)", ...
QString filterOpText(FilterOp op);
bool filterOpTakesValue(FilterOp op);

// Wildcard match of a whole text (SQL like).
bool likeMatch(const QString& text, const QString& pattern);

struct FilterCondition {
    FilterOp op = FilterOp::Equal;
    QVariant value;  // a number for numeric columns, otherwise text
};

// The filter of one column: one or two conditions joined by "and" or "or".
// A numeric column compares numbers; "like" always looks at the text the cell shows.
class ColumnFilter {
public:
    ColumnFilter() = default;
    ColumnFilter(QString column, FilterCondition c) : column_(std::move(column)) {
        conditions_.push_back(std::move(c));
    }

    const QString& column() const { return column_; }
    void setColumn(const QString& c) { column_ = c; }
    const std::vector<FilterCondition>& conditions() const { return conditions_; }
    void addCondition(FilterCondition c) { conditions_.push_back(std::move(c)); }
    bool orJoined() const { return orJoined_; }
    void setOrJoined(bool v) { orJoined_ = v; }
    bool isEmpty() const { return conditions_.empty(); }

    // Whether matches() looks at the shown text (so callers can skip formatting it).
    bool needsShownText() const;
    // `raw` is the stored value, `shown` the text the cell displays.
    bool matches(const QVariant& raw, const QString& shown, bool numeric) const;
    // E.g. "[출금은행] = 신한은행 또는 [출금은행] = 국민은행".
    QString describe(const QString& caption) const;

private:
    QString column_;
    std::vector<FilterCondition> conditions_;
    bool orJoined_ = false;
};

bool conditionMatches(const FilterCondition& c, const QVariant& raw, const QString& shown,
                      bool numeric);

}  // namespace platform::ui
