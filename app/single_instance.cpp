#include "app/single_instance.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace app {

QWidget* formWindow(QWidget* form) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) return sub;
    return form;
}

void bringToFront(QWidget* form) {
    QWidget* w = formWindow(form);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
        if (sub->isMinimized()) sub->showNormal();
        if (sub->isHidden()) {
            if (sub->windowState() & Qt::WindowMaximized)
                sub->showMaximized();
            else
                sub->show();
        }
        if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
        sub->raise();
        return;
    }
    if (w->isMinimized())
        w->showNormal();
    else
        w->show();
    w->raise();
    w->activateWindow();
}

bool isClosing(QWidget* form) {
    QWidget* w = formWindow(form);
    // showSingle gives every form window WA_DeleteOnClose, and a close that goes through
    // takes the attribute away as it queues the deletion: hidden without it means closed.
    return w->isHidden() && !w->testAttribute(Qt::WA_DeleteOnClose);
}

void discardClosed(QWidget* form) {
    delete formWindow(form);
}

}  // namespace app
