#include "app/indicator.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "app/data_module.h"
#include "app/main_window.h"
#include "app/theme.h"

TfrmIndicator* frmIndicator = nullptr;

namespace app {

namespace {

constexpr int kFrameMs = 16;
constexpr int kFramesPerTurn = 90;  // one turn of the arc in about 1.4 s
const QColor kCream(0xFF, 0xF8, 0xE3);
const QColor kArc(0xC9, 0x82, 0x3C);

}  // namespace

BusyCircle::BusyCircle(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("busyCircle"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    timer_->setInterval(kFrameMs);
    connect(timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % (kFramesPerTurn * 4);
        update();
    });
}

void BusyCircle::setActive(bool on) {
    if (on)
        timer_->start();
    else
        timer_->stop();
}

bool BusyCircle::isActive() const {
    return timer_->isActive();
}

void BusyCircle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 12;
    const QRectF box((width() - side) / 2.0, (height() - side) / 2.0, side, side);

    // Faint track under the arc.
    p.setPen(QPen(QColor(0xE8, 0xD8, 0xBC), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawEllipse(box);

    // The head runs at a steady pace; the tail lags behind and catches up, so the arc
    // stretches to most of a circle and shrinks to a short stroke twice per turn.
    constexpr double pi = 3.14159265358979323846;
    const double t = static_cast<double>(frame_) / kFramesPerTurn;  // turns
    const double head = 360.0 * t;
    const double stretch = 0.5 - 0.5 * std::cos(2.0 * pi * t);  // 0..1
    const double span = 20.0 + 270.0 * stretch;
    QPen pen(kArc, 5, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.drawArc(box, static_cast<int>(-head * 16), static_cast<int>(span * 16));
}

}  // namespace app

TfrmIndicator::TfrmIndicator(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmIndicator"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(299, 108);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, app::kCream);
    pal.setColor(QPalette::WindowText, QColor(0x3A, 0x2A, 0x1A));
    setPalette(pal);

    // Cream panel in a grey bevel two pixels wide.
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("pnlIndicator"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    QPalette bevel = pal;
    bevel.setColor(QPalette::Light, QColor(0xD0, 0xD0, 0xD0));
    bevel.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
    panel->setPalette(bevel);

    busy_ = new app::BusyCircle(panel);
    busy_->setFixedHeight(71);

    auto* text = new QLabel(QStringLiteral("잠시만 기다려주세요..."), panel);
    text->setObjectName(QStringLiteral("lbIndicator"));
    text->setAlignment(Qt::AlignCenter);
    text->setFont(app::theme::uiFont(19, true));
    text->setStyleSheet(QStringLiteral("color: #3A2A1A; background: transparent;"));

    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(2, 2, 2, 2);
    inner->setSpacing(0);
    inner->addWidget(busy_);
    inner->addWidget(text, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    busy_->setActive(true);
}

TfrmIndicator::~TfrmIndicator() {
    if (frmIndicator == this) frmIndicator = nullptr;
}

void TfrmIndicator::closeEvent(QCloseEvent* e) {
    // The window is deleted later; the reference must be free at once so that the next
    // operation can show a new indicator.
    if (frmIndicator == this) frmIndicator = nullptr;
    busy_->setActive(false);
    e->accept();
}

void TfrmIndicator::showEvent(QShowEvent* e) {
    centreOnOwner();
    QWidget::showEvent(e);
}

void TfrmIndicator::centreOnOwner() {
    QRect area;
    if (QWidget* owner = parentWidget(); owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (QScreen* s = QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    if (area.isValid()) move(area.center() - rect().center());
}

namespace app {

void PR_Set_UI_IndicoatorOn() {
    if (frmIndicator) return;
    try {
        frmIndicator = new TfrmIndicator(frmMain);
        frmIndicator->show();
        frmIndicator->raise();
        QCoreApplication::processEvents();
        if (DM) DM->wait(300);
    } catch (...) {
        // Feedback only; the operation goes on without it.
    }
}

void PR_Set_UI_IndicoatorOFF() {
    if (!frmIndicator) return;
    try {
        frmIndicator->close();
        QCoreApplication::processEvents();
    } catch (...) {
    }
}

}  // namespace app
