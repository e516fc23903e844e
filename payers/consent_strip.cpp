#include "payers/consent_strip.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <stdexcept>

#include "app/data_module.h"
#include "app/indicator.h"
#include "app/session.h"
#include "payers/consent_images.h"
#include "platform/ftp/ftp_client.h"
#include "platform/shell/shell.h"

namespace payers {

using platform::ftp::FtpClient;
using platform::ftp::FtpError;

namespace {

constexpr char kCaptionProperty[] = "caption";
constexpr char kPictureProperty[] = "picture";
constexpr int kButtonSize = 38;

enum class Glyph { Plus, Download, Cross };

// The three icon buttons: blue circle with a plus, green arrow down onto a line, red circle
// with a cross.
QIcon glyphIcon(Glyph g) {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen white(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (g) {
        case Glyph::Plus:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x2F, 0x7B, 0xE0));
            p.drawEllipse(4, 4, 56, 56);
            p.setPen(white);
            p.drawLine(32, 17, 32, 47);
            p.drawLine(17, 32, 47, 32);
            break;
        case Glyph::Download: {
            const QColor green(0x3C, 0xB3, 0x4A);
            p.setPen(Qt::NoPen);
            p.setBrush(green);
            QPainterPath arrow;
            arrow.moveTo(24, 6);
            arrow.lineTo(40, 6);
            arrow.lineTo(40, 26);
            arrow.lineTo(52, 26);
            arrow.lineTo(32, 46);
            arrow.lineTo(12, 26);
            arrow.lineTo(24, 26);
            arrow.closeSubpath();
            p.drawPath(arrow);
            p.drawRoundedRect(8, 52, 48, 7, 2, 2);
            break;
        }
        case Glyph::Cross:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xD9, 0x3A, 0x32));
            p.drawEllipse(4, 4, 56, 56);
            p.setPen(white);
            p.drawLine(21, 21, 43, 43);
            p.drawLine(43, 21, 21, 43);
            break;
    }
    return QIcon(pm);
}

QToolButton* iconButton(const QString& name, Glyph g, const QString& hint, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(glyphIcon(g));
    b->setIconSize(QSize(26, 26));
    b->setFixedSize(kButtonSize, kButtonSize);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setAutoRaise(true);
    return b;
}

QString errorText(const std::exception& e) {
    if (const auto* f = dynamic_cast<const FtpError*>(&e)) return f->message();
    return QString::fromUtf8(e.what());
}

const char* kNormalFrame = "QLabel { border: 1px solid #3A3A3F; background: #1E1E21; }";
const char* kSelectedFrame = "QLabel { border: 2px solid #D99A4E; background: #1E1E21; }";

}  // namespace

ConsentStrip::ConsentStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("consentStrip"));
    open_ = [](const QString& path) { return platform::shell::openDocument(path); };

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("consentButtonBar"));
    cxButton4 = iconButton(QStringLiteral("cxButton4"), Glyph::Plus, QStringLiteral("추가"), bar);
    cxButton5 = iconButton(QStringLiteral("cxButton5"), Glyph::Download,
                           QStringLiteral("저장 후 열기"), bar);
    cxButton3 = iconButton(QStringLiteral("cxButton3"), Glyph::Cross, QStringLiteral("삭제"), bar);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(4, 2, 4, 2);
    barLayout->setSpacing(4);
    barLayout->addStretch(1);
    barLayout->addWidget(cxButton4);
    barLayout->addWidget(cxButton5);
    barLayout->addWidget(cxButton3);

    scroll_Imgs = new QScrollArea(this);
    scroll_Imgs->setObjectName(QStringLiteral("scroll_Imgs"));
    scroll_Imgs->setWidgetResizable(false);
    // A fixed scroll bar keeps the client height, and with it the image size, the same
    // whether the row overflows or not.
    scroll_Imgs->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll_Imgs->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    row_ = new QWidget;
    row_->setObjectName(QStringLiteral("scroll_Imgs_row"));
    rowLayout_ = new QHBoxLayout(row_);
    rowLayout_->setContentsMargins(0, 0, 0, 0);
    rowLayout_->setSpacing(2);
    rowLayout_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_Imgs->setWidget(row_);
    scroll_Imgs->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(scroll_Imgs, 1);

    connect(cxButton4, &QToolButton::clicked, this, &ConsentStrip::cxButton4Click);
    connect(cxButton5, &QToolButton::clicked, this, &ConsentStrip::cxButton5Click);
    connect(cxButton3, &QToolButton::clicked, this, &ConsentStrip::cxButton3Click);
}

QList<QLabel*> ConsentStrip::images() const {
    QList<QLabel*> out;
    for (int i = 0; i < rowLayout_->count(); ++i)
        if (auto* l = qobject_cast<QLabel*>(rowLayout_->itemAt(i)->widget())) out << l;
    return out;
}

QString ConsentStrip::captionOf(const QLabel* image) {
    return image ? image->property(kCaptionProperty).toString() : QString();
}

int ConsentStrip::imageHeight() const {
    return std::max(1, scroll_Imgs->viewport()->height());
}

