// The main window: start-up state, closing with the question, one instance per form class,
// the desktop launcher, the busy indicator and the modal-form helper.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <vector>

#include "app/data_module.h"
#include "app/indicator.h"
#include "app/main_window.h"
#include "app/modal.h"
#include "app/session.h"
#include "app/startup.h"
#include "platform/shell/shell.h"
#include "platform/ui/ribbon.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using platform::ui::MsgResult;
using Command = TfrmMain::Command;

namespace {

// Names of the forms whose close handler ran, in order.
std::vector<QString> closeOrder;

// Stand-ins for the working forms: they count their instances and record their close.
template <int N>
class DummyForm : public QWidget {
public:
    explicit DummyForm(QWidget* parent = nullptr) : QWidget(parent) {
        ++created;
        setObjectName(QStringLiteral("dummy%1").arg(N));
    }
    static inline int created = 0;

protected:
    void closeEvent(QCloseEvent* e) override {
        closeOrder.push_back(objectName());
        e->accept();
    }
};

using PayerStandIn = DummyForm<1>;
using BillingStandIn = DummyForm<2>;
using ImportStandIn = DummyForm<3>;
PayerStandIn* frmPayerStandIn = nullptr;
BillingStandIn* frmBillingStandIn = nullptr;
ImportStandIn* frmImportStandIn = nullptr;

// Runs the deletions that closing windows queued.
void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

int visibleIndicators() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TfrmIndicator*>(w) && w->isVisible()) ++n;
    return n;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        desktop_ = testsupport::freshDir(QStringLiteral("desktop"));
        qputenv("PAYDESK_DESKTOP_DIR", desktop_.toUtf8());
        qunsetenv("PAYDESK_PROGRAM_DIR");
        app::session() = {};
        dm_ = std::make_unique<TDM>(testsupport::world().config, recorder_);
        dm_->setWaiter([this](int ms) { waits_.push_back(ms); });
        DM = dm_.get();
        closeOrder.clear();
        PayerStandIn::created = BillingStandIn::created = ImportStandIn::created = 0;
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void TearDown() override {
        app::PR_Set_UI_IndicoatorOFF();
        delete main_.data();
        settle();
        dm_.reset();
        DM = nullptr;
    }

    TfrmMain& createMain() {
        main_ = new TfrmMain;
        main_->setMdiForm(Command::Payers, frmPayerStandIn);
        main_->setMdiForm(Command::Billing, frmBillingStandIn);
        main_->setWindowForm(Command::ImportUsers, frmImportStandIn);
        return *main_;
    }

    QString desktop_;
    testsupport::MessageRecorder recorder_;
    std::unique_ptr<TDM> dm_;
    std::vector<int> waits_;
    QPointer<TfrmMain> main_;
};

