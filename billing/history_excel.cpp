#include "billing/history_excel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <filesystem>
#include <map>
#include <memory>

#include "platform/library/xlsx_library.h"

namespace billing {

namespace {

// The library; loaded by writeTo(), which every other use of it follows.
const platform::library::XlsxLibrary& xlsx() {
    return *platform::library::XlsxLibrary::get();
}

struct WorkbookCloser {
    void operator()(lxw_workbook* w) const {
        if (w) xlsx().workbook_close(w);
    }
};

// A footer text "1,234,567 원" as its number and the text after it.
struct Summary {
    bool numeric = false;
    double value = 0;
    QString suffix;
};

Summary parseSummary(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^\\s*(-?[0-9][0-9,]*)(.*)$"));
    const auto m = re.match(text);
    Summary s;
    if (!m.hasMatch()) return s;
    QString digits = m.captured(1);
    digits.remove(u',');
    bool ok = false;
    const qint64 v = digits.toLongLong(&ok);
    if (!ok) return s;
    s.numeric = true;
    s.value = static_cast<double>(v);
    s.suffix = m.captured(2);
    return s;
}

// Excel number format showing `suffix` after the grouped number: #,##0" 원".
QByteArray numberFormat(const QString& suffix) {
    QString f = QStringLiteral("#,##0");
    if (!suffix.isEmpty()) {
        QString quoted = suffix;
        quoted.replace(u'"', QStringLiteral("\"\""));
        f += u'"' + quoted + u'"';
    }
    return f.toUtf8();
}

uint8_t horizontal(Qt::Alignment a) {
    if (a & Qt::AlignHCenter) return LXW_ALIGN_CENTER;
    if (a & Qt::AlignRight) return LXW_ALIGN_RIGHT;
    return LXW_ALIGN_LEFT;
}

void check(lxw_error e, const QString& path) {
    if (e != LXW_NO_ERROR)
        throw ExcelError(
            QStringLiteral("엑셀 파일을 저장할 수 없습니다.\n%1\n(%2)")
                .arg(QDir::toNativeSeparators(path), QString::fromUtf8(xlsx().lxw_strerror(e))));
}

void writeTo(const QString& file, const QString& shownPath, const platform::ui::GridExport& view,
             const QString& sheetName) {
    QString why;
    if (!platform::library::XlsxLibrary::get(&why))
        throw ExcelError(QStringLiteral("엑셀 파일을 저장할 수 없습니다.\n%1\n(%2)")
                             .arg(QDir::toNativeSeparators(shownPath), why));
    std::unique_ptr<lxw_workbook, WorkbookCloser> book(
        xlsx().workbook_new(QFile::encodeName(file).constData()));
    if (!book) check(LXW_ERROR_MEMORY_MALLOC_FAILED, shownPath);
    const QByteArray name = sheetName.left(31).toUtf8();
    lxw_worksheet* sheet = xlsx().workbook_add_worksheet(book.get(), name.constData());
    if (!sheet) check(LXW_ERROR_SHEETNAME_ALREADY_USED, shownPath);

    lxw_format* header = xlsx().workbook_add_format(book.get());
    xlsx().format_set_bold(header);
    xlsx().format_set_align(header, LXW_ALIGN_CENTER);
    xlsx().format_set_align(header, LXW_ALIGN_VERTICAL_CENTER);
    xlsx().format_set_bg_color(header, 0xD9D9D9);
    xlsx().format_set_border(header, LXW_BORDER_THIN);

    const auto columns = view.columns.size();
    std::vector<lxw_format*> cellFormats(columns);
    for (size_t c = 0; c < columns; ++c) {
        const auto& col = view.columns[c];
        lxw_format* f = xlsx().workbook_add_format(book.get());
        xlsx().format_set_align(f, horizontal(col.alignment));
        if (col.numeric) xlsx().format_set_num_format(f, "#,##0");
        cellFormats[c] = f;
        check(xlsx().worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c),
                                            col.caption.toUtf8().constData(), header),
              shownPath);
        // Design widths are pixels; a character column of Excel is about 7 of them.
        xlsx().worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                    std::max(8.0, col.width / 7.0), nullptr);
    }

    lxw_row_t row = 1;
    for (size_t r = 0; r < view.values.size(); ++r, ++row) {
        for (size_t c = 0; c < columns; ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            const QVariant& v = view.values[r][c];
            if (view.columns[c].numeric) {
                bool ok = false;
                const qint64 n = v.toLongLong(&ok);
                if (v.isValid() && !v.isNull() && ok)
                    check(xlsx().worksheet_write_number(sheet, row, col, static_cast<double>(n),
                                                        cellFormats[c]),
                          shownPath);
                continue;
            }
            const QString& text = view.texts[r][static_cast<qsizetype>(c)];
            if (!text.isEmpty())
                check(xlsx().worksheet_write_string(sheet, row, col, text.toUtf8().constData(),
                                                    cellFormats[c]),
                      shownPath);
        }
    }

    if (view.hasFooter) {
        std::map<QByteArray, lxw_format*> totals;
        auto totalFormat = [&](const QByteArray& numFormat, Qt::Alignment a) {
            const QByteArray key = numFormat + QByteArray::number(horizontal(a));
            auto it = totals.find(key);
            if (it != totals.end()) return it->second;
            lxw_format* f = xlsx().workbook_add_format(book.get());
            xlsx().format_set_bold(f);
            xlsx().format_set_top(f, LXW_BORDER_THIN);
            xlsx().format_set_align(f, horizontal(a));
            if (!numFormat.isEmpty()) xlsx().format_set_num_format(f, numFormat.constData());
            totals.emplace(key, f);
            return f;
        };
        for (size_t c = 0; c < columns; ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            const QString text = c < static_cast<size_t>(view.footer.size())
                                     ? view.footer[static_cast<qsizetype>(c)]
                                     : QString();
            if (text.isEmpty()) {
                if (c == 0)
                    check(xlsx().worksheet_write_string(sheet, row, col, "합계",
                                                        totalFormat({}, Qt::AlignHCenter)),
                          shownPath);
                else
                    xlsx().worksheet_write_blank(sheet, row, col, totalFormat({}, Qt::AlignLeft));
                continue;
            }
            const Summary s = parseSummary(text);
            if (s.numeric)
                check(xlsx().worksheet_write_number(
                          sheet, row, col, s.value,
                          totalFormat(numberFormat(s.suffix), Qt::AlignRight)),
                      shownPath);
            else
                check(xlsx().worksheet_write_string(sheet, row, col, text.toUtf8().constData(),
                                                    totalFormat({}, Qt::AlignRight)),
                      shownPath);
        }
    }
    xlsx().worksheet_freeze_panes(sheet, 1, 0);

    lxw_workbook* raw = book.release();
    check(xlsx().workbook_close(raw), shownPath);
}

}  // namespace

void writeGridWorkbook(const QString& path, const platform::ui::GridExport& view,
                       const QString& sheet) {
    const QFileInfo target(path);
    if (!target.dir().exists())
        throw ExcelError(QStringLiteral("엑셀 파일을 저장할 폴더가 없습니다.\n%1")
                             .arg(QDir::toNativeSeparators(target.absolutePath())));
    // The workbook is written beside the target and then renamed over it, so a failure never
    // leaves a broken workbook where the user's file was.
    const QString temp = target.dir().filePath(
        QStringLiteral(".%1.%2.tmp")
            .arg(target.fileName())
            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    try {
        writeTo(temp, path, view, sheet);
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(temp).toStdString(),
                                QFile::encodeName(path).toStdString(), ec);
        if (ec)
            throw ExcelError(
                QStringLiteral("엑셀 파일을 저장할 수 없습니다.\n%1\n(%2)")
                    .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(ec.message())));
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

}  // namespace billing
