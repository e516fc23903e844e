#include "platform/ui/custom_filter_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/ui/toolkit_texts.h"

namespace platform::ui {

CustomFilterDialog::CustomFilterDialog(const QString& column, const QString& caption, bool numeric,
                                       const QStringList& suggestions, const ColumnFilter& current,
                                       QWidget* parent)
    : QDialog(parent), column_(column), numeric_(numeric) {
    setObjectName(QStringLiteral("customFilterDialog"));
    setWindowTitle(QStringLiteral("사용자정의 필터"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("다음 조건에 맞는 행을 표시합니다:"), this));
    auto* name = new QLabel(u'[' + caption + u']', this);
    name->setObjectName(QStringLiteral("lb_Column"));
    layout->addWidget(name);

    auto* grid = new QGridLayout;
    and_ = new QRadioButton(QStringLiteral("그리고"), this);
    and_->setObjectName(QStringLiteral("rdo_And"));
    or_ = new QRadioButton(QStringLiteral("또는"), this);
    or_->setObjectName(QStringLiteral("rdo_Or"));
    and_->setChecked(!current.orJoined());
    or_->setChecked(current.orJoined());
    for (int i = 0; i < 2; ++i) {
        op_[i] = new QComboBox(this);
        op_[i]->setObjectName(QStringLiteral("op%1").arg(i + 1));
        // The second condition is optional: its first entry means "none".
        if (i == 1) op_[i]->addItem(QString(), -1);
        for (FilterOp op : filterOps()) op_[i]->addItem(filterOpText(op), int(op));
        value_[i] = new QComboBox(this);
        value_[i]->setObjectName(QStringLiteral("value%1").arg(i + 1));
        value_[i]->setEditable(true);
        value_[i]->addItems(suggestions);
        value_[i]->setCurrentIndex(-1);
        value_[i]->setMinimumWidth(180);
        if (i < int(current.conditions().size())) {
            const FilterCondition& c = current.conditions()[size_t(i)];
            op_[i]->setCurrentIndex(op_[i]->findData(int(c.op)));
            value_[i]->setEditText(c.value.toString());
        }
        auto enableValue = [this, i] {
            const int op = op_[i]->currentData().toInt();
            value_[i]->setEnabled(op >= 0 && filterOpTakesValue(FilterOp(op)));
        };
        connect(op_[i], &QComboBox::currentIndexChanged, this, enableValue);
        enableValue();
    }
    grid->addWidget(op_[0], 0, 0);
    grid->addWidget(value_[0], 0, 1);
    auto* join = new QHBoxLayout;
    join->addWidget(and_);
    join->addWidget(or_);
    join->addStretch();
    grid->addLayout(join, 1, 0, 1, 2);
    grid->addWidget(op_[1], 2, 0);
    grid->addWidget(value_[1], 2, 1);
    layout->addLayout(grid);

    layout->addWidget(
        new QLabel(QStringLiteral("_ 는 한 글자를, % 는 여러 글자를 나타냅니다."), this));
    error_ = new QLabel(this);
    error_->setObjectName(QStringLiteral("lb_Error"));
    error_->setStyleSheet(QStringLiteral("color: #d04040;"));
    error_->hide();
    layout->addWidget(error_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(texts::ok(), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(texts::cancel(), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CustomFilterDialog::tryAccept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CustomFilterDialog::tryAccept() {
    ColumnFilter f;
    f.setColumn(column_);
    f.setOrJoined(or_->isChecked());
    for (int i = 0; i < 2; ++i) {
        const int opValue = op_[i]->currentData().toInt();
        if (opValue < 0 || op_[i]->currentIndex() < 0) continue;
        const auto op = FilterOp(opValue);
        FilterCondition c{op, {}};
        if (filterOpTakesValue(op)) {
            const QString text = value_[i]->currentText().trimmed();
            if (numeric_ && op != FilterOp::Like && op != FilterOp::NotLike) {
                QString digits = text;
                digits.remove(u',');
                bool ok = false;
                const double d = digits.toDouble(&ok);
                if (!ok) {
                    error_->setText(QStringLiteral("숫자를 입력하세요."));
                    error_->show();
                    value_[i]->setFocus();
                    return;
                }
                c.value = d;
            } else {
                c.value = text;
            }
        }
        f.addCondition(c);
    }
    result_ = f;
    accept();
}

}  // namespace platform::ui
