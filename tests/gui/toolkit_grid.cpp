// The data grid: empty text, footer summaries, fill bracket, focus, sorting, filtering, edit
// lock, editors, check-box header hook, styles and export.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "platform/ui/currency_edit.h"
#include "platform/ui/custom_filter_dialog.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/filter_popup.h"
#include "platform/ui/grid_header.h"
#include "platform/ui/grid_model.h"
#include "platform/ui/grid_view.h"
#include "platform/ui/row_indicator.h"
#include "platform/ui/toolkit_texts.h"

using namespace platform::ui;

namespace {

struct Payment {
    const char* user;
    const char* bank;
    qint64 amount;
    qint64 result;
};

// The withdrawal history of a few payers, as the history form shows it.
const Payment kPayments[] = {
    {"김철수", "신한은행", 15000, 15000},
    {"이영희", "국민은행", 30000, 0},
    {"박민수", "신한은행", 1234567, 1234567},
    {"최지우", "", 500, 500},
    {"강바다", "농협", 0, 0},
};

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid = std::make_unique<DataGrid>();
        grid->setObjectName(QStringLiteral("grd_Bill"));
        grid->addColumn(
            GridColumn("grd_Bill_User", "사용자명", 90).centred().footerCount("#,##0 건"));
        grid->addColumn(GridColumn("grd_Bill_Bankcode", "출금은행코드", 60).hidden());
        grid->addColumn(GridColumn("grd_Bill_BankName", "출금은행", 90).centred());
        grid->addColumn(GridColumn("grd_Bill_Amount", "요청금액", 100)
                            .currency()
                            .right()
                            .footerSum("#,##0 원"));
        grid->addColumn(GridColumn("grd_Bill_ResultAmount", "출금금액", 100)
                            .currency()
                            .right()
                            .notFocusable()
                            .footerSum("#,##0 원"));
        grid->addColumn(GridColumn("grd_Bill_Result", "결과", 80).readOnly());
        grid->resize(800, 400);
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    }

    void fill(int rows = int(std::size(kPayments))) {
        DataGrid::Update u(grid.get());
        grid->clearRows();
        for (int i = 0; i < rows; ++i) {
            const Payment& p = kPayments[i % std::size(kPayments)];
            const int r = grid->appendRow();
            grid->setValue(r, "grd_Bill_User", QString::fromUtf8(p.user));
            grid->setValue(r, "grd_Bill_BankName", QString::fromUtf8(p.bank));
            grid->setValue(r, "grd_Bill_Amount", p.amount);
            grid->setValue(r, "grd_Bill_ResultAmount", p.result);
        }
    }

    QStringList shownColumn(const QString& column) const {
        QStringList out;
        for (int r : grid->visibleRecords()) out << grid->displayText(r, column);
        return out;
    }

    GridView* view() const { return grid->view(); }
    GridHeader* header() const { return static_cast<GridHeader*>(view()->horizontalHeader()); }
    QPoint headerPoint(const QString& column) const {
        const int c = grid->columnIndex(column);
        return {header()->sectionViewportPosition(c) + 10, header()->height() / 2};
    }
    QRect cellRect(int record, const QString& column) const {
        return view()->visualRect(
            grid->model()->index(grid->model()->rowOf(record), grid->columnIndex(column)));
    }

    std::unique_ptr<DataGrid> grid;
};

QImage grabViewport(GridView* v) {
    return v->viewport()->grab().toImage();
}

TEST_F(GridTest, EmptyGridPaintsTheNoDataText) {
    EXPECT_EQ(view()->emptyText(), QStringLiteral("출력할 자료가 없습니다."));
    const QImage withText = grabViewport(view());
    grid->setEmptyText(QString());
    const QImage blank = grabViewport(view());
    EXPECT_NE(withText, blank) << "the empty text is painted";
    grid->setEmptyText(texts::noData());
    fill();
    grid->clearRows();
    EXPECT_EQ(grabViewport(view()), withText) << "after clearing the text shows again";
    fill();
    grid->setEmptyText(QString());
    const QImage rowsWithout = grabViewport(view());
    grid->setEmptyText(texts::noData());
    EXPECT_EQ(grabViewport(view()), rowsWithout) << "no empty text over rows";
}

