#pragma once

#include <functional>

class QWidget;

// Modal forms (the payer dialog, the sign-up form, the imports opened from a form) are shown
// through showModal. The program shows them modally and waits; a test installs a driver that
// gets the form on screen, works it like a user, and returns, so nothing blocks.
namespace app {

// The driver sees the form shown (not modal) and may fill it, click its buttons and close it.
using ModalDriver = std::function<void(QWidget& form)>;

// Shows `form` modally until it is closed and returns its result (QDialog::result() for
// dialogs, 0 for other forms). With a driver installed the form is shown, the driver runs,
// and the result is whatever the form holds when the driver returns (0 if it was deleted).
int showModal(QWidget* form);

// Installs a driver for the modal forms shown while it lives; the previous one comes back at
// its end. A driver that is empty shows the form and returns at once, leaving it open.
class ScopedModalDriver {
public:
    explicit ScopedModalDriver(ModalDriver driver);
    ~ScopedModalDriver();
    ScopedModalDriver(const ScopedModalDriver&) = delete;
    ScopedModalDriver& operator=(const ScopedModalDriver&) = delete;

private:
    ModalDriver previous_;
    bool hadPrevious_;
};

// How many modal forms are being shown right now (nested ones count each).
int modalDepth();

}  // namespace app
