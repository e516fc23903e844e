#include "bench/form_grids.h"

#include "app/form_utils.h"
#include "billing/billing_rules.h"
#include "platform/ui/data_grid.h"

namespace bench {

using platform::ui::DataGrid;
using platform::ui::GridColumn;

void buildPayerGrid(DataGrid* grid) {
    grid->addColumn(GridColumn(QStringLiteral("grd_List_Seq"), QStringLiteral("순번"), 47)
                        .number(QStringLiteral("0"))
                        .centred()
                        .readOnly()
                        .footerCount(QStringLiteral("#,##0 건")));
    grid->addColumn(GridColumn(QStringLiteral("grd_List_Name"), QStringLiteral("사용자명"), 134)
                        .centred()
                        .readOnly());
    grid->addColumn(GridColumn(QStringLiteral("grd_List_ID"), QStringLiteral("사용자아이디"), 159)
                        .centred()
                        .readOnly());
    grid->addColumn(GridColumn(QStringLiteral("grd_List_Group"), QStringLiteral("그룹"), 75)
                        .centred()
                        .readOnly());
    grid->setCellSelect(false);
    grid->setSortingEnabled(false);
    grid->setFilteringEnabled(false);
    grid->setFooterVisible(true);
}

void fillPayerGrid(DataGrid* grid, const std::vector<payers::Payer>& rows) {
    DataGrid::Update u(grid);
    grid->clearRows();
    for (const payers::Payer& p : rows) {
        const int r = grid->appendRow();
        grid->setValue(r, QStringLiteral("grd_List_Seq"), grid->recordCount());
        grid->setValue(r, QStringLiteral("grd_List_Name"), p.username.trimmed());
        grid->setValue(r, QStringLiteral("grd_List_ID"), p.userid.trimmed());
        grid->setValue(r, QStringLiteral("grd_List_Group"), p.groupname.trimmed());
    }
}

namespace {
const QString kId = QStringLiteral("grd_Bill_ID");
const QString kDlbid = QStringLiteral("grd_Bill_dlbid");
const QString kUser = QStringLiteral("grd_Bill_User");
const QString kBankcode = QStringLiteral("grd_Bill_Bankcode");
const QString kBankName = QStringLiteral("grd_Bill_BankName");
const QString kAccount = QStringLiteral("grd_Bill_Account");
const QString kAccountName = QStringLiteral("grd_Bill_AccountName");
const QString kAmount = QStringLiteral("grd_Bill_Amount");
const QString kResultAmount = QStringLiteral("grd_Bill_ResultAmount");
const QString kResult = QStringLiteral("grd_Bill_Result");
const QString kDeadline = QStringLiteral("16:00:00");
}  // namespace

void buildRequestGrid(DataGrid* grid) {
    grid->addColumn(GridColumn(kId, QStringLiteral("사용자아이디"), 100).centred().notFocusable());
    grid->addColumn(GridColumn(kDlbid, QString(), 70).readOnly());
    grid->addColumn(GridColumn(kUser, QStringLiteral("사용자명"), 110)
                        .centred()
                        .notFocusable()
                        .footerCount(QStringLiteral("#,##0 건")));
    grid->addColumn(
        GridColumn(kBankcode, QStringLiteral("출금은행코드"), 80).centred().notFocusable());
    grid->addColumn(
        GridColumn(kBankName, QStringLiteral("출금은행"), 100).centred().notFocusable());
    grid->addColumn(GridColumn(kAccount, QStringLiteral("계좌번호"), 150).centred().notFocusable());
    grid->addColumn(
        GridColumn(kAccountName, QStringLiteral("예금주명"), 110).centred().notFocusable());
    grid->addColumn(GridColumn(kAmount, QStringLiteral("요청금액"), 120)
                        .currency(QStringLiteral(",0.;-,0."))
                        .right());
    grid->addColumn(GridColumn(kResultAmount, QStringLiteral("출금금액"), 120)
                        .currency(QStringLiteral(",0.;-,0."))
                        .right()
                        .notFocusable());
    grid->addColumn(GridColumn(kResult, QStringLiteral("결과"), 150).readOnly());
    grid->setSortingEnabled(false);
    grid->setFilteringEnabled(false);
    grid->setFooterVisible(true);
    grid->setColumnVisible(kBankcode, false);
}

void fillRequestGrid(DataGrid* grid, const billing::BillList& list, const QString& billDate) {
    DataGrid::Update update(grid);
    grid->clearRows();
    if (list.rows.empty()) return;
    for (const billing::BillListRow& row : list.rows) {
        const int r = grid->appendRow();
        grid->setValue(r, kId, row.userid);
        grid->setValue(r, kDlbid, row.dlbid);
        grid->setValue(r, kUser, row.username);
        grid->setValue(r, kBankcode, row.bankcode);
        grid->setValue(r, kBankName, app::Fn_Get_Value_BankName(row.bankcode));
        grid->setValue(r, kAccount, row.account);
        grid->setValue(r, kAccountName, row.accountname);
        grid->setValue(r, kAmount, row.billamount);
        grid->setValue(r, kResultAmount, row.resultamount);
        grid->setValue(r, kResult, row.resultname);
    }
    grid->setCellSelect(billing::amountsEditable(list.dt, billDate, kDeadline));
}

}  // namespace bench
