// The start-up anchor: the least a Qt Widgets program does to show one window. Prints
// "first-paint" once the window has painted and ends, as the program does under
// PAYDESK_FIRST_PAINT. With --korean-label the window also shows one line of Korean text, the
// least any window of the program shows (the CJK font is looked up and loaded).
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint) {
            seen_ = true;
            QTimer::singleShot(0, qApp, [] {
                std::printf("first-paint\n");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("PAYDESK"));
    window.resize(1024, 768);
    if (QCoreApplication::arguments().contains(QStringLiteral("--korean-label")))
        (new QLabel(QStringLiteral("사용자 로그인"), &window))->move(20, 20);
    FirstPaint watch;
    window.installEventFilter(&watch);
    window.show();
    return QApplication::exec();
}
