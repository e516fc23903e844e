#include "platform/ui/data_grid.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ui/custom_filter_dialog.h"
#include "platform/ui/filter_popup.h"
#include "platform/ui/grid_delegate.h"
#include "platform/ui/grid_footer.h"
#include "platform/ui/grid_header.h"
#include "platform/ui/grid_model.h"
#include "platform/ui/grid_view.h"
#include "platform/ui/number_format.h"
#include "platform/ui/row_indicator.h"
#include "platform/ui/toolkit_texts.h"

namespace platform::ui {

DataGrid::DataGrid(QWidget* parent) : QWidget(parent) {
    model_ = new GridModel(this);
    view_ = new GridView(this);
    view_->setObjectName(QStringLiteral("gridView"));
    header_ = new GridHeader(view_);
    header_->setSortIndicatorShown(false);
    view_->setHorizontalHeader(header_);
    indicator_ = new RowIndicator(view_);
    view_->setVerticalHeader(indicator_);
    view_->setModel(model_);
    view_->setItemDelegate(new GridDelegate(model_, view_));
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectItems);
    view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setWordWrap(false);
    view_->setCornerButtonEnabled(false);
    // The arrow keys move between cells; Tab leaves the grid for the form's next field, so a
    // keyboard user is never caught inside a grid.
    view_->setTabKeyNavigation(false);
    view_->viewport()->installEventFilter(this);

    footer_ = new GridFooter(
        view_,
        [this](int c) {
            return GridFooter::Cell{footerText(model_->column(c).name),
                                    model_->column(c).footerAlignment};
        },
        this);
    footer_->setObjectName(QStringLiteral("gridFooter"));

    filterBar_ = new QWidget(this);
    filterBar_->setObjectName(QStringLiteral("gridFilterBar"));
    auto* bar = new QHBoxLayout(filterBar_);
    bar->setContentsMargins(4, 2, 4, 2);
    auto* clearButton = new QToolButton(filterBar_);
    clearButton->setObjectName(QStringLiteral("btnClearFilter"));
    clearButton->setText(QStringLiteral("✕"));
    clearButton->setToolTip(QStringLiteral("필터 해제"));
    clearButton->setAccessibleName(QStringLiteral("필터 해제"));
    filterLabel_ = new QLabel(filterBar_);
    filterLabel_->setObjectName(QStringLiteral("lb_Filter"));
    customizeButton_ = new QPushButton(texts::customize(), filterBar_);
    customizeButton_->setObjectName(QStringLiteral("btnCustomizeFilter"));
    bar->addWidget(clearButton);
    bar->addWidget(filterLabel_, 1);
    bar->addWidget(customizeButton_);
    filterBar_->hide();
    connect(clearButton, &QToolButton::clicked, this, [this] { clearFilter(); });
    connect(customizeButton_, &QPushButton::clicked, this, [this] {
        int c = lastFilterColumn_;
        if (!model_->filters().count(c) && !model_->filters().empty())
            c = model_->filters().begin()->first;
        if (c >= 0) showCustomFilter(model_->column(c).name);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_, 1);
    layout->addWidget(footer_);
    layout->addWidget(filterBar_);

    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DataGrid::onCurrentChanged);
    connect(header_, &QHeaderView::sectionClicked, this, &DataGrid::onHeaderClicked);
    connect(header_, &GridHeader::filterButtonClicked, this,
            [this](int c) { showFilterPopup(model_->column(c).name); });
    connect(header_, &QHeaderView::sectionResized, footer_, qOverload<>(&QWidget::update));
    connect(model_, &GridModel::userEdited, this, [this](int record, int c) {
        invalidateFooter();
        emit cellEdited(record, model_->column(c).name);
    });
}

DataGrid::~DataGrid() = default;

// ---------------------------------------------------------------- columns

int DataGrid::addColumn(const GridColumn& column) {
    if (updateDepth_ == 0) model_->beginBulk();
    const int c = model_->addColumn(column);
    if (updateDepth_ == 0) model_->endBulk();
    layoutColumns();
    invalidateFooter();
    return c;
}

