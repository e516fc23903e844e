#include "facility/beneficiary_import.h"

#include <QAbstractItemView>
#include <QChildEvent>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/data_module.h"
#include "app/form_utils.h"
#include "app/indicator.h"
#include "app/main_window.h"
#include "app/session.h"
#include "app/theme.h"
#include "payers/payer_list.h"
#include "platform/ime/input_mode.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/grid_view.h"
#include "platform/ui/load_timer.h"

Tfrmdlbuser* frmdlbuser = nullptr;

namespace {

using platform::ui::DataGrid;
using platform::ui::GridColumn;

const QString kSeq = QStringLiteral("grdUser_Seq");
const QString kChk = QStringLiteral("grdUser_Chk");
const QString kExist = QStringLiteral("grdUser_Exist");
const QString kUserid = QStringLiteral("grdUser_userid");
const QString kName = QStringLiteral("grdUser_Name");
const QString kGender = QStringLiteral("grdUser_Gender");
const QString kBirth = QStringLiteral("grdUser_Birth");
const QString kLicNum = QStringLiteral("grdUser_LicNum");
const QString kGrade = QStringLiteral("grdUser_Grade");
const QString kContract = QStringLiteral("grdUser_Contract");
const QString kTel = QStringLiteral("grdUser_Tel");
const QString kBank = QStringLiteral("grdUser_Bank");
const QString kAccount = QStringLiteral("grdUser_Account");
const QString kAccountName = QStringLiteral("grdUser_AccountName");

constexpr int kBarHeight = 44;

// The shared grid styles live on the main window; a form opened without one (tests) takes the
// same colours from the theme.
QColor gridWhite() {
    return frmMain ? frmMain->GridWhite : app::theme::GridWhite;
}
QColor editableStyle() {
    return frmMain ? frmMain->cxStyle출금금액 : app::theme::cxStyle출금금액;
}
QColor registeredStyle() {
    return frmMain ? frmMain->cxStyleUserExist : app::theme::cxStyleUserExist;
}

// The bank names of the bank table, in its order.
QStringList bankNames() {
    QStringList names;
    for (const QString& line : app::mem_BaseBank()) names << line.mid(line.indexOf(u')') + 1);
    return names;
}

// The busy indicator around one operation, off on every path and before any message box.
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

}  // namespace

Tfrmdlbuser::Tfrmdlbuser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmdlbuser"));
    setWindowTitle(QStringLiteral("온돌봄 연동(수급자)"));
    setAttribute(Qt::WA_DeleteOnClose);
    frmdlbuser = this;

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnl_Top"));
    top->setFixedHeight(kBarHeight);
    lb_Contract = new QLabel(QStringLiteral("수급자 계약상태"), top);
    lb_Contract->setObjectName(QStringLiteral("lb_Contract"));
    cbbx_Contract = new QComboBox(top);
    cbbx_Contract->setObjectName(QStringLiteral("cbbx_Contract"));
    cbbx_Contract->addItems(
        {QStringLiteral("전체"), QStringLiteral("이용중"), QStringLiteral("퇴소자")});
    cbbx_Contract->setEditable(false);
    cbbx_Contract->setCurrentIndex(0);
    cbbx_Contract->setMinimumWidth(120);
    lb_Contract->setBuddy(cbbx_Contract);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(10, 6, 10, 6);
    topLayout->addWidget(lb_Contract);
    topLayout->addWidget(cbbx_Contract);
    topLayout->addStretch(1);

    grdUser = new DataGrid(this);
    grdUser->setObjectName(QStringLiteral("grdUser"));
    grdUser->addColumn(GridColumn(kSeq, QStringLiteral("No."), 40)
                           .number(QStringLiteral("0"))
                           .centred()
                           .readOnly());
    grdUser->addColumn(GridColumn(kChk, QStringLiteral("선택"), 44).checkBox());
    grdUser->addColumn(
        GridColumn(kExist, QStringLiteral("등록여부"), 60).checkBox().notFocusable());
    grdUser->addColumn(GridColumn(kUserid, QStringLiteral("수급자id"), 80).notFocusable());
    grdUser->addColumn(GridColumn(kName, QStringLiteral("수급자명"), 90)
                           .centred()
                           .notFocusable()
                           .footerCount(QStringLiteral("#,##0 명")));
    grdUser->addColumn(GridColumn(kGender, QStringLiteral("성별"), 44).centred().notFocusable());
    grdUser->addColumn(GridColumn(kBirth, QStringLiteral("생년월일"), 90).centred().notFocusable());
    grdUser->addColumn(
        GridColumn(kLicNum, QStringLiteral("인정번호"), 110).centred().notFocusable());
    grdUser->addColumn(GridColumn(kGrade, QStringLiteral("등급"), 60).centred().notFocusable());
    grdUser->addColumn(
        GridColumn(kContract, QStringLiteral("계약상태"), 70).centred().notFocusable());
    grdUser->addColumn(
        GridColumn(kTel, QStringLiteral("연락처"), 120).centred().withBackground(editableStyle()));
    grdUser->addColumn(GridColumn(kBank, QStringLiteral("은행"), 100)
                           .dropDown(bankNames())
                           .centred()
                           .withBackground(editableStyle()));
    grdUser->addColumn(GridColumn(kAccount, QStringLiteral("계좌번호"), 140)
                           .centred()
                           .withBackground(editableStyle()));
    grdUser->addColumn(GridColumn(kAccountName, QStringLiteral("예금주명"), 90)
                           .centred()
                           .withBackground(editableStyle()));
    grdUser->setSortingEnabled(false);
    grdUser->setFilteringEnabled(false);
    grdUser->setFooterVisible(true);
    grdUser->setCellSelect(true);
    grdUser->setContentBackground(gridWhite());
    grdUser->setContentStyle(
        [this](int record, const QString&) { return grdUserStylesGetContentStyle(record); });
    // The account holder's editor starts in Hangul input: watch the editors the grid creates.
    grdUser->view()->viewport()->installEventFilter(this);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("pnl_Bottom"));
    bottom->setFixedHeight(kBarHeight);
    btnSaveGrid = new QPushButton(QStringLiteral("선택된 수급자 일괄등록"), bottom);
    btnSaveGrid->setObjectName(QStringLiteral("btnSaveGrid"));
    btnSaveGrid->setMinimumSize(190, 32);
    btnSaveGrid->setAutoDefault(false);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(10, 6, 10, 6);
    bottomLayout->addStretch(1);
    bottomLayout->addWidget(btnSaveGrid);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(grdUser, 1);
    layout->addWidget(bottom);

    Timer1 = new platform::ui::LoadTimer(this);
    connect(Timer1, &QTimer::timeout, this, &Tfrmdlbuser::Timer1Timer);
    connect(cbbx_Contract, &QComboBox::currentIndexChanged, this,
            &Tfrmdlbuser::cbbx_ContractPropertiesChange);
    connect(grdUser, &DataGrid::headerClicked, this, [this](const QString& column) {
        if (column == kChk) grdUser_ChkHeaderClick();
    });
    connect(grdUser, &DataGrid::cellEdited, this, [this](int record, const QString& column) {
        if (column == kChk) grdUser_ChkPropertiesChange(record);
    });
    connect(btnSaveGrid, &QPushButton::clicked, this, &Tfrmdlbuser::btnSaveGridClick);

    FormCreate();
}

