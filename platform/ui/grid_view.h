#pragma once

#include <QTableView>

namespace platform::ui {

// The table part of a DataGrid. Paints the empty text when there are no rows.
class GridView : public QTableView {
    Q_OBJECT

public:
    explicit GridView(QWidget* parent = nullptr);

    void setEmptyText(const QString& text);
    const QString& emptyText() const { return emptyText_; }
    // Stores the value of an open cell editor and closes it; false when none was open.
    bool postEditor();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QString emptyText_;
};

}  // namespace platform::ui