int DataGrid::columnIndex(const QString& name) const {
    return model_->columnIndex(name);
}
int DataGrid::columnCount() const {
    return model_->columns();
}
const GridColumn& DataGrid::column(int index) const {
    return model_->column(index);
}

void DataGrid::setColumnVisible(const QString& name, bool visible) {
    const int c = columnIndex(name);
    if (c < 0) return;
    model_->column(c).visible = visible;
    layoutColumns();
}

bool DataGrid::isColumnVisible(const QString& name) const {
    const int c = columnIndex(name);
    return c >= 0 && model_->column(c).visible;
}

void DataGrid::layoutColumns() {
    // A model reset forgets hidden sections and sizes, so they are set again each time.
    int sum = 0, last = -1;
    for (int c = 0; c < model_->columns(); ++c) {
        const bool visible = model_->column(c).visible;
        if (view_->isColumnHidden(c) == visible) view_->setColumnHidden(c, !visible);
        if (visible) {
            sum += std::max(1, model_->column(c).width);
            last = c;
        }
    }
    const int avail = view_->viewport()->width();
    if (sum > 0 && avail > 0) {
        int used = 0;
        for (int c = 0; c < model_->columns(); ++c) {
            if (!model_->column(c).visible) continue;
            const int w = c == last
                              ? avail - used
                              : int(qint64(std::max(1, model_->column(c).width)) * avail / sum);
            header_->resizeSection(c, std::max(1, w));
            used += w;
        }
    }
    footer_->update();
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::Resize) layoutColumns();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- filling

void DataGrid::beginUpdate() {
    if (updateDepth_++ == 0) model_->beginBulk();
}

void DataGrid::endUpdate() {
    if (updateDepth_ == 0 || --updateDepth_ > 0) return;
    model_->rebuildOrder();
    model_->endBulk();
    layoutColumns();
    header_->setSortIndicator(model_->sortColumn(), model_->sortOrder());
    int target;
    if (cleared_)
        target = model_->recordAt(0);
    else
        target = model_->rowOf(focused_) >= 0 ? focused_ : model_->recordAt(0);
    const bool force = cleared_ && target >= 0;
    cleared_ = false;
    invalidateFooter();
    updateFilterBar();
    applyFocus(target, force);
}

void DataGrid::clearRows() {
    Update u(this);
    model_->clearRecords();
    cleared_ = true;
}

int DataGrid::appendRow() {
    Update u(this);
    return model_->appendRecord();
}

int DataGrid::recordCount() const {
    return model_->recordCount();
}

// ---------------------------------------------------------------- values

void DataGrid::setValue(int record, const QString& column, const QVariant& value) {
    setValue(record, columnIndex(column), value);
}

void DataGrid::setValue(int record, int column, const QVariant& value) {
    if (record < 0 || record >= model_->recordCount() || column < 0 || column >= model_->columns())
        return;
    model_->setValue(record, column, value);
    if (updateDepth_ > 0) return;
    // Outside an update the row stays where it is, even when sorted or filtered.
    const int row = model_->rowOf(record);
    if (row >= 0) {
        const QModelIndex i = model_->index(row, column);
        emit model_->dataChanged(i, i);
    }
    invalidateFooter();
}

QVariant DataGrid::value(int record, const QString& column) const {
    return model_->value(record, columnIndex(column));
}

QString DataGrid::text(int record, const QString& column) const {
    const QVariant& v = model_->value(record, columnIndex(column));
    return v.isValid() && !v.isNull() ? v.toString() : QString();
}

qint64 DataGrid::number(int record, const QString& column, bool* ok) const {
    const QVariant& v = model_->value(record, columnIndex(column));
    bool good = false;
    qint64 n = 0;
    if (v.isValid() && !v.isNull()) {
        n = v.toLongLong(&good);
        if (!good) {
            const auto parsed = parseWholeNumber(v.toString());
            good = parsed.has_value();
            n = parsed.value_or(0);
        }
    }
    if (ok) *ok = good;
    return good ? n : 0;
}

