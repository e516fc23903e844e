#include "app/modal.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <optional>

namespace app {

namespace {

std::optional<ModalDriver>& installedDriver() {
    static std::optional<ModalDriver> d;
    return d;
}

int depth = 0;

// Ends the local loop of a modal non-dialog form once it is hidden or gone.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* form, QEventLoop* loop) : loop_(loop) { form->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Hide) loop_->quit();
        return false;
    }

private:
    QEventLoop* loop_;
};

int resultOf(QWidget* form) {
    if (auto* d = qobject_cast<QDialog*>(form)) return d->result();
    return 0;
}

}  // namespace

ScopedModalDriver::ScopedModalDriver(ModalDriver driver)
    : hadPrevious_(installedDriver().has_value()) {
    if (hadPrevious_) previous_ = *installedDriver();
    installedDriver() = std::move(driver);
}

ScopedModalDriver::~ScopedModalDriver() {
    if (hadPrevious_)
        installedDriver() = std::move(previous_);
    else
        installedDriver().reset();
}

int modalDepth() {
    return depth;
}

int showModal(QWidget* form) {
    if (!form) return 0;
    QPointer<QWidget> guard(form);
    ++depth;
    struct Leave {
        ~Leave() { --depth; }
    } leave;

    if (installedDriver()) {
        const ModalDriver driver = *installedDriver();
        form->show();
        form->raise();
        if (driver) driver(*form);
        return guard ? resultOf(guard) : 0;
    }

    if (auto* d = qobject_cast<QDialog*>(form)) return d->exec();

    // A plain form made modal: block the rest of the program until it is hidden or deleted.
    form->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    HideWatcher watcher(form, &loop);
    QObject::connect(form, &QObject::destroyed, &loop, &QEventLoop::quit);
    form->show();
    loop.exec(QEventLoop::DialogExec);
    return guard ? resultOf(guard) : 0;
}

}  // namespace app
