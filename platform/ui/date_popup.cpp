#include "platform/ui/date_popup.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include "platform/ui/toolkit_texts.h"

namespace platform::ui {

DatePopup::DatePopup(const QDate& current, bool todayButton, bool clearButton, bool todayMarker,
                     QWidget* parent)
    : QFrame(parent, Qt::Popup) {
    setObjectName(QStringLiteral("datePopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    calendar_ = new QCalendarWidget(this);
    calendar_->setObjectName(QStringLiteral("calendar"));
    // Month and day names in Korean whatever the system locale is.
    calendar_->setLocale(QLocale(QLocale::Korean, QLocale::SouthKorea));
    calendar_->setFirstDayOfWeek(Qt::Sunday);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setGridVisible(true);
    if (current.isValid()) calendar_->setSelectedDate(current);
    if (todayMarker) {
        QTextCharFormat mark;
        mark.setFontWeight(QFont::Bold);
        mark.setFontUnderline(true);
        calendar_->setDateTextFormat(QDate::currentDate(), mark);
    }
    layout->addWidget(calendar_);
    connect(calendar_, &QCalendarWidget::clicked, this, [this](QDate d) {
        close();
        emit dateChosen(d);
    });
    connect(calendar_, &QCalendarWidget::activated, this, [this](QDate d) {
        close();
        emit dateChosen(d);
    });

    if (todayButton || clearButton) {
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        if (todayButton) {
            auto* today = new QPushButton(texts::today(), this);
            today->setObjectName(QStringLiteral("btnToday"));
            buttons->addWidget(today);
            connect(today, &QPushButton::clicked, this, [this] {
                close();
                emit dateChosen(QDate::currentDate());
            });
        }
        if (clearButton) {
            auto* clear = new QPushButton(texts::clear(), this);
            clear->setObjectName(QStringLiteral("btnClear"));
            buttons->addWidget(clear);
            connect(clear, &QPushButton::clicked, this, [this] {
                close();
                emit clearChosen();
            });
        }
        buttons->addStretch();
        layout->addLayout(buttons);
    }
}

}  // namespace platform::ui
