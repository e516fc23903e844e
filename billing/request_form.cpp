#include "billing/request_form.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMultiHash>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/data_module.h"
#include "app/form_utils.h"
#include "app/indicator.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "app/theme.h"
#include "billing/billing_rules.h"
#include "billing/request_file.h"
#include "billing/request_file_writer.h"
#include "platform/shell/shell.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/load_timer.h"

Tfrm002* frm002 = nullptr;

namespace {

using platform::ui::GridColumn;

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

Tfrm002::CareLinkOpener& careLinkOpener() {
    static Tfrm002::CareLinkOpener opener;
    return opener;
}

// The busy indicator around one operation, switched off on every path and before any message
// box of the operation.
class Busy {
public:
    Busy() { app::PR_Set_UI_IndicoatorOn(); }
    ~Busy() { off(); }
    void off() {
        if (on_) app::PR_Set_UI_IndicoatorOFF();
        on_ = false;
    }

private:
    bool on_ = true;
};

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumHeight(32);
    b->setMinimumWidth(150);
    return b;
}

QLabel* label(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setProperty(app::theme::kRoleProperty, QStringLiteral("caption"));
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(80);
    l->setMinimumHeight(26);
    return l;
}

}  // namespace

Tfrm002::Tfrm002(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frm002"));
    setWindowTitle(QStringLiteral("출금관리"));
    frm002 = this;

    // Top bar: the withdrawal date at the left, the deadline time at the right.
    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnl_Top"));
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(8, 6, 8, 6);
    auto* dateLabel = label(QStringLiteral("출금 일자"), top);
    date_Date = new platform::ui::DateEdit(top);
    date_Date->setObjectName(QStringLiteral("date_Date"));
    date_Date->setDisplayFormat(QStringLiteral("YYYY-MM-DD"));
    date_Date->setAlignment(Qt::AlignCenter);
    date_Date->setButtons(platform::ui::DateEdit::NoButtons);
    date_Date->setFixedWidth(130);
    dateLabel->setBuddy(date_Date);
    auto* deadlineLabel = label(QStringLiteral("마감시간"), top);
    cxTextEdit1 = new QLineEdit(billing::kDeadlineTime, top);
    cxTextEdit1->setObjectName(QStringLiteral("cxTextEdit1"));
    cxTextEdit1->setAlignment(Qt::AlignCenter);
    cxTextEdit1->setEnabled(false);
    cxTextEdit1->setFixedWidth(90);
    deadlineLabel->setBuddy(cxTextEdit1);
    topLayout->addWidget(dateLabel);
    topLayout->addWidget(date_Date);
    topLayout->addStretch(1);
    topLayout->addWidget(deadlineLabel);
    topLayout->addWidget(cxTextEdit1);

    grd_Bill = new platform::ui::DataGrid(this);
    grd_Bill->setObjectName(QStringLiteral("grd_Bill"));
    grd_Bill->addColumn(
        GridColumn(kId, QStringLiteral("사용자아이디"), 100).centred().notFocusable());
    grd_Bill->addColumn(GridColumn(kDlbid, QString(), 70).readOnly());
    grd_Bill->addColumn(GridColumn(kUser, QStringLiteral("사용자명"), 110)
                            .centred()
                            .notFocusable()
                            .footerCount(QStringLiteral("#,##0 건")));
    grd_Bill->addColumn(
        GridColumn(kBankcode, QStringLiteral("출금은행코드"), 80).centred().notFocusable());
    grd_Bill->addColumn(
        GridColumn(kBankName, QStringLiteral("출금은행"), 100).centred().notFocusable());
    grd_Bill->addColumn(
        GridColumn(kAccount, QStringLiteral("계좌번호"), 150).centred().notFocusable());
    grd_Bill->addColumn(
        GridColumn(kAccountName, QStringLiteral("예금주명"), 110).centred().notFocusable());
    grd_Bill->addColumn(GridColumn(kAmount, QStringLiteral("요청금액"), 120)
                            .currency(QStringLiteral(",0.;-,0."))
                            .right());
    grd_Bill->addColumn(GridColumn(kResultAmount, QStringLiteral("출금금액"), 120)
                            .currency(QStringLiteral(",0.;-,0."))
                            .right()
                            .notFocusable());
    grd_Bill->addColumn(GridColumn(kResult, QStringLiteral("결과"), 150).readOnly());
    grd_Bill->setSortingEnabled(false);
    grd_Bill->setFilteringEnabled(false);
    grd_Bill->setFooterVisible(true);

    // Bottom bar: the care-facility link at the left, the file and the registering at the right.
    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("pnl_Bottom"));
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(8, 6, 8, 6);
    cxButton3 = button(QStringLiteral("cxButton3"), QStringLiteral("온돌봄 연동"), bottom);
    cxButton4 = button(QStringLiteral("cxButton4"), QStringLiteral("출금신청파일생성"), bottom);
    cxButton1 = button(QStringLiteral("cxButton1"), QStringLiteral("출금요청 등록하기"), bottom);
    // A click leaves the focus where it was (in the grid); Tab still reaches the buttons.
    for (QPushButton* b : {cxButton3, cxButton4, cxButton1}) b->setFocusPolicy(Qt::TabFocus);
    bottomLayout->addWidget(cxButton3);
    bottomLayout->addStretch(1);
    bottomLayout->addWidget(cxButton4);
    bottomLayout->addWidget(cxButton1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(grd_Bill, 1);
    layout->addWidget(bottom);

    Timer1 = new platform::ui::LoadTimer(this);
    connect(Timer1, &QTimer::timeout, this, &Tfrm002::Timer1Timer);
    connect(date_Date, &platform::ui::DateEdit::dateChanged, this,
            &Tfrm002::date_DatePropertiesChange);
    connect(cxButton1, &QPushButton::clicked, this, &Tfrm002::cxButton1Click);
    connect(cxButton3, &QPushButton::clicked, this, &Tfrm002::cxButton3Click);
    connect(cxButton4, &QPushButton::clicked, this, &Tfrm002::cxButton4Click);

    FormCreate();
}