TEST_F(GridTest, FooterCountsRowsAndSumsAmounts) {
    EXPECT_EQ(grid->footerText("grd_Bill_User"), QStringLiteral("0 건"));
    EXPECT_EQ(grid->footerText("grd_Bill_Amount"), QStringLiteral("0 원"));
    fill();
    EXPECT_EQ(grid->footerText("grd_Bill_User"), QStringLiteral("5 건"));
    EXPECT_EQ(grid->footerText("grd_Bill_Amount"), QStringLiteral("1,280,067 원"));
    EXPECT_EQ(grid->footerText("grd_Bill_ResultAmount"), QStringLiteral("1,250,067 원"));
    EXPECT_EQ(grid->footerText("grd_Bill_BankName"), QString());
    fill(2000);
    EXPECT_EQ(grid->footerText("grd_Bill_User"), QStringLiteral("2,000 건"));
    EXPECT_EQ(grid->footerText("grd_Bill_Amount"), QStringLiteral("512,026,800 원"));
    // A programmatic change outside a fill is summed too.
    grid->setValue(0, "grd_Bill_Amount", qint64(15001));
    EXPECT_EQ(grid->footerText("grd_Bill_Amount"), QStringLiteral("512,026,801 원"));
}

TEST_F(GridTest, CellsShowTheirDisplayFormatAndReadBackRaw) {
    fill();
    EXPECT_EQ(grid->displayText(2, "grd_Bill_Amount"), QStringLiteral("1,234,567"));
    EXPECT_EQ(grid->text(2, "grd_Bill_Amount"), QStringLiteral("1234567"));
    EXPECT_EQ(grid->number(2, "grd_Bill_Amount"), 1234567);
    EXPECT_EQ(grid->displayText(4, "grd_Bill_Amount"), QStringLiteral("0"));
    grid->setValue(4, "grd_Bill_Amount", QVariant());
    bool ok = true;
    EXPECT_EQ(grid->number(4, "grd_Bill_Amount", &ok), 0);
    EXPECT_FALSE(ok) << "an emptied amount is no number";
    EXPECT_EQ(grid->displayText(4, "grd_Bill_Amount"), QString());
    EXPECT_EQ(grid->text(0, "grd_Bill_User"), QStringLiteral("김철수"));
    EXPECT_EQ(grid->text(0, "grd_Bill_Nope"), QString()) << "unknown column";
    EXPECT_EQ(grid->text(99, "grd_Bill_User"), QString()) << "unknown record";
    EXPECT_TRUE(view()->isColumnHidden(grid->columnIndex("grd_Bill_Bankcode")));
    grid->setColumnVisible("grd_Bill_Bankcode", true);
    EXPECT_FALSE(view()->isColumnHidden(grid->columnIndex("grd_Bill_Bankcode")));
}

TEST_F(GridTest, ColumnsShareTheWidthInProportion) {
    const int avail = view()->viewport()->width();
    int total = 0;
    for (int c = 0; c < grid->columnCount(); ++c)
        if (!view()->isColumnHidden(c)) total += header()->sectionSize(c);
    EXPECT_EQ(total, avail);
    // 90 : 100 design widths
    EXPECT_NEAR(double(header()->sectionSize(grid->columnIndex("grd_Bill_User"))) /
                    header()->sectionSize(grid->columnIndex("grd_Bill_Amount")),
                0.9, 0.02);
    EXPECT_EQ(header()->height(), 30);
    fill();
    EXPECT_EQ(view()->rowHeight(0), 30);
}

// One fill = one model reset and one redraw, whatever the number of rows.
TEST_F(GridTest, OneResetAndOneRedrawPerFill) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    view()->viewport()->installEventFilter(&counter);
    QSignalSpy resets(grid->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(grid->model(), &QAbstractItemModel::rowsInserted);
    QApplication::processEvents();
    counter.paints = 0;
    fill(3000);
    QApplication::processEvents();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserts.count(), 0);
    EXPECT_EQ(counter.paints, 1);
    view()->viewport()->removeEventFilter(&counter);
}

