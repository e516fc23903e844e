#pragma once

#include <QDialog>

#include "platform/ui/column_filter.h"

class QComboBox;
class QLabel;
class QRadioButton;

namespace platform::ui {

// "사용자정의 필터": up to two conditions on one column, joined by "그리고" (and) or "또는" (or).
// Operator combos are named "op1"/"op2", value combos "value1"/"value2", the join radios
// "rdo_And"/"rdo_Or", the buttons "btnOk"/"btnCancel". A numeric column refuses a value that
// is no number with a Korean note in the dialog and stays open.
class CustomFilterDialog : public QDialog {
    Q_OBJECT

public:
    CustomFilterDialog(const QString& column, const QString& caption, bool numeric,
                       const QStringList& suggestions, const ColumnFilter& current,
                       QWidget* parent);

    // Valid after accept(); empty when no condition was chosen.
    const ColumnFilter& filter() const { return result_; }

private:
    void tryAccept();

    QString column_;
    bool numeric_;
    QComboBox* op_[2];
    QComboBox* value_[2];
    QRadioButton* and_;
    QRadioButton* or_;
    QLabel* error_;
    ColumnFilter result_;
};

}  // namespace platform::ui
