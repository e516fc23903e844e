#include "app/login_form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <exception>

#include "app/data_module.h"
#include "app/form_utils.h"
#include "app/login_queries.h"
#include "app/main_window.h"
#include "app/modal.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "app/theme.h"
#include "documents/documents_form.h"
#include "platform/profile/ini_file.h"
#include "platform/shell/shell.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "platform/ui/caption_cell.h"
#include "signup/join_form.h"
#include "store/vocabulary.h"

// Q_INIT_RESOURCE must stand at global scope.
static void initLoginResources() {
    Q_INIT_RESOURCE(login);
}

TfrmLogin* frmLogin = nullptr;

namespace {

const QString kConfirm = QStringLiteral("확인");
const QString kPicture = QStringLiteral(":/paydesk/login/login_picture.svg");

bool isEnter(const QKeyEvent* k) {
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

platform::ui::CaptionCell* captionCell(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* c = new platform::ui::CaptionCell(text, parent);
    c->setColors(app::theme::kCaptionTop, app::theme::kCaptionBottom);
    c->setFixedSize(80, 26);
    c->setBuddy(buddy);
    return c;
}

QString mainCaption() {
    return frmMain ? frmMain->windowTitle() : platform::ui::MessageService::applicationTitle();
}

}  // namespace

TfrmLogin::TfrmLogin(QWidget* parent) : TfrmLogin(QCoreApplication::arguments().mid(1), parent) {}

TfrmLogin::TfrmLogin(QStringList arguments, QWidget* parent)
    : QWidget(parent), arguments_(std::move(arguments)) {
    static const bool resources = (initLoginResources(), true);
    (void)resources;
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("로그인"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowState(Qt::WindowMaximized);
    buildWidgets();
    FormCreate();
}

TfrmLogin::~TfrmLogin() {
    if (frmLogin == this) frmLogin = nullptr;
}

void TfrmLogin::buildWidgets() {
    // Left: title bar and picture; they get room only in the working-size window.
    main_Panel1 = new QWidget(this);
    main_Panel1->setObjectName(QStringLiteral("main_Panel1"));
    main_Panel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* title = new QLabel(QStringLiteral("온돌봄 방문요양"), main_Panel1);
    title->setObjectName(QStringLiteral("lb_Title"));
    title->setProperty(app::theme::kRoleProperty, QStringLiteral("caption"));
    title->setFont(app::theme::uiFont(15, true));
    title->setFixedHeight(34);
    m_Image1 = new QLabel(main_Panel1);
    m_Image1->setObjectName(QStringLiteral("m_Image1"));
    m_Image1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_Image1->setAlignment(Qt::AlignCenter);
    auto* left = new QVBoxLayout(main_Panel1);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    left->addWidget(title);
    left->addWidget(m_Image1, 1);

    // Right: the login panel.
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlLogin"));
    panel->setFixedWidth(kPanelWidth);

    auto* heading = new QLabel(QStringLiteral("Log - in"), panel);
    heading->setObjectName(QStringLiteral("lb_Heading"));
    heading->setProperty(app::theme::kRoleProperty, QStringLiteral("heading"));
    QFont hf = app::theme::uiFont();
    hf.setPointSize(30);
    hf.setBold(true);
    heading->setFont(hf);

    // The boxes take as much as the columns hold: a company that signed up with a longer id or
    // password than the design's 11 / 20 characters must still be able to type it.
    edt_id = new QLineEdit(panel);
    edt_id->setObjectName(QStringLiteral("edt_id"));
    edt_id->setMaxLength(50);
    edt_id->setFixedHeight(26);
    edt_id->installEventFilter(this);

    edt_pw = new QLineEdit(panel);
    edt_pw->setObjectName(QStringLiteral("edt_pw"));
    edt_pw->setMaxLength(50);
    edt_pw->setEchoMode(QLineEdit::Password);
    edt_pw->setFixedHeight(26);
    edt_pw->installEventFilter(this);

    ckbx_Logininfo = new QCheckBox(QStringLiteral("아이디 저장"), panel);
    ckbx_Logininfo->setObjectName(QStringLiteral("ckbx_Logininfo"));
    ckbx_Logininfo->setChecked(true);

    btnLogin = new QPushButton(QStringLiteral("로그인"), panel);
    btnLogin->setObjectName(QStringLiteral("btnLogin"));
    QFont bf = btnLogin->font();
    bf.setBold(true);
    btnLogin->setFont(bf);
    btnLogin->setMinimumHeight(34);
    connect(btnLogin, &QPushButton::clicked, this, &TfrmLogin::btnLoginClick);

    bt_Join = new QPushButton(QStringLiteral("회원가입"), panel);
    bt_Join->setObjectName(QStringLiteral("bt_Join"));
    connect(bt_Join, &QPushButton::clicked, this, &TfrmLogin::bt_JoinClick);

    lb_Limit1 = new QLabel(QStringLiteral("이용안내 : 070-4823-1956"), panel);
    lb_Limit1->setObjectName(QStringLiteral("lb_Limit1"));
    lb_Limit1->setProperty(app::theme::kRoleProperty, QStringLiteral("notice"));
    lb_Limit1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* idRow = new QHBoxLayout;
    idRow->setSpacing(2);
    idRow->addWidget(captionCell(QStringLiteral("아이디"), edt_id, panel));
    idRow->addWidget(edt_id, 1);
    auto* pwRow = new QHBoxLayout;
    pwRow->setSpacing(2);
    pwRow->addWidget(captionCell(QStringLiteral("비밀번호"), edt_pw, panel));
    pwRow->addWidget(edt_pw, 1);
    auto* joinRow = new QHBoxLayout;
    joinRow->addWidget(ckbx_Logininfo);
    joinRow->addStretch(1);
    joinRow->addWidget(bt_Join);

    auto* right = new QVBoxLayout(panel);
    right->setContentsMargins(16, 24, 16, 12);
    right->setSpacing(8);
    right->addWidget(heading);
    right->addSpacing(16);
    right->addLayout(idRow);
    right->addLayout(pwRow);
    right->addLayout(joinRow);
    right->addSpacing(4);
    right->addWidget(btnLogin);
    right->addStretch(1);
    right->addWidget(lb_Limit1);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(main_Panel1, 1);
    row->addWidget(panel, 0, Qt::AlignRight);

    setTabOrder(edt_id, edt_pw);
    setTabOrder(edt_pw, ckbx_Logininfo);
    setTabOrder(ckbx_Logininfo, btnLogin);
    setTabOrder(btnLogin, bt_Join);
}

void TfrmLogin::FormCreate() {
    // The other program's settings are its own business: a write that fails must not keep
    // anyone from logging in.
    app::recordBuildString();
}

void TfrmLogin::FormShow() {
    if (formShown_) return;
    formShown_ = true;
    if (!DM) return;
    QPointer<TfrmLogin> self(this);
    try {
        const QString code = arguments_.value(0).trimmed();
        if (!code.isEmpty()) {
            bt_Join->hide();
            platform::sql::Connection c(DM->UniBase);
            if (DM->Fn_Dynamic_DB_Connect(c)) {
                const std::optional<app::CompanyRow> row = app::selectCompanyBySicode(c, code);
                if (!row) {
                    DM->messages().warning(
                        this, kConfirm,
                        QStringLiteral("등록되지 않은 기관 입니다.\r\n하단의 이용안내 연락처로 "
                                       "문의하세요."));
                } else {
                    edt_id->setText(row->id);
                    edt_pw->setText(row->pw);
                    QCoreApplication::processEvents();
                }
            }
        } else {
            try {
                edt_id->setText(platform::profile::IniFile(app::infoIniPath())
                                    .readString(QStringLiteral("login"), QStringLiteral("id")));
            } catch (const std::exception&) {
                edt_id->clear();
                DM->messages().warning(this, kConfirm,
                                       QStringLiteral("로그인 정보를 불러오는데 실패했습니다."));
            }
            if (!self) return;
            (edt_id->text().isEmpty() ? edt_id : edt_pw)->setFocus();
        }
        if (self && !edt_id->text().trimmed().isEmpty() && !edt_pw->text().trimmed().isEmpty())
            btnLoginClick();
    } catch (...) {
        // The form stays open for a login by hand.
    }
}

void TfrmLogin::btnLoginClick() {
    if (!DM) return;
    QPointer<TfrmLogin> self(this);
    DM->messages().plain(this, mainCaption());
    if (!self) return;

    if (edt_id->text().trimmed().isEmpty()) {
        DM->messages().warning(this, kConfirm, QStringLiteral("아이디를 입력하지 않았습니다."));
        edt_id->setFocus();
        return;
    }
    // Only the empty box is refused: a password of blanks is looked up (as empty).
    if (edt_pw->text().isEmpty()) {
        DM->messages().warning(this, kConfirm, QStringLiteral("비밀번호를 입력하지 않았습니다."));
        edt_pw->setFocus();
        return;
    }

    try {
        if (!pr_Get_DB_Login()) return;
    } catch (const platform::sql::SqlError& e) {
        if (self && !closed_)
            DM->messages().error(this, QStringLiteral("오류"), app::Fn_Get_ErrorType(e.message()));
    } catch (const std::exception& e) {
        if (self && !closed_)
            DM->messages().error(this, QStringLiteral("오류"),
                                 app::Fn_Get_ErrorType(QString::fromStdString(e.what())));
    }

    // From here on the form is gone (it only waits to be deleted): nothing below uses it.
    const QString sicode = app::session().sicode;
    if (sicode.isEmpty()) return;
    app::configureFacilityConnection(sicode, frmMain);
}

// The company look-up and, on a match, the logged-in state. False when the attempt ended here
// (no connection, no matching company).
bool TfrmLogin::pr_Get_DB_Login() {
    std::optional<app::CompanyRow> row;
    {
        platform::sql::Connection c(DM->UniBase);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return false;
        row = app::selectCompanyByLogin(c, edt_id->text().trimmed(), edt_pw->text().trimmed());
    }
    if (!row) {
        DM->messages().warning(this, kConfirm, QStringLiteral("로그인 정보가 잘못되었습니다."));
        return false;
    }

    // The id as typed, blanks included. Without "아이디 저장" the saved id is cleared, so that
    // the next start does not offer it.
    try {
        platform::profile::IniFile(app::infoIniPath())
            .writeString(QStringLiteral("login"), QStringLiteral("id"),
                         ckbx_Logininfo->isChecked() ? edt_id->text() : QString());
    } catch (const std::exception&) {
        DM->messages().warning(this, kConfirm, QStringLiteral("로그인 정보 저장에 실패했습니다."));
    }

    app::fillSession(app::session(), *row);
    pr_Set_UI_LoggedIn();
    return true;
}

void TfrmLogin::pr_Set_UI_LoggedIn() {
    if (frmMain) frmMain->showWorkingWindow();
    closeLoginForm();
    if (app::session().serviceid.trimmed().isEmpty() && frmMain)
        frmMain->showWindowForm(frmDocuments);
}

void TfrmLogin::closeLoginForm() {
    closed_ = true;
    if (frmLogin == this) frmLogin = nullptr;
    app::formWindow(this)->close();
}

void TfrmLogin::bt_JoinClick() {
    if (!frmJoin) {
        QWidget* owner = frmMain ? static_cast<QWidget*>(frmMain) : window();
        app::trackInstance(frmJoin, new TfrmJoin(owner));
    }
    app::showModal(frmJoin);
}

bool TfrmLogin::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(e))) {
        if (watched == edt_id) {
            edt_idKeyPress();
            return true;
        }
        if (watched == edt_pw) {
            edt_pwKeyPress();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TfrmLogin::edt_idKeyPress() {
    edt_pw->setFocus();
}

void TfrmLogin::edt_pwKeyPress() {
    btnLoginClick();
}

void TfrmLogin::resizeEvent(QResizeEvent* e) {
    // In the compact main window the login panel takes the whole width; a sliver of title
    // and picture beside it would only look broken.
    const bool room = width() - kPanelWidth >= 120;
    main_Panel1->setVisible(room);
    QWidget::resizeEvent(e);
    if (!room) return;
    // The picture fills its panel at every size, drawn afresh so that it stays sharp.
    const QSize size = QSize(width() - kPanelWidth, std::max(height() - 34, 1));
    QPixmap pixmap(size);
    pixmap.fill(app::theme::kWindow);
    QPainter p(&pixmap);
    QSvgRenderer(kPicture).render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    m_Image1->setPixmap(pixmap);
}

void TfrmLogin::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    FormShow();
}

void TfrmLogin::closeEvent(QCloseEvent* e) {
    closed_ = true;
    if (frmLogin == this) frmLogin = nullptr;
    e->accept();
}

namespace app {

TfrmLogin* openLoginForm(TfrmMain& main, const QStringList& arguments) {
    TfrmLogin* form =
        showSingle(frmLogin, [&] { return main.addMdiChild(new TfrmLogin(arguments)); });
    if (form) form->FormShow();
    return frmLogin;
}

QString infoIniPath() {
    return platform::shell::programDir() + QStringLiteral("/info.ini");
}

QString torvoIniPath() {
    return platform::shell::programDir() + QStringLiteral("/ini/torvo.ini");
}

bool recordBuildString() {
    const QString path = torvoIniPath();
    if (!QFile::exists(path)) return true;
    try {
        platform::profile::IniFile(path).writeString(QStringLiteral("paydesk.exe"),
                                                     QStringLiteral("ver"), store::kBuildString);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void configureFacilityConnection(const QString& sicode, QWidget* messageParent) {
    if (!DM) return;
    const QString caption = QStringLiteral("경고");
    const QString notFetched = QStringLiteral("온돌봄 서버정보를 가져오지 못했습니다.");
    try {
        platform::sql::Connection c(DM->UniWonju);
        if (!DM->Fn_Dynamic_DB_Connect(c)) return;
        const std::optional<FacilityServer> server = selectFacilityServer(c, sicode);
        if (!server) {
            DM->messages().warning(messageParent, caption, notFetched);
            return;
        }
        // A row whose values did not decipher to a host and a port number would only give a
        // connection that can never open; say so now rather than at the first import.
        if (!applyFacilityServer(*server, DM->UniCon))
            DM->messages().warning(
                messageParent, caption,
                notFetched + QStringLiteral("\r\n(서버 주소 또는 포트 번호가 올바르지 않습니다.)"));
    } catch (...) {
        // The login is complete; the care-facility imports will report that they cannot
        // connect.
    }
}

}  // namespace app