Tfrmdlbuser::~Tfrmdlbuser() {
    if (frmdlbuser == this) frmdlbuser = nullptr;
}

void Tfrmdlbuser::FormCreate() {
    setFixedSize(kClientWidth, kClientHeight);
    grdUser->setColumnVisible(kUserid, false);
}

void Tfrmdlbuser::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void Tfrmdlbuser::FormShow() {
    // Timer1 starts with every showing (LoadTimer): one load after each.
}

void Tfrmdlbuser::closeEvent(QCloseEvent* e) {
    FormClose();
    QDialog::closeEvent(e);
}

void Tfrmdlbuser::FormClose() {
    // The form frees itself (WA_DeleteOnClose); the reference goes with it.
    if (frmdlbuser == this) frmdlbuser = nullptr;
}

bool Tfrmdlbuser::eventFilter(QObject* watched, QEvent* e) {
    if (watched == grdUser->view()->viewport() && e->type() == QEvent::ChildPolished) {
        auto* editor = qobject_cast<QLineEdit*>(static_cast<QChildEvent*>(e)->child());
        const QModelIndex current = grdUser->view()->currentIndex();
        if (editor && current.isValid() && grdUser->column(current.column()).name == kAccountName)
            platform::ime::setInputMode(editor, platform::ime::InputMode::Hangul);
    }
    return QDialog::eventFilter(watched, e);
}

void Tfrmdlbuser::Timer1Timer() {
    Timer1->stop();
    Busy busy;
    pr_get_db_mateList();
}

void Tfrmdlbuser::cbbx_ContractPropertiesChange() {
    if (!cbbx_Contract->isEnabled()) return;
    Busy busy;
    pr_get_db_mateList();
}

void Tfrmdlbuser::showError(const QString& message) {
    app::PR_Set_UI_IndicoatorOFF();
    DM->messages().error(this, QStringLiteral("오류"), app::Fn_Get_ErrorType(message));
}

void Tfrmdlbuser::pr_get_db_mateList() {
    const auto filter = static_cast<facility::ContractFilter>(cbbx_Contract->currentIndex());
    try {
        // Without a care-facility connection the grid stays as it was; the registered marks
        // are applied all the same.
        {
            platform::sql::Connection care(DM->UniCon);
            if (DM->Fn_Dynamic_DB_Connect(care))
                pr_set_grid_mateList(
                    facility::fetchBeneficiaries(care, app::session().sicode, filter));
        }
        platform::sql::Connection base(DM->UniBase);
        if (DM->Fn_Dynamic_DB_Connect(base))
            pr_set_grid_registered(facility::fetchRegisteredPayers(base, app::session().serviceid));
    } catch (const platform::sql::SqlError& e) {
        showError(e.message());
    } catch (const std::exception& e) {
        showError(QString::fromStdString(e.what()));
    }
}

