#include "payers/payer_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/data_module.h"
#include "app/form_utils.h"
#include "app/indicator.h"
#include "app/main_window.h"
#include "app/modal.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "app/theme.h"
#include "payers/consent_images.h"
#include "payers/consent_strip.h"
#include "payers/payer_dialog.h"
#include "platform/ftp/ftp_client.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "platform/ui/caption_cell.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/load_timer.h"
#include "store/vocabulary.h"

Tfrm001* frm001 = nullptr;

namespace payers {
std::function<void()> openBeneficiaryImport;
}

using platform::ui::DataGrid;
using platform::ui::GridColumn;

namespace {

constexpr int kBarHeight = 34;
constexpr int kCellHeight = 26;
constexpr int kCaptionWidth = 86;

QLabel* valueLabel(const QString& name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMargin(2);
    l->setMinimumHeight(kCellHeight);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return l;
}

platform::ui::CaptionCell* caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* c = new platform::ui::CaptionCell(text, parent);
    c->setFixedWidth(kCaptionWidth);
    c->setMinimumHeight(kCellHeight);
    c->setBuddy(buddy);
    return c;
}

QString errorMessage(const std::exception& e) {
    if (const auto* s = dynamic_cast<const platform::sql::SqlError*>(&e)) return s->message();
    if (const auto* f = dynamic_cast<const platform::ftp::FtpError*>(&e)) return f->message();
    return QString::fromUtf8(e.what());
}

}  // namespace

Tfrm001::Tfrm001(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frm001"));
    setWindowTitle(QStringLiteral("사용자 관리"));
    setFont(app::theme::uiFont());
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(buildLeftPanel());
    layout->addWidget(buildRightPanel(), 1);

    Timer1 = new platform::ui::LoadTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &Tfrm001::Timer1Timer);

    connect(cbbx_Stat, &QComboBox::currentIndexChanged, this, &Tfrm001::cbbx_StatPropertiesChange);
    connect(ckbx_UseYN, &QCheckBox::toggled, this, &Tfrm001::ckbx_UseYNPropertiesChange);
    connect(grd_List, &DataGrid::focusedRecordChanged, this,
            &Tfrm001::grd_ListFocusedRecordChanged);
    connect(bt_NewMember, &QPushButton::clicked, this, &Tfrm001::bt_NewMemberClick);
    connect(bt_ModifyMember, &QPushButton::clicked, this, &Tfrm001::bt_ModifyMemberClick);
    connect(bt_newmember_dlb, &QPushButton::clicked, this, &Tfrm001::bt_newmember_dlbClick);
    connect(bt_Download, &QPushButton::clicked, this, &Tfrm001::bt_DownloadClick);

    frm001 = this;
    FormCreate();
}

Tfrm001::~Tfrm001() {
    if (frm001 == this) frm001 = nullptr;
}

