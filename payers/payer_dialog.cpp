#include "payers/payer_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/data_module.h"
#include "app/form_utils.h"
#include "app/formats.h"
#include "app/indicator.h"
#include "app/session.h"
#include "app/theme.h"
#include "payers/payer_list.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "platform/ui/caption_cell.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/load_timer.h"
#include "store/vocabulary.h"

Tfrm001_001* frm001_001 = nullptr;

namespace {

constexpr int kCellHeight = 26;
constexpr int kCaptionWidth = 86;
constexpr int kButtonWidth = 130;

const QString kSaved = QStringLiteral("저장이 완료되었습니다.");
const QString kInUse = QStringLiteral("사용중");
const QString kStopped = QStringLiteral("사용중지");

platform::ui::CaptionCell* caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* c = new platform::ui::CaptionCell(text, parent);
    c->setFixedWidth(kCaptionWidth);
    c->setMinimumHeight(kCellHeight);
    c->setBuddy(buddy);
    return c;
}

QLineEdit* textBox(const QString& name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMinimumHeight(kCellHeight);
    return e;
}

QString errorMessage(const std::exception& e) {
    if (const auto* s = dynamic_cast<const platform::sql::SqlError*>(&e)) return s->message();
    return QString::fromUtf8(e.what());
}

}  // namespace

Tfrm001_001::Tfrm001_001(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm001_001"));
    setWindowTitle(QStringLiteral("사용자 정보 등록"));
    setFont(app::theme::uiFont());
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    txt_UserID = textBox(QStringLiteral("txt_UserID"), this);
    txt_UserName = textBox(QStringLiteral("txt_UserName"), this);
    cbbx_Group = new QComboBox(this);
    cbbx_Group->setObjectName(QStringLiteral("cbbx_Group"));
    for (char16_t ch = u'A'; ch <= u'Z'; ++ch) cbbx_Group->addItem(QString(QChar(ch)));
    cbbx_Bank = new QComboBox(this);
    cbbx_Bank->setObjectName(QStringLiteral("cbbx_Bank"));
    txt_Account = textBox(QStringLiteral("txt_Account"), this);
    txt_Owner = textBox(QStringLiteral("txt_Owner"), this);
    date_date = new platform::ui::DateEdit(this);
    date_date->setObjectName(QStringLiteral("date_date"));
    date_date->setDisplayFormat(QStringLiteral("YYYY-MM-DD"));
    txt_Tel = textBox(QStringLiteral("txt_Tel"), this);
    cbbx_UseYN = new QComboBox(this);
    cbbx_UseYN->setObjectName(QStringLiteral("cbbx_UseYN"));
    cbbx_UseYN->addItems({kInUse, kStopped});
    mem_memo = new QPlainTextEdit(this);
    mem_memo->setObjectName(QStringLiteral("mem_memo"));
    // Tab goes on to the save button instead of into the note.
    mem_memo->setTabChangesFocus(true);
    for (QComboBox* c : {cbbx_Group, cbbx_Bank, cbbx_UseYN}) c->setMinimumHeight(kCellHeight);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(2);
    const struct {
        const char* caption;
        QWidget* editor;
    } cells[3][3] = {
        {{"사용자아이디", txt_UserID}, {"사용자이름", txt_UserName}, {"관리그룹", cbbx_Group}},
        {{"출금은행", cbbx_Bank}, {"계좌번호", txt_Account}, {"예금주", txt_Owner}},
        {{"생년월일", date_date}, {"연락처", txt_Tel}, {"상태", cbbx_UseYN}},
    };
    for (int r = 0; r < 3; ++r) {
        for (int p = 0; p < 3; ++p) {
            const auto& cell = cells[r][p];
            grid->addWidget(caption(QString::fromUtf8(cell.caption), cell.editor, this), r, p * 2);
            grid->addWidget(cell.editor, r, p * 2 + 1);
            grid->setColumnStretch(p * 2 + 1, 1);
        }
    }
    grid->addWidget(caption(QStringLiteral("메모"), mem_memo, this), 3, 0);
    grid->addWidget(mem_memo, 3, 1, 1, 5);
    grid->setRowStretch(3, 1);

    bt_save = new QPushButton(QStringLiteral("저장"), this);
    bt_save->setObjectName(QStringLiteral("bt_save"));
    bt_del = new QPushButton(QStringLiteral("해지"), this);
    bt_del->setObjectName(QStringLiteral("bt_del"));
    for (QPushButton* b : {bt_save, bt_del}) {
        b->setFixedWidth(kButtonWidth);
        b->setAutoDefault(false);
    }
    auto* bar = new QHBoxLayout;
    bar->setSpacing(4);
    bar->addStretch(1);
    bar->addWidget(bt_save);
    bar->addWidget(bt_del);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 6);
    v->setSpacing(6);
    v->addLayout(grid, 1);
    v->addLayout(bar);

    Timer1 = new platform::ui::LoadTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &Tfrm001_001::Timer1Timer);
    connect(bt_save, &QPushButton::clicked, this, &Tfrm001_001::bt_saveClick);
    connect(bt_del, &QPushButton::clicked, this, &Tfrm001_001::bt_delClick);

    frm001_001 = this;
    FormCreate();
}

Tfrm001_001::~Tfrm001_001() {
    if (frm001_001 == this) frm001_001 = nullptr;
}

QList<QWidget*> Tfrm001_001::editors() const {
    return {txt_UserID, txt_UserName, cbbx_Group, cbbx_Bank,  txt_Account,
            txt_Owner,  date_date,    txt_Tel,    cbbx_UseYN, mem_memo};
}

