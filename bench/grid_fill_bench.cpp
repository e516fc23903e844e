// Fills a DataGrid with 100,000 rows x 10 columns inside one update bracket and prints the
// time, the model resets and repaints of that fill, the time of a sort and a filter over
// those rows, and the peak memory of the process.
// Usage: grid_fill_bench [rows]   (runs offscreen when no display is set)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <cstdio>

#include "platform/ui/data_grid.h"
#include "platform/ui/grid_model.h"
#include "platform/ui/grid_view.h"

using namespace platform::ui;

namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

QString peakMemory() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("?");
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return QString::fromLatin1(line.mid(6).trimmed());
    return QStringLiteral("?");
}

void fill(DataGrid& grid, int rows, int round) {
    DataGrid::Update u(&grid);
    grid.clearRows();
    for (int i = 0; i < rows; ++i) {
        const int r = grid.appendRow();
        grid.setValue(r, 0, QString::number(i + 1));
        grid.setValue(r, 1, QStringLiteral("%1").arg(i + round, 10, 10, QChar(u'0')));
        grid.setValue(r, 2, QStringLiteral("사용자%1").arg(i % 5000));
        grid.setValue(r, 3, QStringLiteral("0%1").arg(i % 90 + 3));
        grid.setValue(r, 4, QStringLiteral("신한은행"));
        grid.setValue(r, 5, QStringLiteral("110-%1-%2").arg(i % 1000).arg(i));
        grid.setValue(r, 6, QStringLiteral("예금주%1").arg(i % 700));
        grid.setValue(r, 7, qint64(10000 + i));
        grid.setValue(r, 8, qint64(i % 2 ? 10000 + i : 0));
        grid.setValue(r, 9, i % 2 ? QStringLiteral("출금완료") : QString());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;

    DataGrid grid;
    grid.addColumn(GridColumn("seq", "순번", 50).centred().footerCount("#,##0 건"));
    grid.addColumn(GridColumn("id", "사용자아이디", 100).centred());
    grid.addColumn(GridColumn("name", "사용자명", 90).centred());
    grid.addColumn(GridColumn("bankcode", "출금은행코드", 60).hidden());
    grid.addColumn(GridColumn("bank", "출금은행", 90).centred());
    grid.addColumn(GridColumn("account", "계좌번호", 120).centred());
    grid.addColumn(GridColumn("owner", "예금주명", 80).centred());
    grid.addColumn(GridColumn("amount", "요청금액", 100).currency().right().footerSum("#,##0 원"));
    grid.addColumn(GridColumn("result", "출금금액", 100).currency().right().footerSum("#,##0 원"));
    grid.addColumn(GridColumn("name2", "결과", 80));
    grid.resize(1250, 530);
    grid.show();
    QApplication::processEvents();

    PaintCounter counter;
    grid.view()->viewport()->installEventFilter(&counter);
    int resets = 0;
    QObject::connect(grid.model(), &QAbstractItemModel::modelReset, [&] { ++resets; });

    for (int round = 1; round <= 2; ++round) {
        counter.paints = 0;
        resets = 0;
        QElapsedTimer t;
        t.start();
        fill(grid, rows, round);
        const qint64 fillMs = t.elapsed();
        QApplication::processEvents();  // the one redraw
        const qint64 shownMs = t.elapsed();
        std::printf(
            "fill %d: %d rows x %d columns in %lld ms (on screen after %lld ms); model resets: "
            "%d; repaints: %d; footer: %s / %s\n",
            round, grid.recordCount(), grid.columnCount(), static_cast<long long>(fillMs),
            static_cast<long long>(shownMs), resets, counter.paints,
            qPrintable(grid.footerText("seq")), qPrintable(grid.footerText("amount")));
    }
    QElapsedTimer t;
    t.start();
    grid.sortBy(QStringLiteral("name"));
    const qint64 sortMs = t.restart();
    grid.setFilter(ColumnFilter(QStringLiteral("name"), {FilterOp::Like, QStringLiteral("%7")}));
    const qint64 filterMs = t.elapsed();
    std::printf("sort by name: %lld ms; filter name like %%7: %lld ms, %d rows shown, %s\n",
                static_cast<long long>(sortMs), static_cast<long long>(filterMs),
                grid.visibleCount(), qPrintable(grid.footerText("amount")));
    std::printf("peak memory (VmHWM): %s\n", qPrintable(peakMemory()));
    return 0;
}