QWidget* Tfrm001::buildLeftPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnl_Left"));
    panel->setFixedWidth(kLeftPanelWidth);

    auto* top = new QWidget(panel);
    top->setFixedHeight(kBarHeight);
    cbbx_Stat = new QComboBox(top);
    cbbx_Stat->setObjectName(QStringLiteral("cbbx_Stat"));
    cbbx_Stat->addItems({QStringLiteral("이름순"), QStringLiteral("그룹순")});
    cbbx_Stat->setCurrentIndex(0);
    cbbx_Stat->setMinimumWidth(110);
    platform::ui::setCaption(cbbx_Stat, QStringLiteral("정렬"));
    ckbx_UseYN = new QCheckBox(QStringLiteral("해지사용자 포함"), top);
    ckbx_UseYN->setObjectName(QStringLiteral("ckbx_UseYN"));
    ckbx_UseYN->setChecked(false);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(4, 2, 4, 2);
    topLayout->addWidget(cbbx_Stat);
    topLayout->addStretch(1);
    topLayout->addWidget(ckbx_UseYN);

    grd_List = new DataGrid(panel);
    grd_List->setObjectName(QStringLiteral("grd_List"));
    grd_List->addColumn(GridColumn(QStringLiteral("grd_List_Seq"), QStringLiteral("순번"), 47)
                            .number(QStringLiteral("0"))
                            .centred()
                            .readOnly()
                            .footerCount(QStringLiteral("#,##0 건")));
    grd_List->addColumn(GridColumn(QStringLiteral("grd_List_Name"), QStringLiteral("사용자명"), 134)
                            .centred()
                            .readOnly());
    grd_List->addColumn(
        GridColumn(QStringLiteral("grd_List_ID"), QStringLiteral("사용자아이디"), 159)
            .centred()
            .readOnly());
    grd_List->addColumn(GridColumn(QStringLiteral("grd_List_Group"), QStringLiteral("그룹"), 75)
                            .centred()
                            .readOnly());
    grd_List->setCellSelect(false);
    grd_List->setSortingEnabled(false);
    grd_List->setFilteringEnabled(false);
    grd_List->setFooterVisible(true);

    auto* bottom = new QWidget(panel);
    bottom->setFixedHeight(kBarHeight + 4);
    bt_NewMember = new QPushButton(QStringLiteral("신규등록"), bottom);
    bt_NewMember->setObjectName(QStringLiteral("bt_NewMember"));
    bt_newmember_dlb = new QPushButton(QStringLiteral("온돌봄 연동"), bottom);
    bt_newmember_dlb->setObjectName(QStringLiteral("bt_newmember_dlb"));
    bt_Download = new QPushButton(QStringLiteral("이용신청서 다운로드"), bottom);
    bt_Download->setObjectName(QStringLiteral("bt_Download"));
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(4, 3, 4, 3);
    bottomLayout->addWidget(bt_NewMember);
    bottomLayout->addWidget(bt_newmember_dlb);
    bottomLayout->addStretch(1);
    bottomLayout->addWidget(bt_Download);

    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    v->addWidget(top);
    v->addWidget(grd_List, 1);
    v->addWidget(bottom);
    return panel;
}