void Tfrm001_001::FormCreate() {
    app::pr_Set_UI_ImeMode(this);
    // The payer id comes from the server; it is never typed.
    txt_UserID->setEnabled(false);
    date_date->setDate(DM->clock().today());
    cbbx_Bank->clear();
    cbbx_Bank->addItems(app::mem_BaseBank());
    cbbx_Bank->setCurrentIndex(0);
}

void Tfrm001_001::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormShow();
}

void Tfrm001_001::closeEvent(QCloseEvent* e) {
    Timer1->stop();
    QDialog::closeEvent(e);
}

void Tfrm001_001::FormShow() {
    if (txt_UserID->text().trimmed().isEmpty()) bt_del->setEnabled(false);
}

void Tfrm001_001::Timer1Timer() {
    Timer1->stop();
    app::PR_Set_UI_IndicoatorOn();
    pr_get_db_userInfo();
    app::PR_Set_UI_IndicoatorOFF();
}

void Tfrm001_001::showDbError(const QString& message) {
    app::PR_Set_UI_IndicoatorOFF();
    DM->messages().error(this, QStringLiteral("오류"), app::Fn_Get_ErrorType(message));
}

void Tfrm001_001::pr_get_db_userInfo() {
    const QString userid = txt_UserID->text().trimmed();
    if (userid.isEmpty()) return;
    try {
        platform::sql::Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return;
        pr_set_edit_userInfo(payers::fetchDialogPayer(c, app::session().serviceid, userid));
    } catch (const std::exception& e) {
        showDbError(errorMessage(e));
    }
}

void Tfrm001_001::pr_set_edit_userInfo(const std::optional<payers::Payer>& payer) {
    if (!payer) return;
    txt_UserID->setText(payer->userid);
    txt_UserName->setText(payer->username);
    cbbx_Group->setCurrentText(payer->groupname);
    txt_Account->setText(payer->account);
    txt_Owner->setText(payer->accountname);
    date_date->setText(payer->birth);
    txt_Tel->setText(payer->tel);
    mem_memo->setPlainText(payer->memo);
    for (int i = 0; i < cbbx_Bank->count(); ++i) {
        if (app::Fn_Get_Code(cbbx_Bank->itemText(i), QStringLiteral("("), QStringLiteral(")")) ==
            payer->bankcode) {
            cbbx_Bank->setCurrentIndex(i);
            break;
        }
    }
    // The stored statuses are words, none of which starts like "True" or "Yes".
    const QChar first = payer->stat.isEmpty() ? QChar() : payer->stat.at(0);
    const bool inUse = first == u'T' || first == u't' || first == u'Y' || first == u'y';
    cbbx_UseYN->setCurrentText(inUse ? kInUse : kStopped);
}

void Tfrm001_001::bt_saveClick() {
    app::PR_Set_UI_IndicoatorOn();
    pr_save_db_user();
    app::PR_Set_UI_IndicoatorOFF();
}

void Tfrm001_001::pr_save_db_user() {
    try {
        platform::sql::Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return;
        if (txt_UserID->text().trimmed().isEmpty()) {
            payers::NewPayer p;
            p.groupname = cbbx_Group->currentText().trimmed();
            p.username = txt_UserName->text().trimmed();
            p.bankcode = app::Fn_Get_Code(cbbx_Bank->currentText(), QStringLiteral("("),
                                          QStringLiteral(")"));
            p.account = txt_Account->text().trimmed();
            p.accountname = txt_Owner->text().trimmed();
            p.birth = date_date->text().trimmed();
            p.tel = txt_Tel->text().trimmed();
            p.memo = mem_memo->toPlainText().trimmed();
            payers::insertPayer(c, app::session().serviceid, p);
        }
    } catch (const std::exception& e) {
        showDbError(errorMessage(e));
        return;
    }
    if (frm001) {
        frm001->pr_get_db_userList();
        frm001->pr_Get_DB_Bankhis();
    }
    app::PR_Set_UI_IndicoatorOFF();
    DM->messages().show(this, platform::ui::MsgIcon::None, QStringLiteral("확인"), kSaved,
                        platform::ui::MsgButtons::Ok);
    close();
}

void Tfrm001_001::bt_delClick() {
    app::PR_Set_UI_IndicoatorOn();
    pr_cancel_db_user();
    app::PR_Set_UI_IndicoatorOFF();
}

void Tfrm001_001::pr_cancel_db_user() {
    bool found = false;
    try {
        platform::sql::Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return;
        found = payers::cancelPayer(c, app::session().serviceid, txt_UserID->text().trimmed(),
                                    app::formatDate(DM->clock().today()));
    } catch (const std::exception& e) {
        showDbError(errorMessage(e));
        return;
    }
    if (!found) {
        // Saying "saved" here would hide that the payer is gone; the list is out of date.
        app::PR_Set_UI_IndicoatorOFF();
        DM->messages().error(this, QStringLiteral("오류"), kPayerMissing);
        return;
    }
    if (frm001) {
        frm001->lb_Groupname->setText(cbbx_Group->currentText().trimmed());
        frm001->lb_username->setText(txt_UserName->text().trimmed());
        frm001->lb_Bank->setText(cbbx_Bank->currentText().trimmed());
        frm001->lb_Account->setText(txt_Account->text().trimmed());
        frm001->lb_Owner->setText(txt_Owner->text().trimmed());
        frm001->lb_birth->setText(date_date->text().trimmed());
        frm001->lb_tel->setText(txt_Tel->text().trimmed());
        frm001->lb_memo->setText(mem_memo->toPlainText().trimmed());
        frm001->lb_stat->setText(store::kPayerCancelWaiting);
    }
    app::PR_Set_UI_IndicoatorOFF();
    DM->messages().show(this, platform::ui::MsgIcon::None, QStringLiteral("확인"), kSaved,
                        platform::ui::MsgButtons::Ok);
    close();
}
