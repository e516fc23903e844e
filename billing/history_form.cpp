#include "billing/history_form.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/data_module.h"
#include "app/form_utils.h"
#include "app/indicator.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "billing/billing_rules.h"
#include "billing/history_excel.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "platform/ui/caption_cell.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/load_timer.h"

Tfrm003* frm003 = nullptr;

namespace {

using platform::ui::GridColumn;

const QString kBillDate = QStringLiteral("grd_Bill_BillDate");
const QString kId = QStringLiteral("grd_Bill_ID");
const QString kUser = QStringLiteral("grd_Bill_User");
const QString kBankcode = QStringLiteral("grd_Bill_Bankcode");
const QString kBankName = QStringLiteral("grd_Bill_BankName");
const QString kAccount = QStringLiteral("grd_Bill_Account");
const QString kAccountName = QStringLiteral("grd_Bill_AccountName");
const QString kAmount = QStringLiteral("grd_Bill_Amount");
const QString kResultAmount = QStringLiteral("grd_Bill_ResultAmount");
const QString kResult = QStringLiteral("grd_Bill_Result");

platform::ui::DateEdit* dateEditor(const QString& name, QWidget* parent) {
    auto* d = new platform::ui::DateEdit(parent);
    d->setObjectName(name);
    d->setDisplayFormat(QStringLiteral("YYYY.MM.DD"));
    d->setAlignment(Qt::AlignCenter);
    d->setButtons(platform::ui::DateEdit::NoButtons);
    d->setTodayMarker(false);
    d->setFixedWidth(130);
    return d;
}

}  // namespace

Tfrm003::Tfrm003(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frm003"));
    setWindowTitle(QStringLiteral("출금내역조회"));
    frm003 = this;

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnl_Top"));
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(8, 6, 8, 6);
    auto* caption = new platform::ui::CaptionCell(QStringLiteral("출금일자"), top);
    caption->setMinimumWidth(90);
    date_from = dateEditor(QStringLiteral("date_from"), top);
    auto* dash = new QLabel(QStringLiteral("-"), top);
    dash->setAlignment(Qt::AlignCenter);
    dash->setFixedWidth(16);
    date_To = dateEditor(QStringLiteral("date_To"), top);
    caption->setBuddy(date_from);
    topLayout->addWidget(caption);
    topLayout->addWidget(date_from);
    topLayout->addWidget(dash);
    topLayout->addWidget(date_To);
    topLayout->addStretch(1);

    grd_Bill = new platform::ui::DataGrid(this);
    grd_Bill->setObjectName(QStringLiteral("grd_Bill"));
    grd_Bill->addColumn(
        GridColumn(kBillDate, QStringLiteral("요청일자"), 100).centred().readOnly());
    grd_Bill->addColumn(GridColumn(kId, QStringLiteral("사용자아이디"), 100).centred().readOnly());
    grd_Bill->addColumn(GridColumn(kUser, QStringLiteral("사용자명"), 110)
                            .centred()
                            .readOnly()
                            .footerCount(QStringLiteral("#,##0 건")));
    grd_Bill->addColumn(
        GridColumn(kBankcode, QStringLiteral("출금은행코드"), 80).centred().readOnly());
    grd_Bill->addColumn(
        GridColumn(kBankName, QStringLiteral("출금은행"), 100).centred().readOnly());
    grd_Bill->addColumn(GridColumn(kAccount, QStringLiteral("계좌번호"), 150).centred().readOnly());
    grd_Bill->addColumn(
        GridColumn(kAccountName, QStringLiteral("예금주명"), 110).centred().readOnly());
    grd_Bill->addColumn(GridColumn(kAmount, QStringLiteral("요청금액"), 120)
                            .currency(QStringLiteral(",0.;-,0."))
                            .right()
                            .readOnly()
                            .footerSum(QStringLiteral("#,##0 원")));
    grd_Bill->addColumn(GridColumn(kResultAmount, QStringLiteral("출금금액"), 120)
                            .currency(QStringLiteral(",0.;-,0."))
                            .right()
                            .readOnly()
                            .footerSum(QStringLiteral("#,##0 원")));
    grd_Bill->addColumn(GridColumn(kResult, QStringLiteral("결과"), 150).readOnly());
    grd_Bill->setSortingEnabled(true);
    grd_Bill->setFilteringEnabled(true);
    grd_Bill->setFooterVisible(true);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("pnl_Bottom"));
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(8, 6, 8, 6);
    bt_NewMember = new QPushButton(QStringLiteral("엑셀 출력"), bottom);
    bt_NewMember->setObjectName(QStringLiteral("bt_NewMember"));
    bt_NewMember->setMinimumSize(150, 32);
    bottomLayout->addStretch(1);
    bottomLayout->addWidget(bt_NewMember);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(grd_Bill, 1);
    layout->addWidget(bottom);

    Timer1 = new platform::ui::LoadTimer(this);
    connect(Timer1, &QTimer::timeout, this, &Tfrm003::Timer1Timer);
    for (platform::ui::DateEdit* d : {date_from, date_To})
        connect(d, &platform::ui::DateEdit::dateChanged, this,
                [this, d] { date_fromPropertiesEditValueChanged(d); });
    connect(bt_NewMember, &QPushButton::clicked, this, &Tfrm003::bt_NewMemberClick);

    FormCreate();
}

