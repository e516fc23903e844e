#include "platform/ui/load_timer.h"

#include <QEvent>
#include <QWidget>

namespace platform::ui {

LoadTimer::LoadTimer(QWidget* form, int intervalMs) : QTimer(form) {
    setObjectName(QStringLiteral("Timer1"));
    setSingleShot(true);
    setInterval(intervalMs);
    form->installEventFilter(this);
}

bool LoadTimer::eventFilter(QObject* watched, QEvent* event) {
    // Only the program's show, not the window system's (restoring a minimised window).
    if (watched == parent() && event->type() == QEvent::Show && !event->spontaneous()) start();
    return QTimer::eventFilter(watched, event);
}

}  // namespace platform::ui
