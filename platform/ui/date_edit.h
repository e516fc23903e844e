#pragma once

#include <QDate>
#include <QPointer>
#include <QWidget>

#include "platform/ui/date_popup.h"

class QLineEdit;
class QToolButton;

namespace platform::ui {

// A date editor that can be empty, with a drop-down calendar.
//   - display format per use: "YYYY-MM-DD" (default) or "YYYY.MM.DD" (setDisplayFormat);
//   - text() is always "YYYY-MM-DD" (the process format), "" when empty;
//   - the calendar offers the buttons "오늘" (today) and "삭제" (empties the editor) unless the
//     form switches them off (setButtons);
//   - dateChanged fires on every change of the value, typed, picked or set by the program,
//     except while notifications are off (setNotificationsEnabled(false)) or while the editor
//     itself is disabled (setEnabled(false)): forms set their start values that way without
//     running their change handlers.
// Typed dates are taken when editing ends (Enter or leaving the editor); digits with any of
// "-", ".", "/" or none between them are accepted ("20240502"); a text that is no date puts
// the previous value back.
class DateEdit : public QWidget {
    Q_OBJECT

public:
    enum Button { NoButtons = 0, TodayButton = 1, ClearButton = 2 };
    Q_DECLARE_FLAGS(Buttons, Button)

    explicit DateEdit(QWidget* parent = nullptr);
    ~DateEdit() override;

    void setDisplayFormat(const QString& format);
    QString displayFormat() const { return format_; }
    void setButtons(Buttons buttons) { buttons_ = buttons; }
    Buttons buttons() const { return buttons_; }
    void setTodayMarker(bool on) { todayMarker_ = on; }  // today in bold in the calendar
    void setAlignment(Qt::Alignment alignment);

    QDate date() const { return date_; }
    void setDate(const QDate& date);  // a null date empties the editor
    QString text() const;
    void setText(const QString& text);  // "" empties; a text that is no date changes nothing
    void clear() { setDate(QDate()); }
    bool isEmpty() const { return date_.isNull(); }

    void setNotificationsEnabled(bool on) { notify_ = on; }
    bool notificationsEnabled() const { return notify_; }

    void showPopup();
    DatePopup* popup() const { return popup_; }
    QLineEdit* lineEdit() const { return edit_; }
    QToolButton* dropDownButton() const { return button_; }

    // Reads a typed or stored date; null when it is none.
    static QDate parse(const QString& text);
    // "YYYY.MM.DD" -> Qt's "yyyy.MM.dd".
    static QString qtFormat(const QString& displayFormat);

signals:
    void dateChanged(const QDate& date);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void commitTyped();
    void show_();

    QLineEdit* edit_;
    QToolButton* button_;
    QPointer<DatePopup> popup_;
    QDate date_;
    QString format_ = QStringLiteral("YYYY-MM-DD");
    Buttons buttons_ = Buttons(TodayButton | ClearButton);
    bool todayMarker_ = true;
    bool notify_ = true;
};

}  // namespace platform::ui

Q_DECLARE_OPERATORS_FOR_FLAGS(platform::ui::DateEdit::Buttons)
