#include "platform/ui/grid_header.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace platform::ui {

namespace {
constexpr int kHeaderHeight = 30;
constexpr int kButtonWidth = 16;
}  // namespace

GridHeader::GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setFixedHeight(kHeaderHeight);
    setDefaultAlignment(Qt::AlignCenter);
    setSectionsClickable(true);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setStretchLastSection(false);
}

void GridHeader::setFilterButtons(bool on) {
    filterButtons_ = on;
    viewport()->update();
}

void GridHeader::setFilteredColumns(const QSet<int>& columns) {
    filtered_ = columns;
    viewport()->update();
}

QRect GridHeader::filterButtonRect(int logical) const {
    if (!filterButtons_ || isSectionHidden(logical)) return {};
    const int x = sectionViewportPosition(logical);
    const int w = sectionSize(logical);
    if (w < kButtonWidth * 2) return {};
    return QRect(x + w - kButtonWidth - 2, (height() - kButtonWidth) / 2, kButtonWidth,
                 kButtonWidth);
}

void GridHeader::paintSection(QPainter* painter, const QRect& rect, int logical) const {
    // The style leaves its own clip behind; the button is drawn on a clean state.
    painter->save();
    QHeaderView::paintSection(painter, rect, logical);
    painter->restore();
    const QRect button = filterButtonRect(logical);
    if (button.isEmpty()) return;
    painter->save();
    QStyleOption opt;
    opt.initFrom(this);
    opt.rect = button.adjusted(3, 4, -3, -4);
    if (filtered_.contains(logical)) {
        painter->fillRect(button.adjusted(1, 1, -1, -1), palette().highlight());
        opt.palette.setColor(QPalette::ButtonText, palette().highlightedText().color());
    }
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &opt, painter, this);
    painter->restore();
}

void GridHeader::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && filterButtons_) {
        const int logical = logicalIndexAt(e->position().toPoint());
        if (logical >= 0 && filterButtonRect(logical).contains(e->position().toPoint())) {
            emit filterButtonClicked(logical);
            return;
        }
    }
    QHeaderView::mousePressEvent(e);
}

}  // namespace platform::ui