void Tfrmdlbuser::pr_set_grid_mateList(const std::vector<facility::Beneficiary>& mates) {
    DataGrid::Update update(grdUser);
    grdUser->clearRows();
    for (const facility::Beneficiary& mate : mates) {
        const facility::MateCells cells = facility::mateCellsOf(mate);
        const int r = grdUser->appendRow();
        grdUser->setValue(r, kSeq, qint64(grdUser->recordCount()));
        grdUser->setValue(r, kChk, false);
        grdUser->setValue(r, kExist, false);
        grdUser->setValue(r, kName, cells.name);
        grdUser->setValue(r, kLicNum, cells.regist);
        grdUser->setValue(r, kGender, cells.gender);
        grdUser->setValue(r, kGrade, cells.grade);
        grdUser->setValue(r, kUserid, cells.code);
        grdUser->setValue(r, kBirth, cells.birth);
        grdUser->setValue(r, kTel, cells.tel);
        grdUser->setValue(r, kContract, cells.contract);
    }
}

void Tfrmdlbuser::pr_set_grid_registered(const std::vector<facility::RegisteredPayer>& payers) {
    DataGrid::Update update(grdUser);
    for (const facility::RegisteredPayer& payer : payers) {
        const QString code = payer.dlbid.trimmed();
        const facility::RegisteredCells cells = facility::registeredCellsOf(payer);
        for (int r = 0; r < grdUser->recordCount(); ++r) {
            if (grdUser->text(r, kUserid) != code) continue;
            grdUser->setValue(r, kExist, true);
            grdUser->setValue(r, kChk, false);
            grdUser->setValue(r, kTel, cells.tel);
            grdUser->setValue(r, kAccount, cells.account);
            grdUser->setValue(r, kAccountName, cells.accountname);
            grdUser->setValue(r, kBank, cells.bank);
        }
    }
}

QColor Tfrmdlbuser::grdUserStylesGetContentStyle(int record) const {
    return grdUser->isChecked(record, kExist) ? registeredStyle() : QColor();
}

void Tfrmdlbuser::grdUser_ChkHeaderClick() {
    grdUser->postEdit();
    if (grdUser->recordCount() == 0) return;
    const bool value = !grdUser->isChecked(0, kChk);
    DataGrid::Update update(grdUser);
    for (int r = 0; r < grdUser->recordCount(); ++r)
        grdUser->setValue(r, kChk, grdUser->isChecked(r, kExist) ? false : value);
}

void Tfrmdlbuser::grdUser_ChkPropertiesChange(int record) {
    grdUser->postEdit();
    // A registered beneficiary can never be selected.
    if (grdUser->isChecked(record, kExist) && grdUser->isChecked(record, kChk))
        grdUser->setValue(record, kChk, false);
}

facility::ImportRow Tfrmdlbuser::importRowOf(int record) const {
    facility::ImportRow row;
    row.name = grdUser->text(record, kName);
    row.code = grdUser->text(record, kUserid);
    row.tel = grdUser->text(record, kTel);
    row.bank = grdUser->text(record, kBank);
    row.account = grdUser->text(record, kAccount);
    row.accountname = grdUser->text(record, kAccountName);
    row.birth = grdUser->text(record, kBirth);
    return row;
}

void Tfrmdlbuser::btnSaveGridClick() {
    grdUser->postEdit();
    if (grdUser->recordCount() == 0) {
        DM->messages().warning(this, QStringLiteral("확인"), facility::kNoBeneficiaries);
        return;
    }
    std::vector<int> selected;
    for (int r : grdUser->visibleRecords())
        if (grdUser->isChecked(r, kChk) && !grdUser->isChecked(r, kExist)) selected.push_back(r);
    if (selected.empty()) {
        DM->messages().warning(this, QStringLiteral("확인"), facility::kSelectOne);
        return;
    }
    std::vector<facility::NewBeneficiaryPayer> payers;
    payers.reserve(selected.size());
    for (int r : selected) {
        const facility::ImportRow row = importRowOf(r);
        const QString warning = facility::checkImportRow(row);
        if (!warning.isEmpty()) {
            DM->messages().warning(this, QStringLiteral("확인"), warning);
            grdUser->setFocusedRecord(r);
            return;
        }
        payers.push_back(facility::payerOfRow(row));
    }

    Busy busy;
    platform::sql::Connection base(DM->UniBase);
    if (!DM->Fn_Dynamic_DB_Connect(base)) return;
    try {
        facility::insertBeneficiaries(base, app::session().serviceid, payers);
    } catch (const platform::sql::SqlError& e) {
        busy.off();
        showError(e.message());
        return;
    } catch (const std::exception& e) {
        busy.off();
        showError(QString::fromStdString(e.what()));
        return;
    }
    {
        DataGrid::Update update(grdUser);
        for (int r : selected) {
            grdUser->setValue(r, kChk, false);
            grdUser->setValue(r, kExist, true);
        }
    }
    if (frm001) frm001->pr_get_db_userList();
    busy.off();
    DM->messages().information(this, QStringLiteral("성공"), facility::kSaved);
}