Tfrm002::~Tfrm002() {
    if (frm002 == this) frm002 = nullptr;
}

void Tfrm002::setCareLinkOpener(CareLinkOpener opener) {
    careLinkOpener() = std::move(opener);
}

void Tfrm002::FormCreate() {
    resize(kWidth, kHeight);
    // Setting the start date must not load the list: the timer does that once on screen.
    date_Date->setEnabled(false);
    date_Date->setDate(billing::defaultBillDate(DM->clock().now(), cxTextEdit1->text()));
    date_Date->setEnabled(true);
    grd_Bill->setColumnVisible(kBankcode, false);
}

void Tfrm002::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void Tfrm002::FormShow() {
    // Timer1 starts with every show (LoadTimer). The first show places the window at the top
    // left of the main window's client area.
    if (placed_) return;
    placed_ = true;
    QWidget* window = app::formWindow(this);
    if (window != this) window->setGeometry(0, 0, kWidth, kHeight);
}

void Tfrm002::closeEvent(QCloseEvent* e) {
    FormClose();
    QWidget::closeEvent(e);
}

void Tfrm002::FormClose() {
    // The window frees itself (WA_DeleteOnClose); the reference goes with it.
    if (frm002 == this) frm002 = nullptr;
}

void Tfrm002::Timer1Timer() {
    Timer1->stop();
    bt_ListRefreshClick();
}

void Tfrm002::date_DatePropertiesChange() {
    if (date_Date->isEnabled()) bt_ListRefreshClick();
}

void Tfrm002::bt_ListRefreshClick() {
    Busy busy;
    pr_get_db_billList();
}