bool DataGrid::isChecked(int record, const QString& column) const {
    return model_->value(record, columnIndex(column)).toBool();
}

QString DataGrid::displayText(int record, const QString& column) const {
    const int c = columnIndex(column);
    return c < 0 ? QString() : model_->displayText(record, c);
}

// ---------------------------------------------------------------- focus

int DataGrid::focusedRecord() const {
    return focused_;
}

void DataGrid::setFocusedRecord(int record) {
    applyFocus(record, false);
}

void DataGrid::applyFocus(int record, bool forceSignal) {
    const int row = model_->rowOf(record);
    settingFocus_ = true;
    QItemSelectionModel* sel = view_->selectionModel();
    if (row >= 0) {
        int col = view_->currentIndex().isValid() ? view_->currentIndex().column() : -1;
        if (col < 0 || view_->isColumnHidden(col) ||
            model_->column(col).access == ColumnAccess::NotFocusable) {
            col = 0;
            for (int c = 0; c < model_->columns(); ++c)
                if (!view_->isColumnHidden(c) &&
                    model_->column(c).access != ColumnAccess::NotFocusable) {
                    col = c;
                    break;
                }
        }
        QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
        if (!model_->cellSelect()) flags |= QItemSelectionModel::Rows;
        sel->setCurrentIndex(model_->index(row, col), flags);
    } else {
        sel->clear();
    }
    settingFocus_ = false;
    indicator_->setFocusedRow(row);
    view_->viewport()->update();
    const int rec = row >= 0 ? record : -1;
    if (forceSignal || rec != focused_) {
        focused_ = rec;
        emit focusedRecordChanged(rec);
    }
}

void DataGrid::onCurrentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (settingFocus_) return;
    if (current.isValid() &&
        model_->column(current.column()).access == ColumnAccess::NotFocusable) {
        // Skip to a focusable cell in the direction of travel, else the other way.
        const int step = previous.isValid() && current.column() < previous.column() ? -1 : 1;
        int target = -1;
        for (int dir : {step, -step}) {
            for (int c = current.column(); c >= 0 && c < model_->columns(); c += dir)
                if (!view_->isColumnHidden(c) &&
                    model_->column(c).access != ColumnAccess::NotFocusable) {
                    target = c;
                    break;
                }
            if (target >= 0) break;
        }
        if (target >= 0) {
            settingFocus_ = true;
            QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
            if (!model_->cellSelect()) flags |= QItemSelectionModel::Rows;
            view_->selectionModel()->setCurrentIndex(model_->index(current.row(), target), flags);
            settingFocus_ = false;
        }
    }
    const int row = view_->currentIndex().row();
    indicator_->setFocusedRow(row);
    view_->viewport()->update();
    const int record = model_->recordAt(row);
    if (record != focused_) {
        focused_ = record;
        emit focusedRecordChanged(record);
    }
}

// ---------------------------------------------------------------- behaviour

void DataGrid::setCellSelect(bool on) {
    if (!on) postEdit();
    model_->setCellSelect(on);
    view_->setSelectionBehavior(on ? QAbstractItemView::SelectItems
                                   : QAbstractItemView::SelectRows);
    if (focused_ >= 0) applyFocus(focused_, false);
    view_->viewport()->update();
}

bool DataGrid::cellSelect() const {
    return model_->cellSelect();
}

void DataGrid::setSortingEnabled(bool on) {
    sorting_ = on;
    header_->setSortIndicatorShown(on);
    if (!on && model_->sortColumn() >= 0) clearSort();
}

void DataGrid::setFilteringEnabled(bool on) {
    header_->setFilterButtons(on);
    if (!on && hasFilter()) clearFilter();
}

void DataGrid::setFooterVisible(bool on) {
    footer_->setVisible(on);
}

void DataGrid::setEmptyText(const QString& text) {
    view_->setEmptyText(text);
}

