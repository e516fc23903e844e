#include "platform/ui/grid_delegate.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "platform/ui/currency_edit.h"
#include "platform/ui/grid_model.h"
#include "platform/ui/grid_view.h"
#include "platform/ui/number_format.h"

namespace platform::ui {

namespace {

constexpr int kTextMargin = 4;
constexpr int kDropButtonWidth = 16;

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() * (1 - t) + b.redF() * t),
                            float(a.greenF() * (1 - t) + b.greenF() * t),
                            float(a.blueF() * (1 - t) + b.blueF() * t));
}

// Dark text on light backgrounds and the reverse, so content styles stay readable in any theme.
QColor textOn(const QColor& bg) {
    return bg.lightnessF() > 0.55 ? Qt::black : Qt::white;
}

}  // namespace

GridDelegate::GridDelegate(GridModel* model, GridView* view)
    : QStyledItemDelegate(view), model_(model), view_(view) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const int record = model_->recordAt(index.row());
    const int c = index.column();
    const GridColumn& col = model_->column(c);

    QColor bg = model_->backgroundOf(record, c);
    if (!bg.isValid()) bg = option.palette.base().color();
    const QModelIndex current = view_->currentIndex();
    const bool focusedRow = current.isValid() && current.row() == index.row();
    const bool focusedCell = focusedRow && current.column() == c;
    const QColor highlight = option.palette.highlight().color();
    if (focusedRow)
        bg = (!model_->cellSelect() || focusedCell) ? highlight : mix(bg, highlight, 0.25);

    painter->save();
    painter->fillRect(option.rect, bg);
    painter->setPen(textOn(bg));
    QRect r = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);

    if (col.editor == ColumnEditor::CheckBox) {
        QStyleOptionButton box;
        box.state = QStyle::State_Enabled |
                    (model_->value(record, c).toBool() ? QStyle::State_On : QStyle::State_Off);
        const int size = view_->style()->pixelMetric(QStyle::PM_IndicatorWidth);
        box.rect = QRect(0, 0, size, size);
        box.rect.moveCenter(option.rect.center());
        box.palette = option.palette;
        // On a light cell the box is light too: a dark theme's base colour would make an
        // unticked box a solid black square.
        if (textOn(bg) == QColor(Qt::black)) {
            box.palette.setColor(QPalette::Base, Qt::white);
            box.palette.setColor(QPalette::Text, Qt::black);
            box.palette.setColor(QPalette::WindowText, Qt::black);
        }
        view_->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, view_);
    } else {
        if (col.editor == ColumnEditor::DropDown && col.access == ColumnAccess::Editable) {
            QStyleOption arrow;
            arrow.rect = QRect(option.rect.right() - kDropButtonWidth, option.rect.top(),
                               kDropButtonWidth, option.rect.height())
                             .adjusted(3, 9, -3, -9);
            arrow.palette = option.palette;
            arrow.palette.setColor(QPalette::ButtonText, textOn(bg));
            arrow.state = QStyle::State_Enabled;
            view_->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, view_);
            r.setRight(r.right() - kDropButtonWidth);
        }
        const QString text = model_->displayText(record, c);
        painter->setFont(option.font);
        painter->drawText(r, int(col.alignment),
                          option.fontMetrics.elidedText(text, Qt::ElideRight, r.width()));
    }
    painter->restore();
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    const GridColumn& col = model_->column(index.column());
    switch (col.editor) {
        case ColumnEditor::CheckBox:
            return nullptr;
        case ColumnEditor::Currency: {
            auto* e = new CurrencyEdit(parent);
            e->setFrame(false);
            return e;
        }
        case ColumnEditor::DropDown: {
            auto* combo = new QComboBox(parent);
            combo->addItems(col.items);
            // Picking an item ends the edit at once, as in a drop-down list.
            connect(combo, &QComboBox::activated, this, [this, combo] {
                emit const_cast<GridDelegate*>(this)->commitData(combo);
                emit const_cast<GridDelegate*>(this)->closeEditor(combo);
            });
            QTimer::singleShot(0, combo, [combo] { combo->showPopup(); });
            return combo;
        }
        case ColumnEditor::Text: {
            auto* e = new QLineEdit(parent);
            e->setFrame(false);
            e->setAlignment(col.alignment);
            return e;
        }
    }
    return nullptr;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QVariant v = model_->value(model_->recordAt(index.row()), index.column());
    if (auto* cur = qobject_cast<CurrencyEdit*>(editor)) {
        bool ok = false;
        const qint64 n = v.toLongLong(&ok);
        cur->setValue(ok ? std::optional<qint64>(n) : parseWholeNumber(v.toString()));
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(combo->findText(v.toString()));
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(v.toString());
    }
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
    if (auto* cur = qobject_cast<CurrencyEdit*>(editor)) {
        const auto v = cur->value();
        model->setData(index, v ? QVariant(*v) : QVariant(), Qt::EditRole);
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (combo->currentIndex() >= 0) model->setData(index, combo->currentText(), Qt::EditRole);
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, line->text(), Qt::EditRole);
    }
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

bool GridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                               const QStyleOptionViewItem& option, const QModelIndex& index) {
    const int c = index.column();
    const GridColumn& col = model_->column(c);
    if (!model_->isEditable(c)) return false;
    if (col.editor == ColumnEditor::CheckBox) {
        bool toggle = false;
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            toggle =
                me->button() == Qt::LeftButton && option.rect.contains(me->position().toPoint());
        } else if (event->type() == QEvent::KeyPress) {
            toggle = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
        }
        if (!toggle) return false;
        const bool now = model_->value(model_->recordAt(index.row()), c).toBool();
        return model->setData(index, !now, Qt::EditRole);
    }
    if (col.editor == ColumnEditor::DropDown && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton &&
            me->position().x() >= option.rect.right() - kDropButtonWidth) {
            view_->setCurrentIndex(index);
            view_->edit(index);
            return true;
        }
    }
    return false;
}

}  // namespace platform::ui
