#pragma once

#include <QHeaderView>
#include <QSet>

namespace platform::ui {

// Column header of a DataGrid: 30 pixels high, centred captions and, when filtering is on, a
// small drop-down button at the right of every section that opens the column's filter.
class GridHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit GridHeader(QWidget* parent = nullptr);

    void setFilterButtons(bool on);
    bool filterButtons() const { return filterButtons_; }
    void setFilteredColumns(const QSet<int>& columns);
    // In header coordinates; empty when the section shows no button.
    QRect filterButtonRect(int logical) const;

signals:
    void filterButtonClicked(int logical);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logical) const override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    bool filterButtons_ = false;
    QSet<int> filtered_;
};

}  // namespace platform::ui
