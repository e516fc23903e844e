#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

class QTabWidget;
class QToolButton;
class QHBoxLayout;
class QMenu;

namespace platform::ui {

// A ribbon: an application button at the left of a row of tabs; each tab holds one group of
// large buttons (large icon over the caption) without a group caption.
class Ribbon : public QWidget {
    Q_OBJECT
public:
    explicit Ribbon(QWidget* parent = nullptr);

    // Adds a tab and returns its index.
    int addTab(const QString& caption);
    // Adds a large button to tab `tab`. Its hint (tool tip and status tip) is its caption.
    QToolButton* addLargeButton(int tab, const QString& objectName, const QString& caption,
                                const QIcon& icon);

    QToolButton* applicationButton() const { return appButton_; }
    QMenu* applicationMenu() const { return appMenu_; }
    QTabWidget* tabs() const { return tabs_; }
    int tabCount() const;
    QString tabCaption(int tab) const;

    static constexpr int kLargeIconSize = 32;

private:
    QToolButton* appButton_;
    QMenu* appMenu_;
    QTabWidget* tabs_;
};

}  // namespace platform::ui
