#pragma once

#include <QDate>
#include <QFrame>

class QCalendarWidget;
class QPushButton;

namespace platform::ui {

// The drop-down calendar of a DateEdit, with the optional buttons "오늘" (btnToday) and
// "삭제" (btnClear). Closes itself after a choice.
class DatePopup : public QFrame {
    Q_OBJECT

public:
    DatePopup(const QDate& current, bool todayButton, bool clearButton, bool todayMarker,
              QWidget* parent);
    QCalendarWidget* calendar() const { return calendar_; }

signals:
    void dateChosen(const QDate& date);
    void clearChosen();

private:
    QCalendarWidget* calendar_;
};

}  // namespace platform::ui
