#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QVariant>
#include <functional>
#include <map>
#include <vector>

#include "platform/ui/column_filter.h"
#include "platform/ui/grid_column.h"

namespace platform::ui {

// The data of a DataGrid: the records in the order they were added and, on top of them, the
// rows the view shows (filtered and sorted). Records keep their index for as long as they
// exist; rows are positions on screen. Forms talk to DataGrid, not to this class.
class GridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using ContentStyle = std::function<QColor(int record, int column)>;

    explicit GridModel(QObject* parent = nullptr);

    int addColumn(const GridColumn& column);
    const GridColumn& column(int c) const { return columns_[size_t(c)]; }
    GridColumn& column(int c) { return columns_[size_t(c)]; }
    int columnIndex(const QString& name) const { return names_.value(name, -1); }
    int columns() const { return int(columns_.size()); }

    int recordCount() const { return records_; }
    int appendRecord();
    void clearRecords();
    const QVariant& value(int record, int column) const;
    void setValue(int record, int column, const QVariant& v);
    QString displayText(int record, int column) const;

    // Rows shown, in screen order.
    int recordAt(int row) const { return row >= 0 && row < int(order_.size()) ? order_[row] : -1; }
    int rowOf(int record) const;
    const std::vector<int>& order() const { return order_; }
    // Recomputes the shown rows from filters and sort order. Callers wrap it in a reset.
    void rebuildOrder();

    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    void setSort(int column, Qt::SortOrder order);
    void setFilter(int column, const ColumnFilter& filter);
    void clearFilter(int column);  // -1: all
    const std::map<int, ColumnFilter>& filters() const { return filters_; }

    bool cellSelect() const { return cellSelect_; }
    void setCellSelect(bool on) { cellSelect_ = on; }
    bool isEditable(int column) const;
    void setContentStyle(ContentStyle f) { style_ = std::move(f); }
    void setContentBackground(const QColor& c) { background_ = c; }
    // Style first, then the column's background, then the grid's; invalid: the palette's.
    QColor backgroundOf(int record, int column) const;

    void beginBulk() { beginResetModel(); }
    void endBulk() { endResetModel(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

signals:
    // A user edit stored in a cell (not programmatic changes).
    void userEdited(int record, int column);

private:
    bool lessThan(int column, int a, int b) const;

    std::vector<GridColumn> columns_;
    QHash<QString, int> names_;
    std::vector<QVariant> cells_;  // records_ x columns_, row by row
    int records_ = 0;
    std::vector<int> order_;
    std::vector<int> rowOfRecord_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::map<int, ColumnFilter> filters_;
    bool cellSelect_ = true;
    ContentStyle style_;
    QColor background_;
};

}  // namespace platform::ui
