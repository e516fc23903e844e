#include "platform/library/xlsx_library.h"

#include "platform/library/shared_library.h"

namespace platform::library {

const XlsxLibrary* XlsxLibrary::get(QString* error) {
    static QString failure;
    static const XlsxLibrary* const loaded = []() -> const XlsxLibrary* {
        static SharedLibrary lib(QStringLiteral("xlsxwriter"), 4, QStringLiteral("xlsxwriter"));
        static XlsxLibrary api;
        lib.resolve("format_set_align", api.format_set_align);
        lib.resolve("format_set_bg_color", api.format_set_bg_color);
        lib.resolve("format_set_bold", api.format_set_bold);
        lib.resolve("format_set_border", api.format_set_border);
        lib.resolve("format_set_num_format", api.format_set_num_format);
        lib.resolve("format_set_top", api.format_set_top);
        lib.resolve("lxw_strerror", api.lxw_strerror);
        lib.resolve("workbook_add_format", api.workbook_add_format);
        lib.resolve("workbook_add_worksheet", api.workbook_add_worksheet);
        lib.resolve("workbook_close", api.workbook_close);
        lib.resolve("workbook_new", api.workbook_new);
        lib.resolve("worksheet_freeze_panes", api.worksheet_freeze_panes);
        lib.resolve("worksheet_set_column", api.worksheet_set_column);
        lib.resolve("worksheet_write_blank", api.worksheet_write_blank);
        lib.resolve("worksheet_write_number", api.worksheet_write_number);
        lib.resolve("worksheet_write_string", api.worksheet_write_string);
        failure = lib.error();
        return lib.ok() ? &api : nullptr;
    }();
    if (error) *error = failure;
    return loaded;
}

}  // namespace platform::library