TEST_F(GridTest, FocusFollowsRefillsAndEmptying) {
    QSignalSpy focus(grid.get(), &DataGrid::focusedRecordChanged);
    fill();
    ASSERT_EQ(focus.count(), 1);
    EXPECT_EQ(focus.takeFirst().at(0).toInt(), 0);
    auto* indicator = static_cast<RowIndicator*>(view()->verticalHeader());
    EXPECT_EQ(indicator->focusedRow(), 0);

    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                      cellRect(2, "grd_Bill_User").center());
    ASSERT_EQ(focus.count(), 1);
    EXPECT_EQ(focus.takeFirst().at(0).toInt(), 2);
    EXPECT_EQ(indicator->focusedRow(), 2);

    // A refill holds new data: the first row is focused and the handler runs again, also when
    // the index was already 0.
    fill();
    ASSERT_EQ(focus.count(), 1);
    EXPECT_EQ(focus.takeFirst().at(0).toInt(), 0);
    fill();
    EXPECT_EQ(focus.count(), 1);
    focus.clear();

    grid->clearRows();
    ASSERT_EQ(focus.count(), 1);
    EXPECT_EQ(focus.takeFirst().at(0).toInt(), -1);
    EXPECT_EQ(grid->focusedRecord(), -1);
    grid->clearRows();
    EXPECT_EQ(focus.count(), 0) << "already empty: the focus did not move";
}

TEST_F(GridTest, NotFocusableColumnsAreSkipped) {
    fill();
    // A click on the withdrawn amount lands on a focusable neighbour of the same row.
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                      cellRect(1, "grd_Bill_ResultAmount").center());
    EXPECT_EQ(grid->focusedRecord(), 1);
    const int col = view()->currentIndex().column();
    EXPECT_NE(col, grid->columnIndex("grd_Bill_ResultAmount"));
    EXPECT_EQ(col, grid->columnIndex("grd_Bill_Result"));
    QTest::keyClick(view(), Qt::Key_Left);
    EXPECT_EQ(view()->currentIndex().column(), grid->columnIndex("grd_Bill_Amount"));
}

TEST_F(GridTest, HeaderClickSortsWhenAllowed) {
    fill();
    QSignalSpy clicks(grid.get(), &DataGrid::headerClicked);
    QTest::mouseClick(header()->viewport(), Qt::LeftButton, {}, headerPoint("grd_Bill_Amount"));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.first().at(0).toString(), QStringLiteral("grd_Bill_Amount"));
    EXPECT_EQ(shownColumn("grd_Bill_User").first(), QStringLiteral("김철수")) << "sorting is off";

    grid->setSortingEnabled(true);
    QTest::mouseClick(header()->viewport(), Qt::LeftButton, {}, headerPoint("grd_Bill_Amount"));
    EXPECT_EQ(shownColumn("grd_Bill_Amount"),
              QStringList({"0", "500", "15,000", "30,000", "1,234,567"}));
    QTest::mouseClick(header()->viewport(), Qt::LeftButton, {}, headerPoint("grd_Bill_Amount"));
    EXPECT_EQ(shownColumn("grd_Bill_Amount"),
              QStringList({"1,234,567", "30,000", "15,000", "500", "0"}));
    QTest::mouseClick(header()->viewport(), Qt::LeftButton, {}, headerPoint("grd_Bill_User"));
    EXPECT_EQ(shownColumn("grd_Bill_User"),
              QStringList({"강바다", "김철수", "박민수", "이영희", "최지우"}));
    EXPECT_EQ(header()->sortIndicatorSection(), grid->columnIndex("grd_Bill_User"));
    // Records keep their indexes: record 0 is still 김철수, now shown second.
    EXPECT_EQ(grid->text(0, "grd_Bill_User"), QStringLiteral("김철수"));
    EXPECT_EQ(grid->model()->rowOf(0), 1);
    // A refill keeps the sort order.
    fill();
    EXPECT_EQ(shownColumn("grd_Bill_User").first(), QStringLiteral("강바다"));
}

