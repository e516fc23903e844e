#pragma once

#include <QWidget>
#include <functional>

namespace platform::ui {

class GridView;

// The footer row under a DataGrid's columns: one cell per visible column, aligned with the
// header sections, holding the column's summary text.
class GridFooter : public QWidget {
    Q_OBJECT

public:
    struct Cell {
        QString text;
        Qt::Alignment alignment;
    };
    using CellSource = std::function<Cell(int column)>;

    GridFooter(GridView* view, CellSource source, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    GridView* view_;
    CellSource source_;
};

}  // namespace platform::ui
