#include "platform/ui/row_indicator.h"

#include <QPainter>
#include <QPainterPath>

namespace platform::ui {

namespace {
constexpr int kWidth = 14;
constexpr int kRowHeight = 30;
}  // namespace

RowIndicator::RowIndicator(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(kRowHeight);
    setDefaultSectionSize(kRowHeight);
    setHighlightSections(false);
    setSectionsClickable(false);
}

void RowIndicator::setFocusedRow(int row) {
    if (row == focused_) return;
    focused_ = row;
    viewport()->update();
}

QSize RowIndicator::sizeHint() const {
    return {kWidth, kRowHeight};
}

void RowIndicator::paintSection(QPainter* painter, const QRect& rect, int logical) const {
    painter->save();
    painter->fillRect(rect, palette().button());
    painter->setPen(palette().mid().color());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    if (logical == focused_) {
        const QPointF c = QRectF(rect).center();
        QPainterPath triangle;
        triangle.moveTo(c.x() - 3, c.y() - 5);
        triangle.lineTo(c.x() + 3, c.y());
        triangle.lineTo(c.x() - 3, c.y() + 5);
        triangle.closeSubpath();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(triangle, palette().buttonText());
    }
    painter->restore();
}

}  // namespace platform::ui
