#pragma once

#include <xlsxwriter.h>

#include <QString>

namespace platform::library {

// libxlsxwriter, loaded by the first Excel export rather than at program start (see
// SharedLibrary).
class XlsxLibrary {
public:
    // The loaded library, or nullptr when it cannot be loaded (`error`, if given, says why).
    // Loads once per process; thread-safe.
    static const XlsxLibrary* get(QString* error = nullptr);

    decltype(&::format_set_align) format_set_align = nullptr;
    decltype(&::format_set_bg_color) format_set_bg_color = nullptr;
    decltype(&::format_set_bold) format_set_bold = nullptr;
    decltype(&::format_set_border) format_set_border = nullptr;
    decltype(&::format_set_num_format) format_set_num_format = nullptr;
    decltype(&::format_set_top) format_set_top = nullptr;
    decltype(&::lxw_strerror) lxw_strerror = nullptr;
    decltype(&::workbook_add_format) workbook_add_format = nullptr;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet = nullptr;
    decltype(&::workbook_close) workbook_close = nullptr;
    decltype(&::workbook_new) workbook_new = nullptr;
    decltype(&::worksheet_freeze_panes) worksheet_freeze_panes = nullptr;
    decltype(&::worksheet_set_column) worksheet_set_column = nullptr;
    decltype(&::worksheet_write_blank) worksheet_write_blank = nullptr;
    decltype(&::worksheet_write_number) worksheet_write_number = nullptr;
    decltype(&::worksheet_write_string) worksheet_write_string = nullptr;

private:
    XlsxLibrary() = default;
};

}  // namespace platform::library
