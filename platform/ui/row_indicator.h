#pragma once

#include <QHeaderView>

namespace platform::ui {

// The narrow column at the left of a DataGrid that marks the focused row with a triangle.
// Its sections are the rows, 30 pixels high each.
class RowIndicator : public QHeaderView {
    Q_OBJECT

public:
    explicit RowIndicator(QWidget* parent = nullptr);

    void setFocusedRow(int row);
    int focusedRow() const { return focused_; }
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logical) const override;

private:
    int focused_ = -1;
};

}  // namespace platform::ui
