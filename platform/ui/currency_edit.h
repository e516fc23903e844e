#pragma once

#include <QLineEdit>
#include <optional>

namespace platform::ui {

// A line edit for whole amounts of money: only digits can be typed (or pasted; separators in
// pasted text are dropped), thousands separators are shown while typing, and it may be empty.
// At most 15 digits, so every value is exact. Used by grid amount columns; forms may use it
// on their own as well.
class CurrencyEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CurrencyEdit(QWidget* parent = nullptr);

    // Nothing when empty.
    std::optional<qint64> value() const;
    void setValue(std::optional<qint64> v);

private:
    void regroup();
};

}  // namespace platform::ui
