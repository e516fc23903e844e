#pragma once

#include <QString>
#include <stdexcept>

#include "platform/ui/grid_export.h"

namespace billing {

// The workbook could not be written; a file already at the path is left as it was.
class ExcelError : public std::runtime_error {
public:
    explicit ExcelError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Writes what a grid shows (GridExport: visible columns, filtered rows in their sorted order,
// footer) as one worksheet `sheet` of an .xlsx workbook at `path`: the captions as header row,
// text cells as shown, numeric cells as numbers with thousands separators, and the footer as
// a totals row ("합계" in the first column when that column has no summary). Written to a
// temporary file beside `path` and renamed into place. Throws ExcelError.
void writeGridWorkbook(const QString& path, const platform::ui::GridExport& view,
                       const QString& sheet);

}  // namespace billing