bool DataGrid::postEdit() {
    return view_->postEditor();
}

void DataGrid::setContentStyle(ContentStyle style) {
    if (style)
        model_->setContentStyle([this, style = std::move(style)](int record, int c) {
            return style(record, model_->column(c).name);
        });
    else
        model_->setContentStyle({});
    view_->viewport()->update();
}

void DataGrid::setContentBackground(const QColor& colour) {
    model_->setContentBackground(colour);
    view_->viewport()->update();
}

QColor DataGrid::backgroundOf(int record, const QString& column) const {
    const int c = columnIndex(column);
    return c < 0 ? QColor() : model_->backgroundOf(record, c);
}

void DataGrid::refreshStyles() {
    view_->viewport()->update();
}

// ---------------------------------------------------------------- sorting and filtering

void DataGrid::onHeaderClicked(int logical) {
    emit headerClicked(model_->column(logical).name);
    if (!sorting_) return;
    const bool again = model_->sortColumn() == logical;
    sortBy(model_->column(logical).name, again && model_->sortOrder() == Qt::AscendingOrder
                                             ? Qt::DescendingOrder
                                             : Qt::AscendingOrder);
}

void DataGrid::sortBy(const QString& column, Qt::SortOrder order) {
    const int c = columnIndex(column);
    if (c < 0) return;
    model_->setSort(c, order);
    refreshOrder();
}

void DataGrid::clearSort() {
    model_->setSort(-1, Qt::AscendingOrder);
    refreshOrder();
}

QString DataGrid::sortColumn() const {
    return model_->sortColumn() >= 0 ? model_->column(model_->sortColumn()).name : QString();
}

Qt::SortOrder DataGrid::sortOrder() const {
    return model_->sortOrder();
}

void DataGrid::setFilter(const ColumnFilter& filter) {
    const int c = columnIndex(filter.column());
    if (c < 0) return;
    model_->setFilter(c, filter);
    lastFilterColumn_ = c;
    refreshOrder();
}

void DataGrid::clearFilter(const QString& column) {
    if (column.isEmpty()) {
        model_->clearFilter(-1);
    } else {
        const int c = columnIndex(column);
        if (c < 0) return;
        model_->clearFilter(c);
    }
    refreshOrder();
}

bool DataGrid::hasFilter() const {
    return !model_->filters().empty();
}

QString DataGrid::filterText() const {
    QStringList parts;
    for (const auto& [c, f] : model_->filters()) parts << f.describe(model_->column(c).caption);
    return parts.join(QStringLiteral(" 그리고 "));
}

std::vector<int> DataGrid::visibleRecords() const {
    return model_->order();
}

int DataGrid::visibleCount() const {
    return int(model_->order().size());
}

void DataGrid::refreshOrder() {
    beginUpdate();
    endUpdate();
}

void DataGrid::updateFilterBar() {
    QSet<int> filtered;
    for (const auto& entry : model_->filters()) filtered.insert(entry.first);
    header_->setFilteredColumns(filtered);
    filterLabel_->setText(filterText());
    filterBar_->setVisible(!filtered.isEmpty());
}

namespace {

std::vector<FilterPopup::Value> distinctValues(const GridModel* m, int c) {
    std::vector<FilterPopup::Value> out;
    QSet<QString> seen;
    for (int r = 0; r < m->recordCount(); ++r) {
        const QVariant& v = m->value(r, c);
        if (!v.isValid() || v.isNull() || v.toString().trimmed().isEmpty()) continue;
        QString shown = m->displayText(r, c);
        if (m->column(c).editor == ColumnEditor::CheckBox)
            shown = v.toBool() ? QStringLiteral("선택") : QStringLiteral("선택 안 함");
        if (seen.contains(shown)) continue;
        seen.insert(shown);
        out.push_back({shown, v});
    }
    const bool numeric = m->column(c).isNumeric();
    std::sort(out.begin(), out.end(), [numeric](const auto& a, const auto& b) {
        if (numeric) return a.raw.toDouble() < b.raw.toDouble();
        return QString::compare(a.shown, b.shown) < 0;
    });
    return out;
}

}  // namespace