QWidget* Tfrm001::buildRightPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnl_Right"));

    auto* header = new QWidget(panel);
    header->setFixedHeight(kBarHeight);
    auto* title = new QLabel(QStringLiteral("▣ 사용자 정보"), header);
    title->setObjectName(QStringLiteral("lb_InfoTitle"));
    title->setProperty(app::theme::kRoleProperty, QStringLiteral("heading"));
    bt_ModifyMember = new QPushButton(QStringLiteral("사용자 해지"), header);
    bt_ModifyMember->setObjectName(QStringLiteral("bt_ModifyMember"));
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(8, 2, 4, 2);
    headerLayout->addWidget(title);
    headerLayout->addStretch(1);
    headerLayout->addWidget(bt_ModifyMember);

    auto* detail = new QWidget(panel);
    detail->setObjectName(QStringLiteral("pnl_Detail"));
    lb_userid = valueLabel(QStringLiteral("lb_userid"), detail);
    lb_username = valueLabel(QStringLiteral("lb_username"), detail);
    lb_Groupname = valueLabel(QStringLiteral("lb_Groupname"), detail);
    lb_Bank = valueLabel(QStringLiteral("lb_Bank"), detail);
    lb_Account = valueLabel(QStringLiteral("lb_Account"), detail);
    lb_Owner = valueLabel(QStringLiteral("lb_Owner"), detail);
    lb_birth = valueLabel(QStringLiteral("lb_birth"), detail);
    lb_tel = valueLabel(QStringLiteral("lb_tel"), detail);
    lb_stat = valueLabel(QStringLiteral("lb_stat"), detail);
    lb_memo = valueLabel(QStringLiteral("lb_memo"), detail);
    lb_memo->setWordWrap(true);
    lb_memo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lb_memo->setFixedHeight(100);
    lb_memo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    auto* grid = new QGridLayout(detail);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(2);
    const struct {
        const char* caption;
        QLabel* label;
    } cells[3][3] = {
        {{"사용자아이디", lb_userid}, {"사용자이름", lb_username}, {"관리그룹", lb_Groupname}},
        {{"출금은행", lb_Bank}, {"계좌번호", lb_Account}, {"예금주", lb_Owner}},
        {{"생년월일", lb_birth}, {"연락처", lb_tel}, {"상태", lb_stat}},
    };
    for (int r = 0; r < 3; ++r) {
        for (int p = 0; p < 3; ++p) {
            const auto& cell = cells[r][p];
            grid->addWidget(caption(QString::fromUtf8(cell.caption), cell.label, detail), r, p * 2);
            grid->addWidget(cell.label, r, p * 2 + 1);
            grid->setColumnStretch(p * 2 + 1, 1);
        }
    }
    grid->addWidget(caption(QStringLiteral("메모"), lb_memo, detail), 3, 0, Qt::AlignTop);
    grid->addWidget(lb_memo, 3, 1, 1, 5);

    cxPageControl1 = new QTabWidget(panel);
    cxPageControl1->setObjectName(QStringLiteral("cxPageControl1"));
    cxPageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { width: 92px; }"));
    grd_Bill = new DataGrid;
    grd_Bill->setObjectName(QStringLiteral("grd_Bill"));
    grd_Bill->addColumn(
        GridColumn(QStringLiteral("grd_Bill_ID"), QStringLiteral("사용자아이디"), 100).hidden());
    grd_Bill->addColumn(
        GridColumn(QStringLiteral("grd_Bill_User"), QStringLiteral("사용자명"), 100).hidden());
    grd_Bill->addColumn(
        GridColumn(QStringLiteral("grd_Bill_Bankcode"), QStringLiteral("출금은행코드"), 100)
            .hidden());
    grd_Bill->addColumn(
        GridColumn(QStringLiteral("grd_Bill_BillDate"), QStringLiteral("요청일자"), 90).centred());
    grd_Bill->addColumn(
        GridColumn(QStringLiteral("grd_Bill_BankName"), QStringLiteral("출금은행"), 90).centred());
    grd_Bill->addColumn(
        GridColumn(QStringLiteral("grd_Bill_Account"), QStringLiteral("계좌번호"), 120).centred());
    grd_Bill->addColumn(
        GridColumn(QStringLiteral("grd_Bill_AccountName"), QStringLiteral("예금주명"), 90)
            .centred());
    grd_Bill->addColumn(
        GridColumn(QStringLiteral("grd_Bill_Amount"), QStringLiteral("요청금액"), 100)
            .currency(QStringLiteral(",0.;-,0."))
            .right());
    grd_Bill->addColumn(
        GridColumn(QStringLiteral("grd_Bill_ResultAmount"), QStringLiteral("출금금액"), 100)
            .currency(QStringLiteral(",0.;-,0."))
            .right());
    grd_Bill->addColumn(GridColumn(QStringLiteral("grd_Bill_Result"), QStringLiteral("결과"), 120));
    grd_Bill->setSortingEnabled(false);
    grd_Bill->setFilteringEnabled(false);
    grd_Bill->setFooterVisible(true);
    cxPageControl1->addTab(grd_Bill, QStringLiteral("출금요청 기록"));

    consentStrip = new payers::ConsentStrip;
    consentStrip->setPayerSource([this] { return lb_userid->text().trimmed(); });
    cxPageControl1->addTab(consentStrip, QStringLiteral("출금동의서 자료"));
    cxPageControl1->setCurrentIndex(0);

    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 4, 4);
    v->setSpacing(2);
    v->addWidget(header);
    v->addWidget(detail);
    v->addWidget(cxPageControl1, 1);
    return panel;
}

bool Tfrm001::event(QEvent* e) {
    // Inside the main window: a close button only, and at the top left of the client area
    // once the area has placed the new window.
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub && e->type() == QEvent::ParentChange) {
        sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    }
    if (e->type() == QEvent::Show && !placed_) {
        placed_ = true;
        if (sub) sub->setGeometry(0, 0, kWidth, kHeight);
    }
    return QWidget::event(e);
}

void Tfrm001::FormCreate() {
    resize(kWidth, kHeight);
    // A company linked to a care facility adds payers only by import.
    const bool linked = !app::session().sicode.isEmpty();
    bt_NewMember->setVisible(!linked);
    bt_newmember_dlb->setVisible(linked);
}