TEST_F(GridTest, FilterDropDownOffersKoreanEntriesAndValues) {
    fill();
    EXPECT_TRUE(header()->filterButtonRect(0).isEmpty()) << "filtering is off";
    grid->setFilteringEnabled(true);
    const QRect button = header()->filterButtonRect(grid->columnIndex("grd_Bill_BankName"));
    ASSERT_FALSE(button.isEmpty());
    QSignalSpy clicks(grid.get(), &DataGrid::headerClicked);
    QTest::mouseClick(header()->viewport(), Qt::LeftButton, {}, button.center());
    EXPECT_EQ(clicks.count(), 0) << "the filter button is no header click";
    auto* popup = grid->findChild<FilterPopup*>("gridFilterPopup");
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->isVisible());
    QStringList entries;
    for (int i = 0; i < popup->list()->count(); ++i) entries << popup->list()->item(i)->text();
    EXPECT_EQ(entries, QStringList({"(전체)", "(사용자정의)", "국민은행", "농협", "신한은행"}));

    // Picking a value filters on it; footers follow the shown rows.
    QListWidgetItem* shinhan = popup->list()->item(4);
    QTest::mouseClick(popup->list()->viewport(), Qt::LeftButton, {},
                      popup->list()->visualItemRect(shinhan).center());
    QApplication::processEvents();
    EXPECT_EQ(shownColumn("grd_Bill_User"), QStringList({"김철수", "박민수"}));
    EXPECT_EQ(grid->footerText("grd_Bill_User"), QStringLiteral("2 건"));
    EXPECT_EQ(grid->footerText("grd_Bill_Amount"), QStringLiteral("1,249,567 원"));
    auto* bar = grid->findChild<QWidget*>("gridFilterBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    auto* customize = bar->findChild<QPushButton*>("btnCustomizeFilter");
    ASSERT_NE(customize, nullptr);
    EXPECT_EQ(customize->text(), QStringLiteral("사용자정의"));

    // "(전체)" shows everything again.
    grid->showFilterPopup("grd_Bill_BankName");
    popup = grid->findChild<FilterPopup*>("gridFilterPopup");
    ASSERT_NE(popup, nullptr);
    QTest::mouseClick(popup->list()->viewport(), Qt::LeftButton, {},
                      popup->list()->visualItemRect(popup->list()->item(0)).center());
    QApplication::processEvents();
    EXPECT_EQ(grid->visibleCount(), 5);
    EXPECT_EQ(grid->footerText("grd_Bill_User"), QStringLiteral("5 건"));
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(GridTest, CustomFilterDialogOffersTheKoreanOperators) {
    fill();
    grid->setFilteringEnabled(true);
    grid->showFilterPopup("grd_Bill_User");
    auto* popup = grid->findChild<FilterPopup*>("gridFilterPopup");
    ASSERT_NE(popup, nullptr);
    QTest::mouseClick(popup->list()->viewport(), Qt::LeftButton, {},
                      popup->list()->visualItemRect(popup->list()->item(1)).center());
    QApplication::processEvents();
    auto* dialog = grid->findChild<CustomFilterDialog*>("customFilterDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    auto* op1 = dialog->findChild<QComboBox*>("op1");
    auto* value1 = dialog->findChild<QComboBox*>("value1");
    ASSERT_TRUE(op1 && value1);
    QStringList ops;
    for (int i = 0; i < op1->count(); ++i) ops << op1->itemText(i);
    EXPECT_EQ(
        ops, QStringList({"=", "<>", "<", "<=", ">", ">=", "유사값(like)", "유사하지않은(not like)",
                          "공백(is blank)", "공백아닌것(is not blank)"}));
    // like: "%수" = names ending in 수
    op1->setCurrentIndex(op1->findText("유사값(like)"));
    value1->setEditText("%수");
    dialog->findChild<QPushButton*>("btnOk")->click();
    QApplication::processEvents();
    EXPECT_EQ(shownColumn("grd_Bill_User"), QStringList({"김철수", "박민수"}));
    EXPECT_EQ(grid->footerText("grd_Bill_User"), QStringLiteral("2 건"));
    EXPECT_TRUE(grid->filterText().contains(QStringLiteral("유사값(like) %수")));
}

// The operators through the custom-filter dialog, each on the column it suits.
TEST_F(GridTest, CustomFilterOperators) {
    fill();
    struct Case {
        const char* column;
        const char* op1;
        const char* value1;
        const char* op2;  // "" = no second condition
        const char* value2;
        bool orJoined;
        QStringList users;
    } cases[] = {
        {"grd_Bill_BankName", "공백(is blank)", "", "", "", false, {"최지우"}},
        {"grd_Bill_BankName",
         "공백아닌것(is not blank)",
         "",
         "",
         "",
         false,
         {"김철수", "이영희", "박민수", "강바다"}},
        {"grd_Bill_BankName",
         "유사하지않은(not like)",
         "신한%",
         "",
         "",
         false,
         {"이영희", "최지우", "강바다"}},
        {"grd_Bill_Amount", ">=", "15,000", "", "", false, {"김철수", "이영희", "박민수"}},
        {"grd_Bill_Amount", "<", "15000", "<>", "0", false, {"최지우"}},
        {"grd_Bill_Amount", "=", "0", "=", "500", true, {"최지우", "강바다"}},
        {"grd_Bill_Amount", "<=", "500", "", "", false, {"최지우", "강바다"}},
        {"grd_Bill_Amount", ">", "1000000", "", "", false, {"박민수"}},
        {"grd_Bill_User", "<>", "김철수", "", "", false, {"이영희", "박민수", "최지우", "강바다"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " " + c.op1 + " " + c.value1);
        grid->clearFilter();
        grid->showCustomFilter(c.column);
        auto* dialog = grid->findChild<CustomFilterDialog*>("customFilterDialog");
        ASSERT_NE(dialog, nullptr);
        auto* op1 = dialog->findChild<QComboBox*>("op1");
        auto* op2 = dialog->findChild<QComboBox*>("op2");
        op1->setCurrentIndex(op1->findText(QString::fromUtf8(c.op1)));
        dialog->findChild<QComboBox*>("value1")->setEditText(QString::fromUtf8(c.value1));
        op2->setCurrentIndex(op2->findText(QString::fromUtf8(c.op2)));
        dialog->findChild<QComboBox*>("value2")->setEditText(QString::fromUtf8(c.value2));
        dialog->findChild<QRadioButton*>(c.orJoined ? "rdo_Or" : "rdo_And")->setChecked(true);
        dialog->findChild<QPushButton*>("btnOk")->click();
        QApplication::processEvents();
        EXPECT_EQ(shownColumn("grd_Bill_User"), c.users);
        delete grid->findChild<CustomFilterDialog*>("customFilterDialog");
    }
}

TEST_F(GridTest, CustomFilterRefusesANonNumberForAmounts) {
    fill();
    grid->showCustomFilter("grd_Bill_Amount");
    auto* dialog = grid->findChild<CustomFilterDialog*>("customFilterDialog");
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QComboBox*>("op1")->setCurrentIndex(0);  // "="
    dialog->findChild<QComboBox*>("value1")->setEditText("만원");
    dialog->findChild<QPushButton*>("btnOk")->click();
    QApplication::processEvents();
    EXPECT_TRUE(dialog->isVisible());
    auto* error = dialog->findChild<QLabel*>("lb_Error");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->text(), QStringLiteral("숫자를 입력하세요."));
    EXPECT_FALSE(grid->hasFilter());
    EXPECT_EQ(grid->visibleCount(), 5);
}

TEST_F(GridTest, EditLockSwitchesBetweenCellAndRowSelection) {
    fill();
    const QModelIndex amount = grid->model()->index(0, grid->columnIndex("grd_Bill_Amount"));
    const QModelIndex result = grid->model()->index(0, grid->columnIndex("grd_Bill_Result"));
    EXPECT_TRUE(grid->model()->flags(amount) & Qt::ItemIsEditable);
    EXPECT_FALSE(grid->model()->flags(result) & Qt::ItemIsEditable) << "read only";
    grid->setCellSelect(false);
    EXPECT_FALSE(grid->model()->flags(amount) & Qt::ItemIsEditable);
    EXPECT_EQ(view()->selectionBehavior(), QAbstractItemView::SelectRows);
    view()->setCurrentIndex(amount);
    QTest::keyClicks(view(), "5");
    EXPECT_FALSE(view()->indexWidget(amount)) << "no editor opens while locked";
    EXPECT_EQ(grid->number(0, "grd_Bill_Amount"), 15000);
    grid->setCellSelect(true);
    EXPECT_EQ(view()->selectionBehavior(), QAbstractItemView::SelectItems);
    EXPECT_TRUE(grid->model()->flags(amount) & Qt::ItemIsEditable);
}

TEST_F(GridTest, AmountCellsTakeDigitsOnly) {
    fill();
    QSignalSpy edited(grid.get(), &DataGrid::cellEdited);
    const QModelIndex amount = grid->model()->index(0, grid->columnIndex("grd_Bill_Amount"));
    view()->setCurrentIndex(amount);
    view()->edit(amount);
    auto* editor = qobject_cast<CurrencyEdit*>(view()->indexWidget(amount));
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "1a2b3-4.5x6");
    EXPECT_EQ(editor->text(), QStringLiteral("123,456"));
    EXPECT_TRUE(grid->postEdit());
    EXPECT_EQ(grid->number(0, "grd_Bill_Amount"), 123456);
    EXPECT_EQ(grid->displayText(0, "grd_Bill_Amount"), QStringLiteral("123,456"));
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited.first().at(1).toString(), QStringLiteral("grd_Bill_Amount"));
    EXPECT_EQ(grid->footerText("grd_Bill_Amount"), QStringLiteral("1,388,523 원"));

    // Emptying the cell leaves no number.
    view()->edit(amount);
    editor = qobject_cast<CurrencyEdit*>(view()->indexWidget(amount));
    ASSERT_NE(editor, nullptr);
    editor->clear();
    grid->postEdit();
    EXPECT_FALSE(grid->value(0, "grd_Bill_Amount").isValid());
}

