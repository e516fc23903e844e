#include "app/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>

#include "app/data_module.h"
#include "app/formats.h"
#include "app/indicator.h"
#include "app/resources_init.h"
#include "app/session.h"
#include "app/theme.h"
#include "platform/shell/shell.h"
#include "platform/ui/ribbon.h"
#include "store/vocabulary.h"

TfrmMain* frmMain = nullptr;

namespace {

const QString kCaption = QStringLiteral("PAYDESK 출금서비스");
const QString kCreditLine = QStringLiteral("PAYDESK 출금서비스 · 자동이체(CMS) 청구 관리");

QIcon icon(const char* name) {
    return QIcon(QStringLiteral(":/paydesk/icons/%1.svg").arg(QLatin1String(name)));
}

// The five status panels side by side at their design widths, clipped by the window. The last
// one (450 by design) takes what is left, so that its right-aligned text stays in view on a
// window narrower than all five.
class StatusPanels : public QWidget {
public:
    explicit StatusPanels(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("statusPanels"));
        for (int i = 0; i < 5; ++i) {
            auto* l = new QLabel(this);
            l->setObjectName(QStringLiteral("statusPanel%1").arg(i));
            l->setAlignment(i == 4 ? (Qt::AlignRight | Qt::AlignVCenter) : Qt::AlignCenter);
            labels[i] = l;
        }
        labels[2]->setProperty(app::theme::kRoleProperty, QStringLiteral("raised"));
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override { return {0, labels[0]->sizeHint().height() + 4}; }
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

    std::array<QLabel*, 5> labels{};

protected:
    void resizeEvent(QResizeEvent*) override {
        int x = 0;
        for (int i = 0; i < 5; ++i) {
            int w = TfrmMain::kPanelWidths[i];
            // In the compact window a panel that reaches past the edge ends at it, so its
            // centred text (the build string) stays whole in view.
            if (i == 4 || x + w > width()) w = std::max(width() - x, 0);
            labels[i]->setGeometry(x, 0, w, height());
            x += w;
        }
    }
};

}  // namespace

TfrmMain::TfrmMain(QWidget* parent)
    : QMainWindow(parent),
      GridWhite(app::theme::GridWhite),
      cxStyle출금금액(app::theme::cxStyle출금금액),
      cxStyleUserExist(app::theme::cxStyleUserExist) {
    app::initResources();
    if (!frmMain) frmMain = this;
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(icon("app"));
    setFont(app::theme::uiFont());

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdiArea_->setBackground(QColor(0x20, 0x20, 0x23));
    setCentralWidget(mdiArea_);

    buildRibbon();
    buildStatusBar();

    mem_BaseBank = new QPlainTextEdit(this);
    mem_BaseBank->setObjectName(QStringLiteral("mem_BaseBank"));
    mem_BaseBank->setPlainText(app::mem_BaseBank().join(u'\n'));
    mem_BaseBank->setReadOnly(true);
    mem_BaseBank->hide();

    FormCreate();
    app::registerFormOpeners(*this);
}

TfrmMain::~TfrmMain() {
    if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::FormCreate() {
    resize(kCompactWidth, kCompactHeight);
    centreOnScreen();
    pb_CloseQuestion = true;
    app::setProcessFormats();
    // A missing or write-protected desktop only means no shortcut.
    (void)platform::shell::writeDesktopShortcut(platform::shell::desktopDir(),
                                                platform::shell::programDir());
    ribbon_->hide();
}

void TfrmMain::buildRibbon() {
    ribbon_ = new platform::ui::Ribbon(this);
    ribbon_->applicationButton()->setIcon(icon("app"));
    ribbon_->applicationButton()->setToolTip(kCaption);

    const int menu = ribbon_->addTab(QStringLiteral("메뉴"));
    const int link = ribbon_->addTab(QStringLiteral("온돌봄 연동"));
    struct RibbonButton {
        Command command;
        int tab;
        const char* name;
        QString caption;
        const char* icon;
    };
    const RibbonButton buttons[] = {
        {Command::Payers, menu, "btnPayers", QStringLiteral("사용자 관리"), "payers"},
        {Command::Billing, menu, "btnBilling", QStringLiteral("CMS출금관리"), "billing"},
        {Command::History, menu, "btnHistory", QStringLiteral("출금요청내역"), "history"},
        {Command::RemoteSupport, menu, "btnRemoteSupport", QStringLiteral("원격지원"), "support"},
        {Command::ImportUsers, link, "btnImportUsers", QStringLiteral("수급자 가져오기"),
         "import_users"},
        {Command::ImportBills, link, "btnImportBills", QStringLiteral("청구내역 가져오기"),
         "import_bills"},
    };
    for (const RibbonButton& s : buttons) {
        QToolButton* b =
            ribbon_->addLargeButton(s.tab, QLatin1String(s.name), s.caption, icon(s.icon));
        buttons_[s.command] = b;
        const Command c = s.command;
        connect(b, &QToolButton::clicked, this, [this, c] { runCommand(c); });
    }
    setMenuWidget(ribbon_);
    // F10 takes the keyboard from a working form back to the ribbon, as to a menu bar: the
    // first command button that can be pressed on the tab shown.
    auto* toRibbon = new QShortcut(QKeySequence(Qt::Key_F10), this);
    toRibbon->setContext(Qt::ApplicationShortcut);
    connect(toRibbon, &QShortcut::activated, this, [this] {
        if (!ribbon_->isVisible()) return;
        for (const auto& [command, button] : buttons_) {
            if (button->isVisible() && button->isEnabled()) {
                activateWindow();
                button->setFocus(Qt::ShortcutFocusReason);
                return;
            }
        }
    });
}

void TfrmMain::buildStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    auto* panels = new StatusPanels(bar);
    bar->addWidget(panels, 1);
    panels_ = panels->labels;
    panels_[0]->setText(QStringLiteral("PAYDESK"));
    panels_[1]->setText(store::kBuildString);
    panels_[4]->setText(kCreditLine);
    setStatusBar(bar);
}

