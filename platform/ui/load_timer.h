#pragma once

#include <QTimer>

namespace platform::ui {

// The one-shot load timer of a working form ("Timer1"): inactive when created, started by each
// showing of the form, fires once per start after 100 ms, so the form loads its data right
// after it is on screen. Connect timeout() to the form's load handler.
class LoadTimer : public QTimer {
    Q_OBJECT

public:
    explicit LoadTimer(QWidget* form, int intervalMs = 100);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace platform::ui
