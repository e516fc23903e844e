#include "platform/ui/grid_view.h"

#include <QPainter>

#include "platform/ui/toolkit_texts.h"

namespace platform::ui {

GridView::GridView(QWidget* parent) : QTableView(parent), emptyText_(texts::noData()) {}

void GridView::setEmptyText(const QString& text) {
    emptyText_ = text;
    viewport()->update();
}

bool GridView::postEditor() {
    if (state() != QAbstractItemView::EditingState) return false;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor) return false;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void GridView::paintEvent(QPaintEvent* e) {
    QTableView::paintEvent(e);
    if (!model() || model()->rowCount() > 0 || emptyText_.isEmpty()) return;
    QPainter p(viewport());
    p.setPen(palette().text().color());
    p.drawText(QRect(0, 0, viewport()->width(), 40), Qt::AlignCenter, emptyText_);
}

}  // namespace platform::ui
