#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace platform::ui {

// What a DataGrid shows, for writing it elsewhere (an Excel sheet): the visible columns in
// screen order, the rows that pass the filter in their sorted order, and the footer.
struct GridExport {
    struct Column {
        QString name;
        QString caption;
        int width = 0;  // design width
        Qt::Alignment alignment;
        bool numeric = false;
        QString displayFormat;
    };
    std::vector<Column> columns;
    std::vector<std::vector<QVariant>> values;  // stored values: numbers stay numbers
    std::vector<QStringList> texts;             // the same cells as shown
    QStringList footer;                         // summary texts, "" where none
    bool hasFooter = false;
};

}  // namespace platform::ui
