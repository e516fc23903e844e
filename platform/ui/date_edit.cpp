#include "platform/ui/date_edit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QToolButton>

#include "platform/ui/date_popup.h"

namespace platform::ui {

DateEdit::DateEdit(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("dateText"));
    edit_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9./-]{0,10}")), edit_));
    edit_->installEventFilter(this);
    button_ = new QToolButton(this);
    button_->setObjectName(QStringLiteral("btnDropDown"));
    button_->setArrowType(Qt::DownArrow);
    button_->setAccessibleName(QStringLiteral("달력 열기"));
    button_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(edit_, 1);
    layout->addWidget(button_);
    setFocusProxy(edit_);
    connect(button_, &QToolButton::clicked, this, &DateEdit::showPopup);
    connect(edit_, &QLineEdit::editingFinished, this, &DateEdit::commitTyped);
}

DateEdit::~DateEdit() {
    // A window closed with the focus in the date box ends its edit while the widgets go
    // away: that must reach neither this half-destroyed editor nor the form behind it.
    edit_->disconnect(this);
    edit_->removeEventFilter(this);
}

QString DateEdit::qtFormat(const QString& displayFormat) {
    QString f;
    for (QChar c : displayFormat) {
        if (c == u'Y' || c == u'y')
            f += u'y';
        else if (c == u'D' || c == u'd')
            f += u'd';
        else if (c == u'M' || c == u'm')
            f += u'M';
        else
            f += c;
    }
    return f;
}

QDate DateEdit::parse(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{4})[-./]?(\\d{1,2})[-./]?(\\d{1,2})\\s*$"));
    const QString t = text.trimmed();
    // Without separators the month and day need two digits each.
    if (!t.contains(QRegularExpression(QStringLiteral("[-./]"))) && t.size() != 8) return {};
    const auto m = re.match(t);
    if (!m.hasMatch()) return {};
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return d.isValid() ? d : QDate();
}

void DateEdit::setDisplayFormat(const QString& format) {
    format_ = format;
    show_();
}

void DateEdit::setAlignment(Qt::Alignment alignment) {
    edit_->setAlignment(alignment);
}

QString DateEdit::text() const {
    return date_.isNull() ? QString() : date_.toString(QStringLiteral("yyyy-MM-dd"));
}

void DateEdit::setText(const QString& text) {
    if (text.trimmed().isEmpty()) {
        setDate(QDate());
        return;
    }
    const QDate d = parse(text);
    if (d.isValid()) setDate(d);
}

void DateEdit::setDate(const QDate& date) {
    const QDate d = date.isValid() ? date : QDate();
    const bool changed = d != date_;
    date_ = d;
    show_();
    if (changed && notify_ && !testAttribute(Qt::WA_ForceDisabled)) emit dateChanged(date_);
}

void DateEdit::show_() {
    edit_->setText(date_.isNull() ? QString() : date_.toString(qtFormat(format_)));
}

void DateEdit::commitTyped() {
    const QString t = edit_->text();
    if (t.trimmed().isEmpty()) {
        setDate(QDate());
        return;
    }
    const QDate d = parse(t);
    if (d.isValid())
        setDate(d);
    else
        show_();  // no date: the previous value stays
}

void DateEdit::showPopup() {
    if (popup_) return;
    popup_ = new DatePopup(date_, buttons_.testFlag(TodayButton), buttons_.testFlag(ClearButton),
                           todayMarker_, this);
    connect(popup_, &DatePopup::dateChosen, this, [this](const QDate& d) {
        setDate(d);
        edit_->setFocus();
    });
    connect(popup_, &DatePopup::clearChosen, this, [this] {
        setDate(QDate());
        edit_->setFocus();
    });
    popup_->adjustSize();
    popup_->move(mapToGlobal(QPoint(0, height())));
    popup_->show();
}

bool DateEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_F4 ||
            (ke->key() == Qt::Key_Down && ke->modifiers().testFlag(Qt::AltModifier))) {
            showPopup();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace platform::ui
