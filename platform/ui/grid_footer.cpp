#include "platform/ui/grid_footer.h"

#include <QHeaderView>
#include <QPainter>

#include "platform/ui/grid_view.h"

namespace platform::ui {

namespace {
constexpr int kHeight = 30;
constexpr int kMargin = 4;
}  // namespace

GridFooter::GridFooter(GridView* view, CellSource source, QWidget* parent)
    : QWidget(parent), view_(view), source_(std::move(source)) {
    setFixedHeight(kHeight);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    setForegroundRole(QPalette::ButtonText);
}

QSize GridFooter::sizeHint() const {
    return {100, kHeight};
}

void GridFooter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().mid().color());
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QHeaderView* header = view_->horizontalHeader();
    // The footer lies under the view; its cells start where the view's viewport does.
    const int origin = view_->geometry().left() - geometry().left() + view_->viewport()->x();
    for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c)) continue;
        const Cell cell = source_(c);
        const int x = origin + header->sectionViewportPosition(c);
        const QRect r(x, 0, header->sectionSize(c), height());
        p.setPen(palette().mid().color());
        p.drawLine(r.topRight(), r.bottomRight());
        if (cell.text.isEmpty()) continue;
        p.setPen(palette().buttonText().color());
        p.drawText(r.adjusted(kMargin, 0, -kMargin, 0), int(cell.alignment), cell.text);
    }
}

}  // namespace platform::ui
