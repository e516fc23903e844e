#pragma once

#include <QStyledItemDelegate>

namespace platform::ui {

class GridModel;
class GridView;

// Paints the cells of a DataGrid (content styles, focused row and cell, check boxes, drop-down
// buttons) and creates their editors: text, CurrencyEdit for amounts, a list for drop-downs.
// Check boxes toggle with a click or the space key.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    GridDelegate(GridModel* model, GridView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    GridModel* model_;
    GridView* view_;
};

}  // namespace platform::ui
