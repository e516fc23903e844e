#include "platform/ui/ribbon.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace platform::ui {

Ribbon::Ribbon(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ribbon"));
    // Style sheets only paint the background of plain QWidget subclasses with this set.
    setAttribute(Qt::WA_StyledBackground);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("ribbonTabs"));
    tabs_->tabBar()->setDrawBase(false);
    tabs_->tabBar()->setExpanding(false);

    appButton_ = new QToolButton(tabs_);
    appButton_->setObjectName(QStringLiteral("ribbonAppButton"));
    appButton_->setAutoRaise(true);
    appButton_->setIconSize(QSize(20, 20));
    appMenu_ = new QMenu(appButton_);
    appButton_->setMenu(appMenu_);
    appButton_->setPopupMode(QToolButton::InstantPopup);
    // No menu arrow: the application button is a picture.
    appButton_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    tabs_->setCornerWidget(appButton_, Qt::TopLeftCorner);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

int Ribbon::addTab(const QString& caption) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("ribbonPage%1").arg(tabs_->count()));
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(2);
    row->addStretch(1);
    return tabs_->addTab(page, caption);
}

QToolButton* Ribbon::addLargeButton(int tab, const QString& objectName, const QString& caption,
                                    const QIcon& icon) {
    QWidget* page = tabs_->widget(tab);
    auto* row = static_cast<QHBoxLayout*>(page->layout());
    auto* b = new QToolButton(page);
    b->setObjectName(objectName);
    b->setText(caption);
    b->setToolTip(caption);
    b->setStatusTip(caption);
    b->setIcon(icon);
    b->setIconSize(QSize(kLargeIconSize, kLargeIconSize));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumWidth(76);
    b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // Keep the stretch last so the buttons stand left to right from the left edge.
    row->insertWidget(row->count() - 1, b);
    return b;
}

int Ribbon::tabCount() const {
    return tabs_->count();
}

QString Ribbon::tabCaption(int tab) const {
    return tabs_->tabText(tab);
}

}  // namespace platform::ui