Tfrm003::~Tfrm003() {
    if (frm003 == this) frm003 = nullptr;
}

void Tfrm003::FormCreate() {
    resize(kWidth, kHeight);
    grd_Bill->setColumnVisible(kBankcode, false);
    // Setting the start range loads nothing: the timer loads once the form is on screen.
    date_from->setEnabled(false);
    date_To->setEnabled(false);
    const QDate today = DM->clock().today();
    date_from->setDate(billing::firstDayOfMonth(today));
    date_To->setDate(billing::lastDayOfMonth(today));
    date_from->setEnabled(true);
    date_To->setEnabled(true);
}

void Tfrm003::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void Tfrm003::FormShow() {
    // Timer1 starts with every show (LoadTimer); the first show places the window.
    if (placed_) return;
    placed_ = true;
    QWidget* window = app::formWindow(this);
    if (window != this) window->setGeometry(0, 0, kWidth, kHeight);
}

void Tfrm003::closeEvent(QCloseEvent* e) {
    FormClose();
    QWidget::closeEvent(e);
}

void Tfrm003::FormClose() {
    if (frm003 == this) frm003 = nullptr;
}

void Tfrm003::Timer1Timer() {
    Timer1->stop();
    loadHistory();
}

void Tfrm003::date_fromPropertiesEditValueChanged(platform::ui::DateEdit* editor) {
    if (editor->isEnabled()) loadHistory();
}

void Tfrm003::loadHistory() {
    app::PR_Set_UI_IndicoatorOn();
    pr_get_db_billHistory();
    app::PR_Set_UI_IndicoatorOFF();
}

void Tfrm003::pr_get_db_billHistory() {
    platform::sql::Connection c(DM->UniBase);
    if (!DM->Fn_Dynamic_DB_Connect(c)) return;
    try {
        pr_set_grid_billHistory(billing::selectHistory(c, app::session().serviceid,
                                                       date_from->text(), date_To->text()));
    } catch (const platform::sql::SqlError& e) {
        app::PR_Set_UI_IndicoatorOFF();
        DM->messages().error(this, QStringLiteral("오류"), app::Fn_Get_ErrorType(e.message()));
    } catch (const std::exception& e) {
        app::PR_Set_UI_IndicoatorOFF();
        DM->messages().error(this, QStringLiteral("오류"),
                             app::Fn_Get_ErrorType(QString::fromStdString(e.what())));
    }
}

void Tfrm003::pr_set_grid_billHistory(const std::vector<billing::HistoryRow>& rows) {
    platform::ui::DataGrid::Update update(grd_Bill);
    grd_Bill->clearRows();
    for (const billing::HistoryRow& row : rows) {
        const int r = grd_Bill->appendRow();
        grd_Bill->setValue(r, kBillDate, row.billdate);
        grd_Bill->setValue(r, kId, row.userid);
        grd_Bill->setValue(r, kUser, row.username);
        grd_Bill->setValue(r, kBankcode, row.bankcode);
        grd_Bill->setValue(r, kBankName, app::Fn_Get_Value_BankName(row.bankcode));
        grd_Bill->setValue(r, kAccount, row.account);
        grd_Bill->setValue(r, kAccountName, row.accountname);
        grd_Bill->setValue(r, kAmount, row.billamount);
        grd_Bill->setValue(r, kResultAmount, row.resultamount);
        grd_Bill->setValue(r, kResult, row.resultname);
    }
}

void Tfrm003::bt_NewMemberClick() {
    const platform::ui::GridExport view = grd_Bill->exportView();
    if (view.values.empty()) {
        DM->messages().information(this, QStringLiteral("확인"),
                                   QStringLiteral("출력할 자료가 없습니다."));
        return;
    }
    const QString suggested = QStringLiteral("출금내역_%1-%2.xlsx")
                                  .arg(date_from->date().toString(QStringLiteral("yyyyMMdd")),
                                       date_To->date().toString(QStringLiteral("yyyyMMdd")));
    QString path = DM->messages().saveFile(this, QStringLiteral("엑셀 출력"), suggested,
                                           QStringLiteral("Excel 통합 문서 (*.xlsx)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        path += QStringLiteral(".xlsx");
    try {
        billing::writeGridWorkbook(path, view, QStringLiteral("출금내역"));
    } catch (const billing::ExcelError& e) {
        DM->messages().error(this, QStringLiteral("오류"), e.message());
        return;
    }
    DM->messages().show(this, platform::ui::MsgIcon::None, QStringLiteral("확인"),
                        QStringLiteral("엑셀 파일을 저장했습니다."), platform::ui::MsgButtons::Ok);
}
