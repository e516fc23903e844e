#include "app/startup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

namespace app {

bool installKoreanTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_ko"), dir)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

namespace {

// PAYDESK_FIRST_PAINT=<object name>: once the widget of that name has painted for the first
// time, print "first-paint <ms since the application object>" and end the program. The
// start-up benchmark times the real program with it; without the variable nothing happens.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {
        clock_.start();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && watched->objectName() == name_) {
            seen_ = true;
            // Reported after the paint event has been handled and the window flushed.
            QTimer::singleShot(0, this, [this] {
                std::printf("first-paint %lld\n", static_cast<long long>(clock_.elapsed()));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString name_;
    QElapsedTimer clock_;
    bool seen_ = false;
};

void watchFirstPaint() {
    const QString name = qEnvironmentVariable("PAYDESK_FIRST_PAINT");
    if (name.isEmpty()) return;
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new FirstPaintWatch(name, app));
}

Q_COREAPP_STARTUP_FUNCTION(watchFirstPaint)

}  // namespace

}  // namespace app