void Tfrm001::Timer1Timer() {
    Timer1->stop();
    app::PR_Set_UI_IndicoatorOn();
    pr_get_db_userList();
    app::PR_Set_UI_IndicoatorOFF();
}

void Tfrm001::cbbx_StatPropertiesChange() {
    app::PR_Set_UI_IndicoatorOn();
    pr_get_db_userList();
    app::PR_Set_UI_IndicoatorOFF();
}

void Tfrm001::ckbx_UseYNPropertiesChange() {
    app::PR_Set_UI_IndicoatorOn();
    pr_get_db_userList();
    app::PR_Set_UI_IndicoatorOFF();
}

void Tfrm001::showDbError(const QString& message) {
    app::PR_Set_UI_IndicoatorOFF();
    DM->messages().error(this, QStringLiteral("오류"), app::Fn_Get_ErrorType(message));
}

void Tfrm001::pr_get_db_userList() {
    std::vector<payers::Payer> rows;
    try {
        platform::sql::Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return;
        rows = payers::fetchPayerList(c, app::session().serviceid, ckbx_UseYN->isChecked(),
                                      cbbx_Stat->currentIndex() == 1 ? payers::PayerSort::ByGroup
                                                                     : payers::PayerSort::ByName);
    } catch (const std::exception& e) {
        showDbError(errorMessage(e));
        return;
    }
    // The connection is gone before the refill runs the focus-change loads.
    pr_set_grid_userList(rows);
}

void Tfrm001::pr_set_grid_userList(const std::vector<payers::Payer>& rows) {
    DataGrid::Update u(grd_List);
    grd_List->clearRows();
    for (const payers::Payer& p : rows) {
        const int r = grd_List->appendRow();
        grd_List->setValue(r, QStringLiteral("grd_List_Seq"), grd_List->recordCount());
        grd_List->setValue(r, QStringLiteral("grd_List_Name"), p.username.trimmed());
        grd_List->setValue(r, QStringLiteral("grd_List_ID"), p.userid.trimmed());
        grd_List->setValue(r, QStringLiteral("grd_List_Group"), p.groupname.trimmed());
    }
}

QString Tfrm001::focusedUserId() const {
    const int r = grd_List->focusedRecord();
    return r < 0 ? QString() : grd_List->text(r, QStringLiteral("grd_List_ID"));
}

void Tfrm001::grd_ListFocusedRecordChanged(int record) {
    if (record >= 0) {
        app::PR_Set_UI_IndicoatorOn();
        pr_get_db_userInfo();
        pr_Get_DB_Bankhis();
        pr_get_ftp_imageList(lb_userid->text().trimmed());
        app::PR_Set_UI_IndicoatorOFF();
    } else {
        pr_set_label_userInfo(std::nullopt);
        pr_set_grid_bankhis({});
        pr_get_ftp_imageList(QString());
    }
}

void Tfrm001::pr_get_db_userInfo() {
    try {
        platform::sql::Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return;
        pr_set_label_userInfo(payers::fetchPayer(c, app::session().serviceid, focusedUserId()));
    } catch (const std::exception& e) {
        showDbError(errorMessage(e));
    }
}

void Tfrm001::pr_set_label_userInfo(const std::optional<payers::Payer>& payer) {
    if (!payer) {
        for (QLabel* l : {lb_userid, lb_username, lb_Groupname, lb_Bank, lb_Account, lb_Owner,
                          lb_birth, lb_tel, lb_stat, lb_memo})
            l->clear();
        return;
    }
    lb_userid->setText(payer->userid);
    lb_username->setText(payer->username);
    lb_Groupname->setText(payer->groupname);
    lb_Account->setText(payer->account);
    lb_Owner->setText(payer->accountname);
    lb_birth->setText(payer->birth);
    lb_tel->setText(payer->tel);
    lb_stat->setText(payer->stat);
    lb_memo->setText(payer->memo);
    QString bank;
    for (const QString& line : app::mem_BaseBank())
        if (app::Fn_Get_Code(line, QStringLiteral("("), QStringLiteral(")")) == payer->bankcode)
            bank = line;
    lb_Bank->setText(bank);
}

