#include "platform/ui/caption_cell.h"

#include <QLinearGradient>
#include <QPainter>

namespace platform::ui {

void setCaption(QWidget* editor, const QString& caption) {
    if (!editor) return;
    editor->setAccessibleName(caption);
    if (QWidget* proxy = editor->focusProxy()) proxy->setAccessibleName(caption);
}

CaptionCell::CaptionCell(const QString& text, QWidget* parent) : QFrame(parent), text_(text) {
    setAccessibleName(text);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void CaptionCell::setText(const QString& text) {
    text_ = text;
    setAccessibleName(text);
    if (buddy_) setCaption(buddy_, text);
    updateGeometry();
    update();
}

void CaptionCell::setBuddy(QWidget* buddy) {
    buddy_ = buddy;
    setCaption(buddy, text_);
}

void CaptionCell::setColors(const QColor& top, const QColor& bottom) {
    top_ = top;
    bottom_ = bottom;
    update();
}

void CaptionCell::setAlignment(Qt::Alignment a) {
    alignment_ = a;
    update();
}

QSize CaptionCell::sizeHint() const {
    return {fontMetrics().horizontalAdvance(text_) + 20, std::max(26, fontMetrics().height() + 10)};
}

QSize CaptionCell::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(text_) + 8, fontMetrics().height() + 4};
}

void CaptionCell::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor base = palette().button().color();
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, top_.isValid() ? top_ : base.lighter(125));
    g.setColorAt(1, bottom_.isValid() ? bottom_ : base.darker(115));
    p.fillRect(rect(), g);
    p.setPen(palette().mid().color());
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(palette().buttonText().color());
    p.drawText(rect().adjusted(6, 0, -6, 0), int(alignment_ | Qt::AlignVCenter), text_);
}

}  // namespace platform::ui
