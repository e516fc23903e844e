#pragma once

#include <QColor>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/column_filter.h"
#include "platform/ui/grid_column.h"
#include "platform/ui/grid_export.h"

class QLabel;
class QPushButton;

namespace platform::ui {

class GridModel;
class GridView;
class GridHeader;
class RowIndicator;
class GridFooter;

// The grid of the forms: one band without band header, a 30-pixel header and rows, a row
// indicator at the left, columns stretched to the width in proportion to their design widths,
// an optional footer with count/sum summaries and, where a form allows it, sorting by header
// click and a filter drop-down per column. Filled by the program (no data binding).
//
// Filling, with one model reset and one redraw whatever the number of rows:
//   DataGrid::Update u(grid);          // or beginUpdate() ... endUpdate()
//   grid->clearRows();
//   for (...) { int r = grid->appendRow(); grid->setValue(r, "grd_List_Name", name); }
//
// Records are addressed by their index in fill order (0..recordCount()-1), columns by name.
// Sorting and filtering change only which rows show and in what order (visibleRecords()).
// Values are QVariants: text as QString, amounts as qint64, check boxes as bool; an invalid
// QVariant is an empty cell.
//
// Outside an update, setValue() changes the cell in place (the row keeps its place even when
// sorted or filtered; footers follow); the next update sorts and filters again.
// There is no group-by box (texts::groupByBox() holds its text should one be added).
//
// Focus: focusedRecordChanged(record) fires when the focused record changes, -1 meaning none
// (an empty grid). After an update in which the rows were cleared, the first row is focused
// and the signal fires even when the index stays the same, since the row holds new data;
// otherwise the focused record stays when it is still shown.
class DataGrid : public QWidget {
    Q_OBJECT

public:
    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    // --- columns
    int addColumn(const GridColumn& column);     // returns its index
    int columnIndex(const QString& name) const;  // -1 when unknown
    int columnCount() const;
    const GridColumn& column(int index) const;
    void setColumnVisible(const QString& name, bool visible);
    bool isColumnVisible(const QString& name) const;

    // --- filling
    void beginUpdate();
    void endUpdate();
    struct Update {
        explicit Update(DataGrid* g) : grid(g) { grid->beginUpdate(); }
        ~Update() { grid->endUpdate(); }
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;
        DataGrid* grid;
    };
    void clearRows();
    int appendRow();  // returns the new record's index; its cells are empty
    int recordCount() const;

    // --- values (unknown record or column: nothing happens / empty results)
    void setValue(int record, const QString& column, const QVariant& value);
    void setValue(int record, int column, const QVariant& value);
    QVariant value(int record, const QString& column) const;
    QString text(int record, const QString& column) const;  // stored value as text ("15000")
    qint64 number(int record, const QString& column, bool* ok = nullptr) const;  // 0 if none
    bool isChecked(int record, const QString& column) const;
    QString displayText(int record, const QString& column) const;  // as shown ("15,000")

    // --- focus
    int focusedRecord() const;
    void setFocusedRecord(int record);

    // --- behaviour
    // Cell selection on: single cells are focused and editable columns can be edited.
    // Off: whole rows are selected and nothing can be edited (the edit lock).
    void setCellSelect(bool on);
    bool cellSelect() const;
    void setSortingEnabled(bool on);         // header click sorts (asc, desc, asc...)
    void setFilteringEnabled(bool on);       // filter button in every header section
    void setFooterVisible(bool on);          // shown by default
    void setEmptyText(const QString& text);  // default "출력할 자료가 없습니다."
    // Stores a cell value still being edited; false when no editor was open.
    bool postEdit();

    // --- content styles (backgrounds): the style function first (invalid colour: none), then
    // the column's background, then the grid's; otherwise the palette's base colour.
    using ContentStyle = std::function<QColor(int record, const QString& column)>;
    void setContentStyle(ContentStyle style);
    void setContentBackground(const QColor& colour);
    QColor backgroundOf(int record, const QString& column) const;
    void refreshStyles();  // repaint after the inputs of the style function changed

    // --- sorting and filtering
    void sortBy(const QString& column, Qt::SortOrder order = Qt::AscendingOrder);
    void clearSort();
    QString sortColumn() const;
    Qt::SortOrder sortOrder() const;
    void setFilter(const ColumnFilter& filter);           // replaces the column's filter
    void clearFilter(const QString& column = QString());  // empty: all columns
    bool hasFilter() const;
    QString filterText() const;               // description shown in the filter bar
    std::vector<int> visibleRecords() const;  // shown rows, screen order
    int visibleCount() const;
    // Filter drop-down and dialog, as the header button opens them.
    void showFilterPopup(const QString& column);
    void showCustomFilter(const QString& column);

    // --- footer: summaries over the shown rows
    QString footerText(const QString& column) const;

    GridExport exportView() const;

    GridView* view() const { return view_; }
    GridModel* model() const { return model_; }

signals:
    void focusedRecordChanged(int record);
    void headerClicked(const QString& column);
    // A user changed a cell (typing, check box, drop-down), after the value is stored.
    void cellEdited(int record, const QString& column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutColumns();
    void onCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void applyFocus(int record, bool forceSignal);
    void refreshOrder();
    void updateFilterBar();
    void computeFooter() const;
    void invalidateFooter();
    void onHeaderClicked(int logical);

    GridModel* model_;
    GridView* view_;
    GridHeader* header_;
    RowIndicator* indicator_;
    GridFooter* footer_;
    QWidget* filterBar_;
    QLabel* filterLabel_;
    QPushButton* customizeButton_;
    int updateDepth_ = 0;
    bool cleared_ = false;
    bool settingFocus_ = false;
    int focused_ = -1;
    bool sorting_ = false;
    int lastFilterColumn_ = -1;
    mutable bool footerDirty_ = true;
    mutable std::vector<QString> footerTexts_;
};

}  // namespace platform::ui