void Tfrm001::pr_Get_DB_Bankhis() {
    try {
        platform::sql::Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return;
        pr_set_grid_bankhis(payers::fetchBillHistory(c, app::session().serviceid, focusedUserId()));
    } catch (const std::exception& e) {
        showDbError(errorMessage(e));
    }
}

void Tfrm001::pr_set_grid_bankhis(const std::vector<payers::BillHistoryRow>& rows) {
    DataGrid::Update u(grd_Bill);
    grd_Bill->clearRows();
    for (const payers::BillHistoryRow& h : rows) {
        const int r = grd_Bill->appendRow();
        const QString bankcode = h.bankcode.trimmed();
        grd_Bill->setValue(r, QStringLiteral("grd_Bill_ID"), h.userid.trimmed());
        grd_Bill->setValue(r, QStringLiteral("grd_Bill_User"), h.username.trimmed());
        grd_Bill->setValue(r, QStringLiteral("grd_Bill_Bankcode"), bankcode);
        grd_Bill->setValue(r, QStringLiteral("grd_Bill_BillDate"),
                           h.billdate.trimmed().replace(u'-', u'.'));
        grd_Bill->setValue(r, QStringLiteral("grd_Bill_BankName"),
                           app::Fn_Get_Value_BankName(bankcode));
        grd_Bill->setValue(r, QStringLiteral("grd_Bill_Account"), h.account.trimmed());
        grd_Bill->setValue(r, QStringLiteral("grd_Bill_AccountName"), h.accountname.trimmed());
        grd_Bill->setValue(r, QStringLiteral("grd_Bill_Amount"), h.billamount.toLongLong());
        grd_Bill->setValue(r, QStringLiteral("grd_Bill_ResultAmount"), h.resultamount.toLongLong());
        grd_Bill->setValue(r, QStringLiteral("grd_Bill_Result"), h.resultname.trimmed());
    }
}

void Tfrm001::pr_get_ftp_imageList(const QString& userid) {
    consentStrip->pr_get_ftp_imageList(userid);
}

namespace {

// The dialog is modal, so an instance left over can only be one that is already closing.
void closePayerDialog() {
    if (Tfrm001_001* old = frm001_001) {
        old->close();
        delete old;
    }
}

QWidget* dialogParent(QWidget* form) {
    return frmMain ? static_cast<QWidget*>(frmMain) : form->window();
}

}  // namespace

void Tfrm001::bt_NewMemberClick() {
    closePayerDialog();
    auto* dialog = new Tfrm001_001(dialogParent(this));
    dialog->txt_UserID->setText(QString());
    dialog->bt_save->setVisible(true);
    dialog->bt_del->setVisible(false);
    dialog->bt_del->setEnabled(false);
    app::showModal(dialog);
}

void Tfrm001::bt_ModifyMemberClick() {
    closePayerDialog();
    auto* dialog = new Tfrm001_001(dialogParent(this));
    dialog->txt_UserID->setText(lb_userid->text());
    for (QWidget* editor : dialog->editors()) editor->setEnabled(false);
    dialog->bt_save->setVisible(false);
    dialog->bt_del->setVisible(true);
    app::showModal(dialog);
}

void Tfrm001::bt_newmember_dlbClick() {
    if (payers::openBeneficiaryImport) payers::openBeneficiaryImport();
}

void Tfrm001::bt_DownloadClick() {
    const QString path = DM->messages().saveFile(
        this, QStringLiteral("저장"), store::kDocConsentForm, payers::ConsentStrip::kFilter);
    if (path.isEmpty()) return;
    app::PR_Set_UI_IndicoatorOn();
    try {
        platform::ftp::FtpClient client;
        if (payers::connectFileServer(client)) payers::downloadBlankForm(client, path);
    } catch (const std::exception& e) {
        app::PR_Set_UI_IndicoatorOFF();
        DM->messages().error(this, QStringLiteral("오류"), errorMessage(e));
        return;
    }
    app::PR_Set_UI_IndicoatorOFF();
}
