// PAYDESK: start-up in a fixed order — Korean toolkit texts, the application, the data
// module, the main window, the login form — then the message loop until the main window closes.
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <exception>
#include <memory>

#include "app/data_module.h"
#include "app/deployment_config.h"
#include "app/login_form.h"
#include "app/main_window.h"
#include "app/resources_init.h"
#include "app/startup.h"
#include "app/theme.h"
#include "platform/ui/qt_message_service.h"

namespace {

// PAYDESK_SCREENSHOT=<file>: save a picture of the main window once it is on screen and end
// (scripts/screenshots, the demo without a display).
void scheduleScreenshot(const QString& path) {
    QTimer::singleShot(1200, qApp, [path] {
        if (frmMain) frmMain->grab().save(path, "PNG");
        QCoreApplication::exit(0);
    });
}

// In the same unattended run every message box is answered with its default button, so that
// a login from a facility code (which starts with a box) gets on to the working window.
void answerBoxesUnattended() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (QPushButton* b = box->defaultButton())
            b->click();
        else
            box->accept();
    });
    timer->start(300);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app::installKoreanTranslations(app);
    QApplication::setApplicationName(QStringLiteral("PAYDESK"));
    QApplication::setApplicationDisplayName(QStringLiteral("PAYDESK 출금서비스"));
    app::initResources();
    app::theme::apply(app);

    platform::ui::QtMessageService messages;
    app::DeploymentConfig config;
    try {
        config = app::DeploymentConfig::load(app::DeploymentConfig::defaultPath());
    } catch (const std::exception& e) {
        messages.error(nullptr, QStringLiteral("오류"),
                       QStringLiteral("프로그램을 시작할 수 없습니다.\n%1")
                           .arg(QString::fromStdString(e.what())));
        return 1;
    }

    auto dm = std::make_unique<TDM>(std::move(config), messages);
    DM = dm.get();

    const QString shot = qEnvironmentVariable("PAYDESK_SCREENSHOT");
    if (!shot.isEmpty()) answerBoxesUnattended();

    QPointer<TfrmMain> main = new TfrmMain;
    frmMain = main;
    // The login form's show handler runs here, so that a facility code on the command line
    // logs its company in before the main window is first shown.
    app::openLoginForm(*main, QCoreApplication::arguments().mid(1));

    main->show();
    if (!shot.isEmpty()) scheduleScreenshot(shot);
    const int rc = QApplication::exec();

    // Ended by other means than closing the main window (the screenshot run).
    delete main.data();
    dm.reset();
    return rc;
}