TEST(CurrencyEdit, GroupsThousandsAndKeepsTheCursor) {
    CurrencyEdit e;
    e.show();
    QTest::keyClicks(&e, "1234567");
    EXPECT_EQ(e.text(), QStringLiteral("1,234,567"));
    EXPECT_EQ(e.value(), 1234567);
    e.setCursorPosition(1);  // after "1"
    QTest::keyClick(&e, Qt::Key_9);
    EXPECT_EQ(e.text(), QStringLiteral("19,234,567"));
    EXPECT_EQ(e.cursorPosition(), 2);
    e.clear();
    EXPECT_FALSE(e.value().has_value());
    QTest::keyClicks(&e, "007");
    EXPECT_EQ(e.text(), QStringLiteral("7"));
    QTest::keyClicks(&e, "0000000000000000000");  // beyond 15 digits nothing more is taken
    EXPECT_EQ(e.value(), 700000000000000);
}

// Check boxes, the header hook and row styles, as the beneficiary import uses them.
TEST(GridCheckBoxes, HeaderClickAndRowStyles) {
    DataGrid grid;
    grid.addColumn(GridColumn("grdUser_Seq", "No.", 40).readOnly());
    grid.addColumn(GridColumn("grdUser_Chk", "선택", 40).checkBox());
    grid.addColumn(GridColumn("grdUser_Exist", "등록여부", 60).checkBox().notFocusable());
    grid.addColumn(GridColumn("grdUser_Tel", "연락처", 100).withBackground(QColor(0xFDF0F0)));
    grid.addColumn(GridColumn("grdUser_Bank", "은행", 90).dropDown({"기업은행", "국민은행"}));
    grid.setContentBackground(Qt::white);
    const QColor orange(0xFF, 0xAE, 0x88);
    grid.setContentStyle([&](int record, const QString&) {
        return grid.isChecked(record, "grdUser_Exist") ? orange : QColor();
    });
    grid.resize(500, 300);
    grid.show();
    {
        DataGrid::Update u(&grid);
        for (int i = 0; i < 3; ++i) {
            const int r = grid.appendRow();
            grid.setValue(r, "grdUser_Seq", i + 1);
            grid.setValue(r, "grdUser_Chk", false);
            grid.setValue(r, "grdUser_Exist", i == 1);
        }
    }
    EXPECT_EQ(grid.backgroundOf(0, "grdUser_Seq"), QColor(Qt::white));
    EXPECT_EQ(grid.backgroundOf(0, "grdUser_Tel"), QColor(0xFD, 0xF0, 0xF0));
    EXPECT_EQ(grid.backgroundOf(1, "grdUser_Tel"), orange) << "the row style wins";

    // The form's header handler: set all unregistered rows to the opposite of the first.
    QSignalSpy clicks(&grid, &DataGrid::headerClicked);
    QObject::connect(&grid, &DataGrid::headerClicked, &grid, [&](const QString& column) {
        if (column != "grdUser_Chk") return;
        const bool to = !grid.isChecked(0, "grdUser_Chk");
        DataGrid::Update u(&grid);
        for (int r = 0; r < grid.recordCount(); ++r)
            grid.setValue(r, "grdUser_Chk", grid.isChecked(r, "grdUser_Exist") ? false : to);
    });
    auto* header = grid.view()->horizontalHeader();
    const int chk = grid.columnIndex("grdUser_Chk");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      {header->sectionViewportPosition(chk) + 5, 15});
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_TRUE(grid.isChecked(0, "grdUser_Chk"));
    EXPECT_FALSE(grid.isChecked(1, "grdUser_Chk"));
    EXPECT_TRUE(grid.isChecked(2, "grdUser_Chk"));

    // A click on a check box toggles it and reports the edit.
    QSignalSpy edited(&grid, &DataGrid::cellEdited);
    const QRect box = grid.view()->visualRect(grid.model()->index(2, chk));
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_FALSE(grid.isChecked(2, "grdUser_Chk"));
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited.first().at(0).toInt(), 2);
    // The registered column cannot be changed by the user.
    const QRect exist = grid.view()->visualRect(grid.model()->index(0, chk + 1));
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, exist.center());
    EXPECT_FALSE(grid.isChecked(0, "grdUser_Exist"));

    // The drop-down offers its list and stores the pick.
    const QModelIndex bank = grid.model()->index(0, grid.columnIndex("grdUser_Bank"));
    grid.view()->setCurrentIndex(bank);
    grid.view()->edit(bank);
    auto* combo = qobject_cast<QComboBox*>(grid.view()->indexWidget(bank));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    QApplication::processEvents();
    EXPECT_EQ(grid.text(0, "grdUser_Bank"), QStringLiteral("국민은행"));
}

TEST_F(GridTest, ExportHoldsWhatTheUserSees) {
    fill();
    grid->sortBy("grd_Bill_Amount", Qt::DescendingOrder);
    grid->setFilter(ColumnFilter("grd_Bill_Amount", {FilterOp::Greater, 0}));
    const GridExport e = grid->exportView();
    QStringList captions;
    for (const auto& c : e.columns) captions << c.caption;
    EXPECT_EQ(captions, QStringList({"사용자명", "출금은행", "요청금액", "출금금액", "결과"}))
        << "hidden columns stay out";
    ASSERT_EQ(e.texts.size(), 4u);
    EXPECT_EQ(e.texts[0], QStringList({"박민수", "신한은행", "1,234,567", "1,234,567", ""}));
    EXPECT_EQ(e.values[0][2].toLongLong(), 1234567);
    EXPECT_EQ(e.texts[3][0], QStringLiteral("최지우"));
    EXPECT_EQ(e.footer, QStringList({"4 건", "", "1,280,067 원", "1,250,067 원", ""}));
    EXPECT_TRUE(e.columns[2].numeric);
}

}  // namespace