void DataGrid::showFilterPopup(const QString& column) {
    const int c = columnIndex(column);
    if (c < 0) return;
    auto* popup = new FilterPopup(distinctValues(model_, c), this);
    connect(popup, &FilterPopup::allChosen, this, [this, column] { clearFilter(column); });
    connect(popup, &FilterPopup::customChosen, this, [this, column] { showCustomFilter(column); });
    connect(popup, &FilterPopup::valueChosen, this, [this, column](const QVariant& raw) {
        setFilter(ColumnFilter(column, FilterCondition{FilterOp::Equal, raw}));
    });
    const int x = header_->sectionViewportPosition(c);
    popup->move(header_->viewport()->mapToGlobal(QPoint(x, header_->height())));
    popup->resize(std::max(popup->width(), header_->sectionSize(c)), popup->height());
    popup->show();
}

void DataGrid::showCustomFilter(const QString& column) {
    const int c = columnIndex(column);
    if (c < 0) return;
    QStringList suggestions;
    for (const auto& v : distinctValues(model_, c)) suggestions << v.shown;
    const auto it = model_->filters().find(c);
    ColumnFilter current = it != model_->filters().end() ? it->second : ColumnFilter();
    auto* dialog =
        new CustomFilterDialog(column, model_->column(c).caption, model_->column(c).isNumeric(),
                               suggestions, current, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, column] {
        if (dialog->filter().isEmpty())
            clearFilter(column);
        else
            setFilter(dialog->filter());
    });
    dialog->open();
}

// ---------------------------------------------------------------- footer

void DataGrid::invalidateFooter() {
    footerDirty_ = true;
    footer_->update();
}

void DataGrid::computeFooter() const {
    footerDirty_ = false;
    footerTexts_.assign(size_t(model_->columns()), QString());
    const auto& rows = model_->order();
    for (int c = 0; c < model_->columns(); ++c) {
        const GridColumn& col = model_->column(c);
        if (col.footer == FooterSummary::Count) {
            footerTexts_[size_t(c)] = formatNumber(
                double(rows.size()),
                col.footerFormat.isEmpty() ? QStringLiteral("#,##0") : col.footerFormat);
        } else if (col.footer == FooterSummary::Sum) {
            double sum = 0;
            for (int r : rows) {
                bool ok = false;
                const double d = model_->value(r, c).toDouble(&ok);
                if (ok) sum += d;
            }
            footerTexts_[size_t(c)] = formatNumber(
                sum, col.footerFormat.isEmpty() ? col.displayFormat : col.footerFormat);
        }
    }
}

QString DataGrid::footerText(const QString& column) const {
    const int c = columnIndex(column);
    if (c < 0) return {};
    if (footerDirty_ || footerTexts_.size() != size_t(model_->columns())) computeFooter();
    return footerTexts_[size_t(c)];
}

// ---------------------------------------------------------------- export

GridExport DataGrid::exportView() const {
    GridExport out;
    std::vector<int> cols;
    for (int visual = 0; visual < header_->count(); ++visual) {
        const int c = header_->logicalIndex(visual);
        if (c < 0 || !model_->column(c).visible) continue;
        cols.push_back(c);
        const GridColumn& col = model_->column(c);
        out.columns.push_back(
            {col.name, col.caption, col.width, col.alignment, col.isNumeric(), col.displayFormat});
    }
    for (int r : model_->order()) {
        std::vector<QVariant> values;
        QStringList texts;
        for (int c : cols) {
            values.push_back(model_->value(r, c));
            texts << model_->displayText(r, c);
        }
        out.values.push_back(std::move(values));
        out.texts.push_back(std::move(texts));
    }
    out.hasFooter = !footer_->isHidden();
    if (out.hasFooter)
        for (int c : cols) out.footer << footerText(model_->column(c).name);
    return out;
}

}  // namespace platform::ui
