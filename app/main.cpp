// Placeholder entry point until the main window lands.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("PAYDESK 출금서비스"));
    w.show();
    return app.exec();
}