TEST_F(MainWindowTest, StartsCompactWithTheRibbonHiddenAndFivePanels) {
    app::session().serviceid = QString();
    TfrmMain& m = createMain();
    m.show();
    settle();

    EXPECT_EQ(frmMain, &m);
    EXPECT_EQ(m.windowTitle(), QStringLiteral("PAYDESK 출금서비스"));
    EXPECT_EQ(m.size(), QSize(365, 600));
    EXPECT_TRUE(m.font().families().contains(QStringLiteral("맑은 고딕")));
    EXPECT_TRUE(m.font().families().contains(QStringLiteral("Noto Sans CJK KR")));
    EXPECT_EQ(m.font().pointSize(), 9);
    EXPECT_TRUE(m.pb_CloseQuestion);
    EXPECT_FALSE(m.ribbon()->isVisible());
    EXPECT_EQ(m.mdiArea()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(m.mdiArea()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    const QStringList expected = {QStringLiteral("PAYDESK"), QStringLiteral("20191029.001"),
                                  QString(), QString()};
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(m.statusPanel(i), nullptr);
        EXPECT_EQ(m.statusPanel(i)->text(), expected[i]) << "panel " << i;
    }
    EXPECT_FALSE(m.statusPanel(4)->text().isEmpty());
    EXPECT_EQ(m.statusPanel(4)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    // The panels keep their design widths; the first two are in view.
    EXPECT_EQ(m.statusPanel(0)->width(), 250);
    EXPECT_EQ(m.statusPanel(1)->x(), 250);

    // The ribbon's tabs and buttons, left to right.
    QTabWidget* tabs = m.ribbon()->tabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("메뉴"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("온돌봄 연동"));
    const std::pair<Command, QString> buttons[] = {
        {Command::Payers, QStringLiteral("사용자 관리")},
        {Command::Billing, QStringLiteral("CMS출금관리")},
        {Command::History, QStringLiteral("출금요청내역")},
        {Command::RemoteSupport, QStringLiteral("원격지원")},
        {Command::ImportUsers, QStringLiteral("수급자 가져오기")},
        {Command::ImportBills, QStringLiteral("청구내역 가져오기")},
    };
    for (const auto& [command, caption] : buttons) {
        QToolButton* b = m.ribbonButton(command);
        ASSERT_NE(b, nullptr) << caption.toStdString();
        EXPECT_EQ(b->text(), caption);
        EXPECT_EQ(b->toolTip(), caption);
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_FALSE(b->icon().isNull()) << caption.toStdString();
        EXPECT_EQ(tabs->indexOf(b->parentWidget()), command <= Command::RemoteSupport ? 0 : 1);
    }
    // The bank table is on the main window as the forms expect it.
    EXPECT_EQ(m.mem_BaseBank->toPlainText().split(u'\n'), m.bankLines());
    EXPECT_EQ(m.bankLines().size(), 19);
    EXPECT_TRUE(recorder_.empty());
}

TEST_F(MainWindowTest, HintsShowInTheFirstPanel) {
    TfrmMain& m = createMain();
    QStatusTipEvent tip(QStringLiteral("사용자 관리"));
    QCoreApplication::sendEvent(&m, &tip);
    EXPECT_EQ(m.statusPanel(0)->text(), QStringLiteral("사용자 관리"));
    QStatusTipEvent none{QString()};
    QCoreApplication::sendEvent(&m, &none);
    EXPECT_EQ(m.statusPanel(0)->text(), QStringLiteral("PAYDESK"));
}

TEST_F(MainWindowTest, WorkingWindowShowsTheRibbonAndTheServiceId) {
    TfrmMain& m = createMain();
    m.show();
    settle();
    app::session().serviceid = QStringLiteral("S000123");
    m.showWorkingWindow();
    settle();

    EXPECT_TRUE(m.ribbon()->isVisible());
    EXPECT_EQ(m.statusPanel(2)->text(), QStringLiteral("S000123"));
    const QSize screen = m.screen()->size();
    if (screen.width() < 1280 || screen.height() < 720)
        EXPECT_TRUE(m.windowState() & Qt::WindowMaximized);
    else
        EXPECT_EQ(m.size(), QSize(1280, 720));
}

TEST_F(MainWindowTest, CloseAnsweredNoKeepsEverythingOpen) {
    TfrmMain& m = createMain();
    m.show();
    m.ribbonButton(Command::Payers)->click();
    m.ribbonButton(Command::Billing)->click();
    ASSERT_EQ(m.mdiArea()->subWindowList().size(), 2);

    recorder_.queueAnswer(MsgResult::No);
    EXPECT_FALSE(m.close());
    settle();

    ASSERT_FALSE(recorder_.empty());
    const auto& q = recorder_.last();
    EXPECT_EQ(q.icon, MsgIcon::Question);
    EXPECT_EQ(q.buttons, MsgButtons::YesNo);
    EXPECT_EQ(q.caption, QStringLiteral("확인"));
    EXPECT_EQ(q.text, QStringLiteral("▶ 프로그램을 종료하시겠습니까?"));
    ASSERT_FALSE(main_.isNull());
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(m.mdiArea()->subWindowList().size(), 2);
    EXPECT_NE(frmPayerStandIn, nullptr);
    EXPECT_NE(frmBillingStandIn, nullptr);
    EXPECT_TRUE(closeOrder.empty());
}

TEST_F(MainWindowTest, CloseAnsweredYesClosesTheChildrenLastCreatedFirst) {
    TfrmMain& m = createMain();
    m.show();
    m.ribbonButton(Command::Billing)->click();
    m.ribbonButton(Command::Payers)->click();
    // Bringing the older one to the front changes nothing about the order of creation.
    m.ribbonButton(Command::Billing)->click();

    recorder_.queueAnswer(MsgResult::Yes);
    EXPECT_TRUE(m.close());
    settle();

    EXPECT_EQ(recorder_.boxes().size(), 1u);
    EXPECT_EQ(closeOrder, (std::vector<QString>{"dummy1", "dummy2"}));
    EXPECT_TRUE(main_.isNull());
    EXPECT_EQ(frmMain, nullptr);
    EXPECT_EQ(frmPayerStandIn, nullptr);
    EXPECT_EQ(frmBillingStandIn, nullptr);
}

TEST_F(MainWindowTest, SecondCommandBringsTheOpenFormToTheFront) {
    TfrmMain& m = createMain();
    m.show();
    m.ribbonButton(Command::Payers)->click();
    PayerStandIn* first = frmPayerStandIn;
    ASSERT_NE(first, nullptr);
    m.ribbonButton(Command::Billing)->click();
    EXPECT_EQ(m.mdiArea()->currentSubWindow()->widget(), frmBillingStandIn);

    m.ribbonButton(Command::Payers)->click();
    EXPECT_EQ(frmPayerStandIn, first);
    EXPECT_EQ(PayerStandIn::created, 1);
    EXPECT_EQ(m.mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(m.mdiArea()->currentSubWindow()->widget(), first);

    // Closed: the reference empties and the next command creates a fresh form, even before
    // the closed one has been deleted.
    first->parentWidget()->close();
    m.ribbonButton(Command::Payers)->click();
    EXPECT_EQ(PayerStandIn::created, 2);
    ASSERT_NE(frmPayerStandIn, nullptr);
    EXPECT_TRUE(frmPayerStandIn->isVisible());
    settle();
    EXPECT_EQ(m.mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(closeOrder, (std::vector<QString>{"dummy1"}));

    first = frmPayerStandIn;
    first->parentWidget()->close();
    settle();
    EXPECT_EQ(frmPayerStandIn, nullptr);
    m.ribbonButton(Command::Payers)->click();
    EXPECT_EQ(PayerStandIn::created, 3);
}

TEST_F(MainWindowTest, SeparateWindowFormsAreSingleToo) {
    TfrmMain& m = createMain();
    m.show();
    m.ribbonButton(Command::ImportUsers)->click();
    ImportStandIn* first = frmImportStandIn;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isWindow());
    EXPECT_EQ(first->parentWidget(), &m);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(m.mdiArea()->subWindowList().isEmpty());

    m.ribbonButton(Command::ImportUsers)->click();
    EXPECT_EQ(ImportStandIn::created, 1);

    first->close();
    settle();
    EXPECT_EQ(frmImportStandIn, nullptr);
    m.ribbonButton(Command::ImportUsers)->click();
    EXPECT_EQ(ImportStandIn::created, 2);
}

TEST_F(MainWindowTest, CommandsWithoutAFormDoNothing) {
    TfrmMain& m = createMain();
    // Every command has its form by now; take two away to see an empty command do nothing.
    m.setOpener(Command::History, {});
    m.setOpener(Command::ImportBills, {});
    m.ribbonButton(Command::History)->click();
    m.ribbonButton(Command::ImportBills)->click();
    EXPECT_TRUE(m.mdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(recorder_.empty());

    // A later registration replaces what a command does.
    int runs = 0;
    m.setOpener(Command::History, [&runs] { ++runs; });
    m.ribbonButton(Command::History)->click();
    EXPECT_EQ(runs, 1);
}

TEST_F(MainWindowTest, RemoteSupportShowsTheSupportContacts) {
    TfrmMain& m = createMain();
    m.ribbonButton(Command::RemoteSupport)->click();
    ASSERT_EQ(recorder_.boxes().size(), 1u);
    const auto& box = recorder_.last();
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.caption, QStringLiteral("원격지원"));
    EXPECT_TRUE(box.text.contains(testsupport::world().config.supportTel));
    EXPECT_TRUE(box.text.contains(testsupport::world().config.supportEmail));
}

QString launcher(const QString& desktop) {
    QFile f(QDir(desktop).filePath(QStringLiteral("PAYDESK.desktop")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

TEST_F(MainWindowTest, DesktopLauncherNamesTheFixedProgramFileAtEveryStart) {
    // This test program runs as test_gui_main_window; the launcher still names the program.
    const QString program =
        QDir(QCoreApplication::applicationDirPath()).filePath(platform::shell::programFileName());
    ASSERT_NE(QCoreApplication::applicationFilePath(), program);

    createMain();
    QString text = launcher(desktop_);
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=\"%1\"").arg(program))) << text.toStdString();
    EXPECT_FALSE(text.contains(QFileInfo(QCoreApplication::applicationFilePath()).fileName()));

    // Rewritten at the next start.
    {
        QFile f(QDir(desktop_).filePath(QStringLiteral("PAYDESK.desktop")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("stale");
    }
    delete main_.data();
    createMain();
    EXPECT_TRUE(launcher(desktop_).contains(QStringLiteral("Exec=\"%1\"").arg(program)));
}

TEST_F(MainWindowTest, MissingDesktopFolderIsSilent) {
    const QString missing = desktop_ + QStringLiteral("/absent");
    qputenv("PAYDESK_DESKTOP_DIR", missing.toUtf8());
    TfrmMain& m = createMain();
    m.show();
    settle();
    EXPECT_FALSE(QDir(missing).exists());
    EXPECT_TRUE(recorder_.empty());
    EXPECT_TRUE(m.isVisible());
}

TEST_F(MainWindowTest, BusyIndicatorOnOnOffOff) {
    TfrmMain& m = createMain();
    m.show();
    settle();

    m.PR_Set_UI_IndicoatorOn();
    ASSERT_NE(frmIndicator, nullptr);
    QPointer<TfrmIndicator> first = frmIndicator;
    EXPECT_EQ(visibleIndicators(), 1);
    EXPECT_EQ(waits_, std::vector<int>{300});
    EXPECT_EQ(first->size(), QSize(299, 108));
    EXPECT_FALSE(first->isModal());
    EXPECT_TRUE(first->busyCircle()->isActive());
    auto* text = first->findChild<QLabel*>(QStringLiteral("lbIndicator"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral("잠시만 기다려주세요..."));
    EXPECT_TRUE(text->font().bold());
    EXPECT_EQ(text->font().pixelSize(), 19);

    // Nested: no second window, no second pause.
    m.PR_Set_UI_IndicoatorOn();
    EXPECT_EQ(frmIndicator, first.data());
    EXPECT_EQ(visibleIndicators(), 1);
    EXPECT_EQ(waits_.size(), 1u);

    // The first off closes it.
    m.PR_Set_UI_IndicoatorOFF();
    EXPECT_EQ(frmIndicator, nullptr);
    EXPECT_EQ(visibleIndicators(), 0);
    m.PR_Set_UI_IndicoatorOFF();
    EXPECT_EQ(frmIndicator, nullptr);
    settle();
    EXPECT_TRUE(first.isNull());  // freed itself

    // On right after off shows a new one and pauses again.
    m.PR_Set_UI_IndicoatorOn();
    EXPECT_NE(frmIndicator, nullptr);
    EXPECT_EQ(visibleIndicators(), 1);
    EXPECT_EQ(waits_, (std::vector<int>{300, 300}));
    m.PR_Set_UI_IndicoatorOFF();
    EXPECT_EQ(visibleIndicators(), 0);
}

TEST_F(MainWindowTest, QtTextsAreKorean) {
    ASSERT_TRUE(app::installKoreanTranslations(*QCoreApplication::instance()));
    const QString yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
    EXPECT_NE(yes, QStringLiteral("&Yes"));
    EXPECT_TRUE(yes.contains(QStringLiteral("예"))) << yes.toStdString();
}

// The modal-form helper: the program blocks in it, a test drives the form instead.
TEST(ModalForms, DriverWorksTheFormWithoutBlocking) {
    QDialog dialog;
    auto* ok = new QPushButton(QStringLiteral("확인"), &dialog);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    bool sawItShown = false;
    int result = -1;
    {
        app::ScopedModalDriver driver([&](QWidget& form) {
            sawItShown = form.isVisible();
            EXPECT_EQ(app::modalDepth(), 1);
            ok->click();
        });
        result = app::showModal(&dialog);
    }
    EXPECT_TRUE(sawItShown);
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(app::modalDepth(), 0);
}

TEST(ModalForms, DriversNestAndComeBack) {
    QDialog outer, inner;
    std::vector<QString> seen;
    app::ScopedModalDriver first([&](QWidget&) { seen.push_back("first"); });
    {
        app::ScopedModalDriver second([&](QWidget&) { seen.push_back("second"); });
        app::showModal(&inner);
    }
    app::showModal(&outer);
    EXPECT_EQ(seen, (std::vector<QString>{"second", "first"}));
}

TEST(ModalForms, WithoutADriverTheCallerWaitsUntilTheFormCloses) {
    // A dialog and a plain form: both block until closed, then return.
    QDialog dialog;
    QTimer::singleShot(50, &dialog, [&dialog] {
        EXPECT_TRUE(dialog.isModal());
        dialog.done(QDialog::Accepted);
    });
    EXPECT_EQ(app::showModal(&dialog), QDialog::Accepted);

    auto* form = new QWidget;
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> guard(form);
    QTimer::singleShot(50, form, [form] {
        EXPECT_EQ(form->windowModality(), Qt::ApplicationModal);
        form->close();
    });
    EXPECT_EQ(app::showModal(form), 0);
    settle();
    EXPECT_TRUE(guard.isNull());
}

}  // namespace
