#include "documents/documents_form.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionFocusRect>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "app/data_module.h"
#include "app/indicator.h"
#include "app/main_window.h"
#include "app/session.h"
#include "app/theme.h"
#include "platform/ftp/ftp_client.h"

TfrmDocuments* frmDocuments = nullptr;

namespace documents {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    setForegroundRole(QPalette::Link);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    // Reached with Tab and opened with Enter or Space, like the download buttons beside it.
    setFocusPolicy(Qt::StrongFocus);
}

void LinkLabel::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(e);
}

void LinkLabel::paintEvent(QPaintEvent* e) {
    QLabel::paintEvent(e);
    if (!hasFocus()) return;
    QPainter p(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
}

}  // namespace documents

namespace {

using documents::Document;

QLabel* rowLabel(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QPushButton* downloadButton(const char* name, QWidget* parent) {
    auto* b = new QPushButton(QStringLiteral("다운로드"), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setFixedSize(90, 26);
    return b;
}

}  // namespace

TfrmDocuments::TfrmDocuments(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmDocuments"));
    setWindowTitle(QStringLiteral("신청서"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(app::theme::uiFont());
    setFixedSize(kClientWidth, kClientHeight);

    auto* heading = new QLabel(QStringLiteral("서비스 접수가 필요합니다."), this);
    heading->setObjectName(QStringLiteral("lb_Notice"));
    heading->setFont(app::theme::uiFont(17, true));
    heading->setProperty(app::theme::kRoleProperty, QStringLiteral("notice"));

    cxButton1 = downloadButton("cxButton1", this);
    bt_B = downloadButton("bt_B", this);
    bt_G = downloadButton("bt_G", this);
    pn_B = new documents::LinkLabel(
        QStringLiteral("실제소유자확인서 / 고객거리확인서(법인,단체 샘플)"), this);
    pn_B->setObjectName(QStringLiteral("pn_B"));
    pn_G = new documents::LinkLabel(
        QStringLiteral("실제소유자확인서 / 고객거리확인서(개인사업자 샘플)"), this);
    pn_G->setObjectName(QStringLiteral("pn_G"));

    const QString email = DM ? DM->config().supportEmail : QString();
    auto* mail = new QLabel(QStringLiteral("▶ 신청서류 사본 이메일 제출 %1").arg(email), this);
    mail->setObjectName(QStringLiteral("lb_Email"));
    mail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* tel = new QLabel(QStringLiteral("☎ 070-4823-1956"), this);
    tel->setObjectName(QStringLiteral("lb_Tel"));
    QFont bold = tel->font();
    bold.setBold(true);
    mail->setFont(bold);
    tel->setFont(bold);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(0, 1);
    grid->addWidget(rowLabel(QStringLiteral("● DEBITOn 출금서비스 이용 신청서"), this), 0, 0);
    grid->addWidget(cxButton1, 0, 1);
    grid->addWidget(
        rowLabel(QStringLiteral("● 실제소유자확인서 / 고객거리확인서(법인,단체용)"), this), 1, 0);
    grid->addWidget(bt_B, 1, 1);
    grid->addWidget(pn_B, 2, 0);
    grid->addWidget(
        rowLabel(QStringLiteral("● 실제소유자확인서 / 고객거리확인서(개인사업자용)"), this), 3, 0);
    grid->addWidget(bt_G, 3, 1);
    grid->addWidget(pn_G, 4, 0);
    // The sample links stand indented under their documents and keep their row when hidden.
    for (QWidget* link : {static_cast<QWidget*>(pn_B), static_cast<QWidget*>(pn_G)}) {
        link->setContentsMargins(18, 0, 0, 0);
        QSizePolicy p = link->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        link->setSizePolicy(p);
    }

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(20, 16, 20, 14);
    v->setSpacing(10);
    v->addWidget(heading);
    v->addLayout(grid);
    v->addStretch(1);
    v->addWidget(mail);
    v->addWidget(tel);

    connect(cxButton1, &QPushButton::clicked, this,
            [this] { pr_Get_FTP_Document(Document::Application); });
    connect(bt_B, &QPushButton::clicked, this,
            [this] { pr_Get_FTP_Document(Document::CorporateCheck); });
    connect(pn_B, &documents::LinkLabel::clicked, this,
            [this] { pr_Get_FTP_Document(Document::CorporateSample); });
    connect(bt_G, &QPushButton::clicked, this,
            [this] { pr_Get_FTP_Document(Document::IndividualCheck); });
    connect(pn_G, &documents::LinkLabel::clicked, this,
            [this] { pr_Get_FTP_Document(Document::IndividualSample); });
}

TfrmDocuments::~TfrmDocuments() {
    if (frmDocuments == this) frmDocuments = nullptr;
}

void TfrmDocuments::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (e->spontaneous()) return;
    // Over the middle of the main window.
    if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect frame = frameGeometry();
        move(owner->frameGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
    FormShow();
}

void TfrmDocuments::FormShow() {
    // Without a service id there is nothing to manage or bill yet; nothing enables these
    // again during the run.
    if (frmMain) {
        for (TfrmMain::Command c :
             {TfrmMain::Command::Payers, TfrmMain::Command::Billing, TfrmMain::Command::History})
            if (QToolButton* b = frmMain->ribbonButton(c)) b->setEnabled(false);
    }
    const bool individual = documents::isIndividualBusiness(app::session().comptype);
    QPushButton* offButton = individual ? bt_B : bt_G;
    documents::LinkLabel* offLink = individual ? pn_B : pn_G;
    offButton->setEnabled(false);
    offLink->hide();
    offLink->disconnect(this);
}

void TfrmDocuments::pr_Get_FTP_Document(Document d) {
    if (!DM) return;
    const QString name = documents::fileName(d);
    const QString path = DM->messages().saveFile(this, QStringLiteral("신청서 저장"), name,
                                                 QStringLiteral("워드 문서 (*.DOC)|*.DOC"));
    if (path.isEmpty()) return;

    app::PR_Set_UI_IndicoatorOn();
    try {
        // Exactly the five settings of the module's template.
        platform::ftp::FtpClient client(DM->FTP);
        if (DM->Fn_Dynamic_FTP_Connect(client)) documents::download(client, d, path);
    } catch (const platform::ftp::FtpError& e) {
        app::PR_Set_UI_IndicoatorOFF();
        DM->messages().error(this, QStringLiteral("오류"), e.message());
        return;
    } catch (const std::exception& e) {
        app::PR_Set_UI_IndicoatorOFF();
        DM->messages().error(this, QStringLiteral("오류"), QString::fromStdString(e.what()));
        return;
    }
    app::PR_Set_UI_IndicoatorOFF();
}

void TfrmDocuments::closeEvent(QCloseEvent* e) {
    if (frmDocuments == this) frmDocuments = nullptr;
    e->accept();
}
