#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <Qt>

namespace platform::ui {

// What a cell shows and how it is edited.
enum class ColumnEditor {
    Text,      // plain text (a label when the column is not editable)
    Currency,  // whole number, shown with its display format, edited with CurrencyEdit
    CheckBox,  // true/false; an empty cell shows unchecked
    DropDown,  // one of a fixed list of items
};

// What the user may do with the column's cells.
enum class ColumnAccess {
    Editable,      // can be focused and edited (while the grid allows cell selection)
    ReadOnly,      // can be focused, never edited
    NotFocusable,  // the cell focus skips it; never edited
};

enum class FooterSummary { None, Count, Sum };

// Design of one grid column, written as a chain:
//   GridColumn("grd_Bill_Amount", "요청금액", 100).currency(",0.;-,0.").right()
//       .footerSum("#,##0 원")
// `name` is the column's name in the forms (grd_...); values are addressed by it.
struct GridColumn {
    QString name;
    QString caption;
    int width = 100;  // design width; visible columns share the grid's width in proportion
    ColumnEditor editor = ColumnEditor::Text;
    ColumnAccess access = ColumnAccess::Editable;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString displayFormat;  // number format (number_format.h); numbers only
    bool visible = true;
    FooterSummary footer = FooterSummary::None;
    QString footerFormat;  // e.g. "#,##0 건"; empty: the display format
    Qt::Alignment footerAlignment = Qt::AlignRight | Qt::AlignVCenter;
    QStringList items;  // the list of a drop-down column
    QColor background;  // content style of the column; invalid: the grid's

    GridColumn() = default;
    GridColumn(QString n, QString c, int w) : name(std::move(n)), caption(std::move(c)), width(w) {}

    GridColumn& centred() { return align(Qt::AlignHCenter); }
    GridColumn& right() { return align(Qt::AlignRight); }
    GridColumn& align(Qt::Alignment horizontal) {
        alignment = horizontal | Qt::AlignVCenter;
        return *this;
    }
    GridColumn& readOnly() { return setAccess(ColumnAccess::ReadOnly); }
    GridColumn& notFocusable() { return setAccess(ColumnAccess::NotFocusable); }
    GridColumn& setAccess(ColumnAccess a) {
        access = a;
        return *this;
    }
    GridColumn& currency(const QString& format = QStringLiteral(",0.;-,0.")) {
        editor = ColumnEditor::Currency;
        displayFormat = format;
        return *this;
    }
    // Shows numbers with a format but edits them as text (rarely needed; counters, numbers).
    GridColumn& number(const QString& format) {
        displayFormat = format;
        return *this;
    }
    GridColumn& checkBox() {
        editor = ColumnEditor::CheckBox;
        alignment = Qt::AlignCenter;
        return *this;
    }
    GridColumn& dropDown(const QStringList& list) {
        editor = ColumnEditor::DropDown;
        items = list;
        return *this;
    }
    GridColumn& hidden() {
        visible = false;
        return *this;
    }
    GridColumn& footerCount(const QString& format = QStringLiteral("#,##0")) {
        footer = FooterSummary::Count;
        footerFormat = format;
        return *this;
    }
    GridColumn& footerSum(const QString& format = QString()) {
        footer = FooterSummary::Sum;
        footerFormat = format;
        return *this;
    }
    GridColumn& withBackground(const QColor& c) {
        background = c;
        return *this;
    }

    // Numbers are compared, summed and filtered as numbers.
    bool isNumeric() const { return editor == ColumnEditor::Currency || !displayFormat.isEmpty(); }
};

}  // namespace platform::ui
