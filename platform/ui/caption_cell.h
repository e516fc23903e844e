#pragma once

#include <QColor>
#include <QFrame>
#include <QPointer>

namespace platform::ui {

// Gives an editor its caption as accessible name (and the widget it forwards its focus to),
// so screen readers and test robots read "아이디" for the id box.
void setCaption(QWidget* editor, const QString& caption);

// The gradient-filled caption panel that stands beside an editor or a value label.
// setBuddy() makes the caption the buddy's accessible name. The gradient runs from top to
// bottom; by default it is derived from the palette's button colour, so the theme decides.
class CaptionCell : public QFrame {
    Q_OBJECT

public:
    explicit CaptionCell(const QString& text, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    void setBuddy(QWidget* buddy);
    QWidget* buddy() const { return buddy_; }
    void setColors(const QColor& top, const QColor& bottom);
    void setAlignment(Qt::Alignment a);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QString text_;
    QPointer<QWidget> buddy_;
    QColor top_, bottom_;
    Qt::Alignment alignment_ = Qt::AlignCenter;
};

}  // namespace platform::ui