void ConsentStrip::clearImages() {
    pv_LastImg = nullptr;
    while (QLayoutItem* item = rowLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    row_->adjustSize();
}

void ConsentStrip::addImageControl(const QString& name, const QString& localPath) {
    const QImage picture = readConsentImage(localPath, name);
    auto* image = new QLabel(row_);
    image->setObjectName(QStringLiteral("cxImage%1").arg(rowLayout_->count() + 1));
    image->setProperty(kCaptionProperty, name);
    image->setProperty(kPictureProperty, QPixmap::fromImage(picture));
    image->setToolTip(name);
    image->setAccessibleName(name);
    image->setAlignment(Qt::AlignCenter);
    image->setStyleSheet(QString::fromLatin1(kNormalFrame));
    image->setCursor(Qt::PointingHandCursor);
    image->installEventFilter(this);
    rowLayout_->addWidget(image);
    const int h = imageHeight();
    const int w = static_cast<int>(std::lround(h * 100.0 / 140.0));
    image->setFixedSize(w, h);
    image->setPixmap(QPixmap::fromImage(picture).scaled(w - 4, h - 4, Qt::KeepAspectRatio,
                                                        Qt::SmoothTransformation));
    row_->adjustSize();
}

void ConsentStrip::select(QLabel* image) {
    if (pv_LastImg) pv_LastImg->setStyleSheet(QString::fromLatin1(kNormalFrame));
    pv_LastImg = image;
    if (pv_LastImg) pv_LastImg->setStyleSheet(QString::fromLatin1(kSelectedFrame));
}

void ConsentStrip::cxImage1Click(QLabel* image) {
    select(image);
}

bool ConsentStrip::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (auto* image = qobject_cast<QLabel*>(watched); image && image->parent() == row_) {
            cxImage1Click(image);
            return true;
        }
    }
    if (watched == scroll_Imgs->viewport() && event->type() == QEvent::Resize) {
        // The controls keep the height of the client area and their 5 : 7 shape.
        const int h = imageHeight();
        const int w = static_cast<int>(std::lround(h * 100.0 / 140.0));
        for (QLabel* image : images()) {
            image->setFixedSize(w, h);
            const QPixmap pm = image->property(kPictureProperty).value<QPixmap>();
            if (!pm.isNull())
                image->setPixmap(
                    pm.scaled(w - 4, h - 4, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        }
        row_->adjustSize();
    }
    return QWidget::eventFilter(watched, event);
}

void ConsentStrip::showError(const QString& message) {
    app::PR_Set_UI_IndicoatorOFF();
    DM->messages().error(this, QStringLiteral("오류"), message);
}

void ConsentStrip::pr_get_ftp_imageList(const QString& userid) {
    clearImages();
    if (userid.isEmpty()) return;
    app::PR_Set_UI_IndicoatorOn();
    try {
        FtpClient client;
        if (connectFileServer(client)) {
            enterPayerFolder(client, app::session().serviceid, userid);
            const QString cache = imageCacheDir();
            for (const QString& name : client.list())
                addImageControl(name, fetchToCache(client, name, cache));
        }
    } catch (const std::exception& e) {
        showError(errorText(e));
        return;
    }
    app::PR_Set_UI_IndicoatorOFF();
}

void ConsentStrip::cxButton4Click() {
    const QString path = DM->messages().openFile(this, QStringLiteral("열기"), QString(), kFilter);
    if (path.isEmpty()) return;
    const QString userid = payer_ ? payer_() : QString();
    app::PR_Set_UI_IndicoatorOn();
    try {
        FtpClient client;
        if (connectFileServer(client)) {
            enterPayerFolder(client, app::session().serviceid, userid);
            addImage(client, userid, path);
            pr_get_ftp_imageList(userid);
        }
    } catch (const std::exception& e) {
        showError(errorText(e));
        return;
    }
    app::PR_Set_UI_IndicoatorOFF();
}

void ConsentStrip::cxButton5Click() {
    if (!pv_LastImg) {
        DM->messages().plain(this, QStringLiteral("이미지를 선택하세요."));
        return;
    }
    const QString name = captionOf(pv_LastImg);
    QString path = DM->messages().saveFile(this, QStringLiteral("저장"), QString(), kFilter);
    if (path.isEmpty()) return;
    const QString userid = payer_ ? payer_() : QString();
    app::PR_Set_UI_IndicoatorOn();
    try {
        FtpClient client;
        if (connectFileServer(client)) {
            enterPayerFolder(client, app::session().serviceid, userid);
            path = withJpgExtension(path);
            saveImage(client, name, path);
            if (open_) open_(path);
        }
    } catch (const std::exception& e) {
        showError(errorText(e));
        return;
    }
    app::PR_Set_UI_IndicoatorOFF();
}

void ConsentStrip::cxButton3Click() {
    if (!pv_LastImg) {
        DM->messages().plain(this, QStringLiteral("이미지를 선택하세요."));
        return;
    }
    const QString userid = payer_ ? payer_() : QString();
    app::PR_Set_UI_IndicoatorOn();
    try {
        FtpClient client;
        if (connectFileServer(client)) {
            enterPayerFolder(client, app::session().serviceid, userid);
            deleteImage(client, captionOf(pv_LastImg));
            QLabel* gone = pv_LastImg;
            pv_LastImg = nullptr;
            rowLayout_->removeWidget(gone);
            delete gone;
            row_->adjustSize();
        }
    } catch (const std::exception& e) {
        showError(errorText(e));
        return;
    }
    app::PR_Set_UI_IndicoatorOFF();
}

}  // namespace payers
