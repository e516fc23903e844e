#include "platform/ui/grid_model.h"

#include <algorithm>

#include "platform/ui/number_format.h"

namespace platform::ui {

namespace {
const QVariant kEmpty;
}

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

int GridModel::addColumn(const GridColumn& column) {
    const int index = int(columns_.size());
    const size_t oldStride = columns_.size();
    columns_.push_back(column);
    names_.insert(column.name, index);
    if (records_ > 0) {
        std::vector<QVariant> widened(size_t(records_) * columns_.size());
        for (int r = 0; r < records_; ++r)
            for (size_t c = 0; c < oldStride; ++c)
                widened[r * columns_.size() + c] = std::move(cells_[r * oldStride + c]);
        cells_ = std::move(widened);
    }
    return index;
}

int GridModel::appendRecord() {
    cells_.resize(cells_.size() + columns_.size());
    return records_++;
}

void GridModel::clearRecords() {
    cells_.clear();
    records_ = 0;
    // Keep the view's rows consistent with the data until the next rebuild.
    order_.clear();
    rowOfRecord_.clear();
}

const QVariant& GridModel::value(int record, int column) const {
    if (record < 0 || record >= records_ || column < 0 || column >= columns()) return kEmpty;
    return cells_[size_t(record) * columns_.size() + size_t(column)];
}

void GridModel::setValue(int record, int column, const QVariant& v) {
    if (record < 0 || record >= records_ || column < 0 || column >= columns()) return;
    cells_[size_t(record) * columns_.size() + size_t(column)] = v;
}

QString GridModel::displayText(int record, int column) const {
    const QVariant& v = value(record, column);
    if (!v.isValid() || v.isNull()) return {};
    const GridColumn& col = columns_[size_t(column)];
    if (col.editor == ColumnEditor::CheckBox) return {};
    if (col.isNumeric()) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok) return formatNumber(d, col.displayFormat);
    }
    return v.toString();
}

int GridModel::rowOf(int record) const {
    return record >= 0 && record < int(rowOfRecord_.size()) ? rowOfRecord_[record] : -1;
}

bool GridModel::lessThan(int column, int a, int b) const {
    const QVariant& va = value(a, column);
    const QVariant& vb = value(b, column);
    const bool blankA = !va.isValid() || va.isNull() || va.toString().isEmpty();
    const bool blankB = !vb.isValid() || vb.isNull() || vb.toString().isEmpty();
    if (blankA || blankB) return blankA && !blankB;  // blanks first
    const GridColumn& col = columns_[size_t(column)];
    if (col.isNumeric()) return va.toDouble() < vb.toDouble();
    if (col.editor == ColumnEditor::CheckBox) return !va.toBool() && vb.toBool();
    return QString::compare(va.toString(), vb.toString()) < 0;
}

void GridModel::rebuildOrder() {
    order_.clear();
    order_.reserve(size_t(records_));
    for (int r = 0; r < records_; ++r) {
        bool keep = true;
        for (const auto& [c, f] : filters_) {
            const bool numeric = columns_[size_t(c)].isNumeric();
            if (!f.matches(value(r, c), f.needsShownText() ? displayText(r, c) : QString(),
                           numeric)) {
                keep = false;
                break;
            }
        }
        if (keep) order_.push_back(r);
    }
    if (sortColumn_ >= 0) {
        const int c = sortColumn_;
        if (sortOrder_ == Qt::AscendingOrder)
            std::stable_sort(order_.begin(), order_.end(),
                             [&](int a, int b) { return lessThan(c, a, b); });
        else
            std::stable_sort(order_.begin(), order_.end(),
                             [&](int a, int b) { return lessThan(c, b, a); });
    }
    rowOfRecord_.assign(size_t(records_), -1);
    for (size_t i = 0; i < order_.size(); ++i) rowOfRecord_[size_t(order_[i])] = int(i);
}

void GridModel::setSort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
}

void GridModel::setFilter(int column, const ColumnFilter& filter) {
    if (filter.isEmpty())
        filters_.erase(column);
    else
        filters_[column] = filter;
}

void GridModel::clearFilter(int column) {
    if (column < 0)
        filters_.clear();
    else
        filters_.erase(column);
}

bool GridModel::isEditable(int column) const {
    return cellSelect_ && column >= 0 && column < columns() &&
           columns_[size_t(column)].access == ColumnAccess::Editable;
}

QColor GridModel::backgroundOf(int record, int column) const {
    if (style_) {
        const QColor c = style_(record, column);
        if (c.isValid()) return c;
    }
    const QColor& col = columns_[size_t(column)].background;
    return col.isValid() ? col : background_;
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(order_.size());
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    const int record = recordAt(index.row());
    if (record < 0) return {};
    const int c = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return displayText(record, c);
        case Qt::EditRole:
            return value(record, c);
        case Qt::TextAlignmentRole:
            return int(columns_[size_t(c)].alignment);
        case Qt::CheckStateRole:
            if (columns_[size_t(c)].editor == ColumnEditor::CheckBox)
                return value(record, c).toBool() ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::BackgroundRole: {
            const QColor bg = backgroundOf(record, c);
            return bg.isValid() ? QVariant(bg) : QVariant();
        }
        default:
            return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& v, int role) {
    const int record = recordAt(index.row());
    const int c = index.column();
    if (record < 0 || !isEditable(c)) return false;
    QVariant stored = v;
    if (role == Qt::CheckStateRole)
        stored = (v.toInt() == Qt::Checked);
    else if (role != Qt::EditRole)
        return false;
    setValue(record, c, stored);
    emit dataChanged(index, index);
    emit userEdited(record, c);
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditable(index.column())) {
        if (columns_[size_t(index.column())].editor == ColumnEditor::CheckBox)
            f |= Qt::ItemIsUserCheckable;
        else
            f |= Qt::ItemIsEditable;
    }
    return f;
}

QVariant GridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || section < 0 || section >= columns()) return {};
    if (role == Qt::DisplayRole) return columns_[size_t(section)].caption;
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

}  // namespace platform::ui