void Tfrm002::pr_get_db_billList() {
    // Until this load succeeds the grid does not hold the chosen date's list.
    loadedDate_.clear();
    platform::sql::Connection c(DM->UniBase);
    if (!DM->Fn_Dynamic_DB_Connect(c)) return;
    try {
        pr_set_grid_billList(
            billing::selectBillList(c, app::session().serviceid, date_Date->text()));
    } catch (const platform::sql::SqlError& e) {
        app::PR_Set_UI_IndicoatorOFF();
        DM->messages().error(this, QStringLiteral("오류"), app::Fn_Get_ErrorType(e.message()));
    } catch (const std::exception& e) {
        app::PR_Set_UI_IndicoatorOFF();
        DM->messages().error(this, QStringLiteral("오류"),
                             app::Fn_Get_ErrorType(QString::fromStdString(e.what())));
    }
}

void Tfrm002::pr_set_grid_billList(const billing::BillList& list) {
    platform::ui::DataGrid::Update update(grd_Bill);
    grd_Bill->clearRows();
    loadedDate_ = date_Date->text();
    // Without rows the edit lock keeps its previous state.
    if (list.rows.empty()) return;
    for (const billing::BillListRow& row : list.rows) {
        const int r = grd_Bill->appendRow();
        grd_Bill->setValue(r, kId, row.userid);
        grd_Bill->setValue(r, kDlbid, row.dlbid);
        grd_Bill->setValue(r, kUser, row.username);
        grd_Bill->setValue(r, kBankcode, row.bankcode);
        grd_Bill->setValue(r, kBankName, app::Fn_Get_Value_BankName(row.bankcode));
        grd_Bill->setValue(r, kAccount, row.account);
        grd_Bill->setValue(r, kAccountName, row.accountname);
        grd_Bill->setValue(r, kAmount, row.billamount);
        grd_Bill->setValue(r, kResultAmount, row.resultamount);
        grd_Bill->setValue(r, kResult, row.resultname);
    }
    grd_Bill->setCellSelect(
        billing::amountsEditable(list.dt, date_Date->text(), cxTextEdit1->text()));
}

std::vector<billing::StoreRow> Tfrm002::gridRows() const {
    std::vector<billing::StoreRow> rows;
    rows.reserve(static_cast<size_t>(grd_Bill->recordCount()));
    for (int r = 0; r < grd_Bill->recordCount(); ++r) {
        billing::StoreRow row;
        row.userid = grd_Bill->text(r, kId);
        row.username = grd_Bill->text(r, kUser);
        row.bankcode = grd_Bill->text(r, kBankcode);
        row.account = grd_Bill->text(r, kAccount);
        row.accountname = grd_Bill->text(r, kAccountName);
        bool ok = false;
        const qint64 amount = grd_Bill->number(r, kAmount, &ok);
        if (ok) row.amount = amount;
        rows.push_back(std::move(row));
    }
    return rows;
}

void Tfrm002::cxButton1Click() {
    // The focus leaving the grid posts an amount still being typed.
    const Qt::FocusPolicy policy = cxButton1->focusPolicy();
    cxButton1->setFocusPolicy(Qt::StrongFocus);
    cxButton1->setFocus();
    grd_Bill->postEdit();
    cxButton1->setFocusPolicy(policy);

    // The store replaces the chosen date's request by the grid: a grid still showing another
    // date (its load failed) must not be stored under this one.
    if (loadedDate_ != date_Date->text()) {
        DM->messages().warning(this, QStringLiteral("확인"),
                               QStringLiteral("출금 일자 %1의 목록을 불러오지 못해 등록할 수 "
                                              "없습니다.\n목록을 다시 불러옵니다.")
                                   .arg(date_Date->text()));
        bt_ListRefreshClick();
        return;
    }

    // The day's deadline by the server clock, for whatever date is being registered. A check
    // that cannot run (no connection, an error) does not stop the registering.
    {
        platform::sql::Connection c(DM->UniBase);
        if (DM->Fn_Dynamic_DB_Connect(c)) {
            try {
                const QString now = billing::selectServerNow(c);
                if (billing::registrationClosed(now, DM->clock().today(), cxTextEdit1->text())) {
                    DM->messages().plain(this, QStringLiteral("이미 마감된 날짜입니다."));
                    return;
                }
            } catch (const platform::sql::SqlError& e) {
                DM->messages().error(this, QStringLiteral("오류"),
                                     app::Fn_Get_ErrorType(e.message()));
            } catch (const std::exception& e) {
                DM->messages().error(this, QStringLiteral("오류"),
                                     app::Fn_Get_ErrorType(QString::fromStdString(e.what())));
            }
        }
    }

    pr_save_db_bill();
}