void TfrmMain::setOpener(Command c, std::function<void()> opener) {
    openers_[c] = std::move(opener);
}

bool TfrmMain::hasOpener(Command c) const {
    auto it = openers_.find(c);
    return it != openers_.end() && it->second;
}

void TfrmMain::runCommand(Command c) {
    if (c == Command::RemoteSupport) {
        remoteSupportClick();
        return;
    }
    auto it = openers_.find(c);
    if (it != openers_.end() && it->second) it->second();
}

void TfrmMain::remoteSupportClick() {
    if (!DM) return;
    const app::DeploymentConfig& cfg = DM->config();
    QString text = QStringLiteral("원격지원이 필요하시면 아래로 연락해 주세요.\n\n");
    text += QStringLiteral("전화 : %1").arg(cfg.supportTel);
    if (!cfg.supportEmail.isEmpty()) text += QStringLiteral("\n이메일 : %1").arg(cfg.supportEmail);
    DM->messages().information(this, QStringLiteral("원격지원"), text);
}

QMdiSubWindow* TfrmMain::addMdiSubWindow(QWidget* form) {
    // A form asks to open maximised with setWindowState before it is added; inside the area
    // that is the sub-window's state.
    const bool maximised = form->windowState() & Qt::WindowMaximized;
    QMdiSubWindow* sub = mdiArea_->addSubWindow(form);
    if (maximised) sub->setWindowState(Qt::WindowMaximized);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(form->windowIcon().isNull() ? windowIcon() : form->windowIcon());
    return sub;
}

QToolButton* TfrmMain::ribbonButton(Command c) const {
    auto it = buttons_.find(c);
    return it == buttons_.end() ? nullptr : it->second;
}

QLabel* TfrmMain::statusPanel(int index) const {
    return index >= 0 && index < 5 ? panels_[index] : nullptr;
}

void TfrmMain::FormShow() {
    panels_[1]->setText(store::kBuildString);
    panels_[2]->setText(app::session().serviceid);
    panels_[3]->clear();
}

void TfrmMain::showWorkingWindow() {
    ribbon_->show();
    if (isMaximized() || isMinimized()) showNormal();
    resize(kWorkingWidth, kWorkingHeight);
    centreOnScreen();
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QSize size = s->size();
        if (size.width() < kWorkingWidth || size.height() < kWorkingHeight) {
            setWindowState(windowState() | Qt::WindowMaximized);
        }
    }
    // Before the first show (automatic login at start-up) the show handler does this.
    if (isVisible()) FormShow();
}

void TfrmMain::centreOnScreen() {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    QRect frame = frameGeometry();
    // Before the first show the frame is not known yet; the client size stands in for it.
    if (!isVisible()) frame = QRect(QPoint(0, 0), size());
    move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

void TfrmMain::PR_Set_UI_IndicoatorOn() {
    app::PR_Set_UI_IndicoatorOn();
}

void TfrmMain::PR_Set_UI_IndicoatorOFF() {
    app::PR_Set_UI_IndicoatorOFF();
}

void TfrmMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    FormShow();
}

bool TfrmMain::event(QEvent* e) {
    // Hints go to the first panel instead of covering the whole status bar.
    if (e->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(e)->tip();
        panels_[0]->setText(tip.isEmpty() ? QStringLiteral("PAYDESK") : tip);
        return true;
    }
    return QMainWindow::event(e);
}

void TfrmMain::closeEvent(QCloseEvent* e) {
    if (pb_CloseQuestion) {
        const bool yes =
            !DM || DM->messages().question(this, QStringLiteral("확인"),
                                           QStringLiteral("▶ 프로그램을 종료하시겠습니까?"));
        if (!yes) {
            e->ignore();
            return;
        }
    }
    closeMdiChildren();
    e->accept();
}

void TfrmMain::closeMdiChildren() {
    // Last created first; each child's own close handler runs, then it is destroyed whatever
    // it answered.
    for (;;) {
        const QList<QMdiSubWindow*> children = mdiArea_->subWindowList(QMdiArea::CreationOrder);
        if (children.isEmpty()) break;
        QPointer<QMdiSubWindow> child = children.last();
        child->close();
        if (child) delete child.data();
    }
}
