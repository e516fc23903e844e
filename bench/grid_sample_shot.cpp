// Writes a picture of sample grids and editors (default /tmp/paydesk_grid_sample.png) so
// people can look at the toolkit. Runs offscreen when no display is set.
#include <QApplication>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QStyleFactory>
#include <QVBoxLayout>

#include "platform/ui/caption_cell.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"

using namespace platform::ui;

namespace {

DataGrid* historyGrid(QWidget* parent) {
    auto* g = new DataGrid(parent);
    g->setObjectName(QStringLiteral("grd_Bill"));
    g->addColumn(GridColumn("grd_Bill_BillDate", "요청일자", 90).centred());
    g->addColumn(GridColumn("grd_Bill_ID", "사용자아이디", 100).centred());
    g->addColumn(GridColumn("grd_Bill_User", "사용자명", 90).centred().footerCount("#,##0 건"));
    g->addColumn(GridColumn("grd_Bill_Bankcode", "출금은행코드", 60).hidden());
    g->addColumn(GridColumn("grd_Bill_BankName", "출금은행", 90).centred());
    g->addColumn(GridColumn("grd_Bill_Account", "계좌번호", 120).centred());
    g->addColumn(GridColumn("grd_Bill_AccountName", "예금주명", 80).centred());
    g->addColumn(
        GridColumn("grd_Bill_Amount", "요청금액", 100).currency().right().footerSum("#,##0 원"));
    g->addColumn(GridColumn("grd_Bill_ResultAmount", "출금금액", 100)
                     .currency()
                     .right()
                     .footerSum("#,##0 원"));
    g->addColumn(GridColumn("grd_Bill_Result", "결과", 80));
    g->setSortingEnabled(true);
    g->setFilteringEnabled(true);
    const char* names[] = {"김철수", "이영희", "박민수", "최지우", "정하늘", "강바다"};
    const char* banks[] = {"신한은행", "국민은행", "농협", "우리은행"};
    DataGrid::Update u(g);
    for (int i = 0; i < 9; ++i) {
        const int r = g->appendRow();
        g->setValue(r, "grd_Bill_BillDate",
                    QStringLiteral("2024.05.%1").arg(i * 3 + 1, 2, 10, QChar('0')));
        g->setValue(r, "grd_Bill_ID", QStringLiteral("%1").arg(i + 1, 10, 10, QChar('0')));
        g->setValue(r, "grd_Bill_User", QString::fromUtf8(names[i % 6]));
        g->setValue(r, "grd_Bill_BankName", QString::fromUtf8(banks[i % 4]));
        g->setValue(r, "grd_Bill_Account", QStringLiteral("110-%1-55").arg(1000 + i * 37));
        g->setValue(r, "grd_Bill_AccountName", QString::fromUtf8(names[(i + 2) % 6]));
        g->setValue(r, "grd_Bill_Amount", qint64(15000 * (i + 1) + 500));
        g->setValue(r, "grd_Bill_ResultAmount", qint64(i % 3 == 0 ? 0 : 15000 * (i + 1)));
        g->setValue(r, "grd_Bill_Result", i % 3 == 0 ? QString() : QStringLiteral("출금완료"));
    }
    return g;
}

DataGrid* importGrid(QWidget* parent) {
    auto* g = new DataGrid(parent);
    g->setObjectName(QStringLiteral("grdUser"));
    const QColor pink(0xFD, 0xF0, 0xF0), orange(0xFF, 0xAE, 0x88);
    g->addColumn(GridColumn("grdUser_Seq", "No.", 40).centred().readOnly());
    g->addColumn(GridColumn("grdUser_Chk", "선택", 40).checkBox());
    g->addColumn(GridColumn("grdUser_Exist", "등록여부", 60).checkBox().notFocusable());
    g->addColumn(GridColumn("grdUser_Name", "수급자명", 90)
                     .centred()
                     .notFocusable()
                     .footerCount("#,##0 명"));
    g->addColumn(GridColumn("grdUser_Tel", "연락처", 110).centred().withBackground(pink));
    g->addColumn(GridColumn("grdUser_Bank", "은행", 90)
                     .centred()
                     .dropDown({"기업은행", "국민은행", "신한은행"})
                     .withBackground(pink));
    g->addColumn(GridColumn("grdUser_Account", "계좌번호", 120).centred().withBackground(pink));
    g->setContentBackground(Qt::white);
    g->setContentStyle([g, orange](int record, const QString&) {
        return g->isChecked(record, "grdUser_Exist") ? orange : QColor();
    });
    DataGrid::Update u(g);
    for (int i = 0; i < 4; ++i) {
        const int r = g->appendRow();
        g->setValue(r, "grdUser_Seq", i + 1);
        g->setValue(r, "grdUser_Chk", i == 1);
        g->setValue(r, "grdUser_Exist", i == 2);
        g->setValue(r, "grdUser_Name", QStringLiteral("수급자%1").arg(i + 1));
        g->setValue(r, "grdUser_Tel", QStringLiteral("010-1234-56%1").arg(i, 2, 10, QChar('0')));
        g->setValue(r, "grdUser_Bank", i == 2 ? QStringLiteral("국민은행") : QString());
    }
    return g;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font;
    font.setFamilies({QStringLiteral("맑은 고딕"), QStringLiteral("Noto Sans CJK KR")});
    font.setPointSize(9);
    QApplication::setFont(font);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/paydesk_grid_sample.png");

    QWidget w;
    w.resize(1100, 760);
    auto* layout = new QVBoxLayout(&w);
    auto* top = new QGridLayout;
    auto* cap = new CaptionCell(QStringLiteral("출금일자"), &w);
    auto* from = new DateEdit(&w);
    from->setDisplayFormat(QStringLiteral("YYYY.MM.DD"));
    from->setDate(QDate(2024, 5, 1));
    cap->setBuddy(from);
    auto* dash = new QLabel(QStringLiteral("-"), &w);
    auto* to = new DateEdit(&w);
    to->setDisplayFormat(QStringLiteral("YYYY.MM.DD"));
    to->setDate(QDate(2024, 5, 31));
    top->addWidget(cap, 0, 0);
    top->addWidget(from, 0, 1);
    top->addWidget(dash, 0, 2);
    top->addWidget(to, 0, 3);
    top->setColumnStretch(4, 1);
    layout->addLayout(top);
    DataGrid* history = historyGrid(&w);
    layout->addWidget(history, 3);
    DataGrid* import = importGrid(&w);
    layout->addWidget(import, 2);
    auto* empty = new DataGrid(&w);
    empty->addColumn(GridColumn("grd_List_Seq", "순번", 47).centred().footerCount("#,##0 건"));
    empty->addColumn(GridColumn("grd_List_Name", "사용자명", 134).centred());
    layout->addWidget(empty, 1);
    w.show();
    history->sortBy(QStringLiteral("grd_Bill_Amount"), Qt::DescendingOrder);
    history->setFilter(ColumnFilter(QStringLiteral("grd_Bill_BankName"),
                                    {FilterOp::NotEqual, QStringLiteral("농협")}));
    QApplication::processEvents();
    const bool saved = w.grab().save(out);
    if (saved && argc > 2) {
        // Second picture: a date editor with its calendar open.
        from->showPopup();
        QApplication::processEvents();
        from->popup()->grab().save(QString::fromLocal8Bit(argv[2]));
    }
    return saved ? 0 : 1;
}