void Tfrm002::pr_save_db_bill() {
    const std::vector<billing::StoreRow> rows = gridRows();
    // An emptied or oversized amount refuses the store before anything is deleted.
    try {
        billing::checkStoreRows(rows);
    } catch (const billing::StoreRefused& e) {
        DM->messages().warning(this, QStringLiteral("확인"), e.message());
        grd_Bill->setFocusedRecord(e.row());
        grd_Bill->setFocus();
        return;
    }

    Busy busy;
    platform::sql::Connection c(DM->UniBase);
    if (!DM->Fn_Dynamic_DB_Connect(c)) return;
    try {
        billing::storeBill(c, app::session().serviceid, date_Date->text(), rows);
        busy.off();
        DM->messages().show(this, platform::ui::MsgIcon::None, QStringLiteral("확인"),
                            QStringLiteral("저장이 완료되었습니다."), platform::ui::MsgButtons::Ok);
    } catch (const billing::StoreRefused& e) {
        busy.off();
        DM->messages().warning(this, QStringLiteral("확인"), e.message());
    } catch (const platform::sql::SqlError& e) {
        busy.off();
        DM->messages().error(this, QStringLiteral("오류"), app::Fn_Get_ErrorType(e.message()));
    } catch (const std::exception& e) {
        busy.off();
        DM->messages().error(this, QStringLiteral("오류"),
                             app::Fn_Get_ErrorType(QString::fromStdString(e.what())));
    }
}

void Tfrm002::cxButton3Click() {
    if (!careLinkOpener()) {
        DM->messages().information(this, QStringLiteral("확인"),
                                   QStringLiteral("온돌봄 연동(청구) 화면을 사용할 수 없습니다."));
        return;
    }
    careLinkOpener()(*this);
}

int Tfrm002::applyBilledAmounts(const std::vector<BilledAmount>& amounts) {
    // Rows by their care-facility code; several payers may carry the same one.
    QMultiHash<QString, int> rowsByCode;
    for (int r = 0; r < grd_Bill->recordCount(); ++r) {
        const QString code = grd_Bill->text(r, kDlbid);
        if (!code.isEmpty()) rowsByCode.insert(code, r);
    }
    int set = 0;
    platform::ui::DataGrid::Update update(grd_Bill);
    for (const auto& [code, amount] : amounts) {
        if (code.isEmpty()) continue;
        for (auto it = rowsByCode.constFind(code); it != rowsByCode.cend() && it.key() == code;
             ++it) {
            grd_Bill->setValue(it.value(), kAmount, amount > 0 ? amount : qint64(0));
            ++set;
        }
    }
    return set;
}

void Tfrm002::cxButton4Click() {
    platform::sql::Connection c(DM->UniBase);
    if (!DM->Fn_Dynamic_DB_Connect(c)) return;
    try {
        // Nothing is shown on success: the file lies beside the program for delivery.
        billing::createRequestFile(c, app::session().serviceid, date_Date->text(),
                                   DM->config().institutionCode, platform::shell::programDir());
    } catch (const billing::RequestFileRefused& e) {
        DM->messages().warning(this, QStringLiteral("확인"), e.message());
    } catch (const billing::RequestFileError& e) {
        DM->messages().error(this, QStringLiteral("오류"), app::Fn_Get_ErrorType(e.message()));
    } catch (const platform::sql::SqlError& e) {
        DM->messages().error(this, QStringLiteral("오류"), app::Fn_Get_ErrorType(e.message()));
    } catch (const std::exception& e) {
        DM->messages().error(this, QStringLiteral("오류"),
                             app::Fn_Get_ErrorType(QString::fromStdString(e.what())));
    }
}
