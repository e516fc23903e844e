#include "facility/bill_import.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/data_module.h"
#include "app/form_utils.h"
#include "app/indicator.h"
#include "app/main_window.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "billing/request_form.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "platform/ui/caption_cell.h"
#include "platform/ui/load_timer.h"

Tfrmdlbbill* frmdlbbill = nullptr;

namespace {

constexpr int kRowHeight = 30;
constexpr int kCaptionWidth = 120;

QRadioButton* radio(const QString& name, const QString& text, QWidget* parent) {
    auto* r = new QRadioButton(text, parent);
    r->setObjectName(name);
    return r;
}

// One option row: the caption cell and its two radio buttons.
QWidget* optionRow(platform::ui::CaptionCell* caption, QRadioButton* first, QRadioButton* second,
                   QWidget* parent) {
    auto* row = new QWidget(parent);
    row->setFixedHeight(kRowHeight);
    caption->setFixedWidth(kCaptionWidth);
    caption->setBuddy(first);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(caption);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch(1);
    return row;
}

}  // namespace

Tfrmdlbbill::Tfrmdlbbill(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmdlbbill"));
    setWindowTitle(QStringLiteral("온돌봄 연동(청구)"));
    setAttribute(Qt::WA_DeleteOnClose);
    frmdlbbill = this;

    lb_Unpaid = new platform::ui::CaptionCell(QStringLiteral("미납금 포함여부"), this);
    lb_Unpaid->setObjectName(QStringLiteral("lb_Unpaid"));
    rdo_BillAll = radio(QStringLiteral("rdo_BillAll"), QStringLiteral("전월 미납금 포함"), this);
    rdo_BillMonthly = radio(QStringLiteral("rdo_BillMonthly"), QStringLiteral("당월 요금만"), this);
    billGroup_ = new QButtonGroup(this);
    billGroup_->addButton(rdo_BillAll);
    billGroup_->addButton(rdo_BillMonthly);
    rdo_BillAll->setChecked(true);

    lb_Target = new platform::ui::CaptionCell(QStringLiteral("대상 수급자"), this);
    lb_Target->setObjectName(QStringLiteral("lb_Target"));
    rdo_UserAll = radio(QStringLiteral("rdo_UserAll"), QStringLiteral("전체 수급자"), this);
    rdo_UserContracted =
        radio(QStringLiteral("rdo_UserContracted"), QStringLiteral("계약중인 수급자"), this);
    userGroup_ = new QButtonGroup(this);
    userGroup_->addButton(rdo_UserAll);
    userGroup_->addButton(rdo_UserContracted);
    rdo_UserAll->setChecked(true);

    auto* options = new QWidget(this);
    options->setObjectName(QStringLiteral("pnl_Options"));
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->setContentsMargins(10, 10, 10, 6);
    optionsLayout->setSpacing(4);
    optionsLayout->addWidget(optionRow(lb_Unpaid, rdo_BillAll, rdo_BillMonthly, options));
    optionsLayout->addWidget(optionRow(lb_Target, rdo_UserAll, rdo_UserContracted, options));
    optionsLayout->addStretch(1);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("pnl_Bottom"));
    btnSaveGrid = new QPushButton(QStringLiteral("금액 가져오기"), bottom);
    btnSaveGrid->setObjectName(QStringLiteral("btnSaveGrid"));
    btnSaveGrid->setMinimumSize(130, 30);
    btnSaveGrid->setAutoDefault(false);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(10, 4, 10, 8);
    bottomLayout->addStretch(1);
    bottomLayout->addWidget(btnSaveGrid);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(options, 1);
    layout->addWidget(bottom);

    connect(btnSaveGrid, &QPushButton::clicked, this, &Tfrmdlbbill::btnSaveGridClick);

    setFixedSize(kClientWidth, kClientHeight);
    FormCreate();
}

Tfrmdlbbill::~Tfrmdlbbill() {
    if (frmdlbbill == this) frmdlbbill = nullptr;
}

void Tfrmdlbbill::FormCreate() {}

void Tfrmdlbbill::closeEvent(QCloseEvent* e) {
    FormClose();
    QDialog::closeEvent(e);
}

void Tfrmdlbbill::FormClose() {
    // The form frees itself (WA_DeleteOnClose); the reference goes with it.
    if (frmdlbbill == this) frmdlbbill = nullptr;
}

void Tfrmdlbbill::btnSaveGridClick() {
    app::PR_Set_UI_IndicoatorOn();
    pr_get_db_demand();
    close();
    app::PR_Set_UI_IndicoatorOFF();
}

void Tfrmdlbbill::showError(const QString& message) {
    app::PR_Set_UI_IndicoatorOFF();
    DM->messages().error(this, QStringLiteral("오류"), app::Fn_Get_ErrorType(message));
}

void Tfrmdlbbill::pr_get_db_demand() {
    platform::sql::Connection care(DM->UniCon);
    if (!DM->Fn_Dynamic_DB_Connect(care)) return;
    try {
        pr_set_grid_billAmount(
            facility::fetchDemands(care, app::session().sicode, rdo_UserContracted->isChecked()));
    } catch (const platform::sql::SqlError& e) {
        showError(e.message());
    } catch (const std::exception& e) {
        showError(QString::fromStdString(e.what()));
    }
}

Tfrm002* Tfrmdlbbill::requestForm() {
    Tfrm002* form = frm002 && !app::isClosing(frm002) ? frm002 : nullptr;
    bool opened = false;
    if (!form && frmMain) {
        // The ribbon's way in, so that a company barred from the request form stays barred.
        QToolButton* billing = frmMain->ribbonButton(TfrmMain::Command::Billing);
        if (!billing || billing->isEnabled()) {
            frmMain->runCommand(TfrmMain::Command::Billing);
            form = frm002;
            opened = true;
        }
    }
    if (!form) return nullptr;
    // A list still waiting for its load timer is loaded now, before the amounts go in.
    if (opened || form->Timer1->isActive()) {
        form->Timer1->stop();
        form->bt_ListRefreshClick();
    }
    return form;
}

void Tfrmdlbbill::pr_set_grid_billAmount(const std::vector<facility::Demand>& demands) {
    const bool includeUnpaid = rdo_BillAll->isChecked();
    std::vector<Tfrm002::BilledAmount> amounts;
    amounts.reserve(demands.size());
    for (const facility::Demand& d : demands)
        amounts.emplace_back(d.de_code, facility::amountOf(d, includeUnpaid));
    Tfrm002* form = requestForm();
    if (!form) {
        app::PR_Set_UI_IndicoatorOFF();
        DM->messages().warning(this, QStringLiteral("확인"), kNoRequestForm);
        return;
    }
    form->applyBilledAmounts(amounts);
    app::bringToFront(form);
}
