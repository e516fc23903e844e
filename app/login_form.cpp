#include "app/login_form.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/theme.h"

TfrmLogin* frmLogin = nullptr;

namespace {

QLabel* captionCell(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setProperty(app::theme::kRoleProperty, QStringLiteral("caption"));
    l->setFixedSize(80, 26);
    return l;
}

}  // namespace

TfrmLogin::TfrmLogin(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("로그인"));
    setWindowState(Qt::WindowMaximized);

    // Left: title bar and picture; they get room only in the working-size window.
    main_Panel1 = new QWidget(this);
    main_Panel1->setObjectName(QStringLiteral("main_Panel1"));
    main_Panel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* title = new QLabel(QStringLiteral("온돌봄 방문요양"), main_Panel1);
    title->setObjectName(QStringLiteral("lb_Title"));
    title->setProperty(app::theme::kRoleProperty, QStringLiteral("caption"));
    title->setFixedHeight(30);
    m_Image1 = new QLabel(main_Panel1);
    m_Image1->setObjectName(QStringLiteral("m_Image1"));
    m_Image1->setScaledContents(true);
    auto* left = new QVBoxLayout(main_Panel1);
    left->setContentsMargins(0, 0, 0, 0);
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

    edt_id = new QLineEdit(panel);
    edt_id->setObjectName(QStringLiteral("edt_id"));
    edt_id->setMaxLength(11);
    edt_id->setAccessibleName(QStringLiteral("아이디"));
    edt_id->setFixedHeight(26);

    edt_pw = new QLineEdit(panel);
    edt_pw->setObjectName(QStringLiteral("edt_pw"));
    edt_pw->setMaxLength(20);
    edt_pw->setEchoMode(QLineEdit::Password);
    edt_pw->setAccessibleName(QStringLiteral("비밀번호"));
    edt_pw->setFixedHeight(26);

    ckbx_Logininfo = new QCheckBox(QStringLiteral("아이디 저장"), panel);
    ckbx_Logininfo->setObjectName(QStringLiteral("ckbx_Logininfo"));
    ckbx_Logininfo->setChecked(true);

    btnLogin = new QPushButton(QStringLiteral("로그인"), panel);
    btnLogin->setObjectName(QStringLiteral("btnLogin"));
    QFont bf = btnLogin->font();
    bf.setBold(true);
    btnLogin->setFont(bf);
    btnLogin->setMinimumHeight(34);

    bt_Join = new QPushButton(QStringLiteral("회원가입"), panel);
    bt_Join->setObjectName(QStringLiteral("bt_Join"));

    lb_Limit1 = new QLabel(QStringLiteral("이용안내 : 070-4823-1956"), panel);
    lb_Limit1->setObjectName(QStringLiteral("lb_Limit1"));
    lb_Limit1->setProperty(app::theme::kRoleProperty, QStringLiteral("notice"));
    lb_Limit1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* idRow = new QHBoxLayout;
    idRow->setSpacing(2);
    idRow->addWidget(captionCell(QStringLiteral("아이디"), panel));
    idRow->addWidget(edt_id, 1);
    auto* pwRow = new QHBoxLayout;
    pwRow->setSpacing(2);
    pwRow->addWidget(captionCell(QStringLiteral("비밀번호"), panel));
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
}

TfrmLogin::~TfrmLogin() {
    if (frmLogin == this) frmLogin = nullptr;
}

void TfrmLogin::resizeEvent(QResizeEvent* e) {
    // In the compact main window the login panel takes the whole width; a sliver of title
    // and picture beside it would only look broken.
    main_Panel1->setVisible(width() - kPanelWidth >= 120);
    QWidget::resizeEvent(e);
}
