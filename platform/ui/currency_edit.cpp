#include "platform/ui/currency_edit.h"

#include <QValidator>

#include "platform/ui/number_format.h"

namespace platform::ui {

namespace {

constexpr int kMaxDigits = 15;

// Accepts digits and the separators the edit itself puts in.
class DigitsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        int digits = 0;
        for (QChar c : input) {
            if (c == u',') continue;
            if (c < u'0' || c > u'9') return Invalid;
            ++digits;
        }
        return digits <= kMaxDigits ? Acceptable : Invalid;
    }
};

}  // namespace

CurrencyEdit::CurrencyEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new DigitsValidator(this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::textEdited, this, [this] { regroup(); });
}

std::optional<qint64> CurrencyEdit::value() const {
    return parseWholeNumber(text());
}

void CurrencyEdit::setValue(std::optional<qint64> v) {
    setText(v ? groupThousands(QString::number(*v)) : QString());
}

void CurrencyEdit::regroup() {
    // Keep the cursor behind the same number of digits while the separators move.
    const QString t = text();
    int digitsBefore = 0;
    for (int i = 0; i < cursorPosition() && i < t.size(); ++i)
        if (t[i] != u',') ++digitsBefore;
    QString digits = t;
    digits.remove(u',');
    // Leading zeros carry no value ("007" is 7); a lone zero stays.
    while (digits.size() > 1 && digits.startsWith(u'0')) {
        digits.remove(0, 1);
        if (digitsBefore > 0) --digitsBefore;
    }
    const QString grouped = groupThousands(digits);
    if (grouped == t) return;
    setText(grouped);
    int pos = 0, seen = 0;
    while (pos < grouped.size() && seen < digitsBefore) {
        if (grouped[pos] != u',') ++seen;
        ++pos;
    }
    setCursorPosition(pos);
}

}  // namespace platform::ui
