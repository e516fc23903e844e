#include "app/theme.h"

#include "app/app_style.h"

#include <QApplication>
#include <QPalette>

namespace app::theme {

namespace {

QStringList families() {
    return {QStringLiteral("맑은 고딕"), QStringLiteral("Malgun Gothic"),
            QStringLiteral("Noto Sans CJK KR"), QStringLiteral("Noto Sans KR")};
}

QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, kWindow);
    p.setColor(QPalette::WindowText, kText);
    p.setColor(QPalette::Base, kBase);
    p.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x2A));
    p.setColor(QPalette::ToolTipBase, QColor(0x3A, 0x3A, 0x3F));
    p.setColor(QPalette::ToolTipText, kText);
    p.setColor(QPalette::PlaceholderText, QColor(0x88, 0x88, 0x8C));
    p.setColor(QPalette::Text, kText);
    p.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3F));
    p.setColor(QPalette::ButtonText, kText);
    p.setColor(QPalette::BrightText, QColor(0xFF, 0x6B, 0x6B));
    p.setColor(QPalette::Link, kAccent);
    p.setColor(QPalette::Highlight, QColor(0x8A, 0x5A, 0x2B));
    p.setColor(QPalette::HighlightedText, QColor(0xFF, 0xFF, 0xFF));
    p.setColor(QPalette::Light, QColor(0x4A, 0x4A, 0x50));
    p.setColor(QPalette::Midlight, QColor(0x40, 0x40, 0x45));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x34));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1B));
    p.setColor(QPalette::Shadow, QColor(0x0A, 0x0A, 0x0C));
    const QColor disabled(0x7A, 0x7A, 0x7E);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Text, disabled);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Base, QColor(0x26, 0x26, 0x29));
    return p;
}

}  // namespace

QFont uiFont() {
    QFont f;
    f.setFamilies(families());
    f.setPointSize(9);
    return f;
}

QFont uiFont(int pixelSize, bool bold) {
    QFont f = uiFont();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QString styleSheet() {
    return QStringLiteral(R"(
QToolTip { color: #E6E6E6; background: #3A3A3F; border: 1px solid #5A5A60; }

/* Caramel buttons */
QPushButton {
    color: #2B1A08;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #F0C68A, stop:0.5 #DDA35E,
                                stop:1 #B9793A);
    border: 1px solid #7A4B1E;
    border-radius: 3px;
    padding: 4px 12px;
    min-height: 18px;
}
QPushButton:hover {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #F7D4A0, stop:0.5 #E8B374,
                                stop:1 #C98A48);
}
QPushButton:pressed, QPushButton:checked {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #B9793A, stop:1 #D89C58);
}
QPushButton:focus { border: 1px solid #FFE2B0; }
QPushButton:disabled { color: #6E6258; background: #4A443E; border-color: #3A342E; }

/* Editors */
QLineEdit, QPlainTextEdit, QTextEdit, QComboBox, QAbstractSpinBox, QDateEdit {
    color: #E6E6E6;
    background: #1E1E21;
    border: 1px solid #4A4A50;
    border-radius: 2px;
    padding: 2px 4px;
    selection-background-color: #8A5A2B;
}
QLineEdit:focus, QPlainTextEdit:focus, QTextEdit:focus, QComboBox:focus,
QAbstractSpinBox:focus { border: 1px solid #D99A4E; }
QLineEdit:disabled, QComboBox:disabled, QAbstractSpinBox:disabled { color: #7A7A7E; }
QComboBox QAbstractItemView {
    color: #E6E6E6; background: #1E1E21; selection-background-color: #8A5A2B;
}
QCheckBox, QRadioButton { color: #E6E6E6; spacing: 6px; }

/* Caption cells beside the editors */
*[paydeskRole="caption"] {
    color: #F2F2F2;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #646A77, stop:0.5 #4A4F5A,
                                stop:1 #34373F);
    border: 1px solid #202228;
    border-radius: 2px;
    padding-left: 6px;
}
*[paydeskRole="heading"] { color: #A0A0A6; font-weight: bold; }
*[paydeskRole="notice"] { color: #7FA8FF; font-weight: bold; }

/* Grids */
QTableView, QTreeView, QListView {
    color: #E6E6E6;
    background: #1E1E21;
    alternate-background-color: #26262A;
    gridline-color: #3A3A3F;
    selection-background-color: #8A5A2B;
    selection-color: #FFFFFF;
}
QHeaderView::section {
    color: #EDEDED;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #4A4A50, stop:1 #333337);
    border: 0px;
    border-right: 1px solid #222225;
    border-bottom: 1px solid #222225;
    padding: 2px 4px;
}

/* Page controls */
QTabWidget::pane { border: 1px solid #3A3A3F; }
QTabBar::tab {
    color: #CFCFD2; background: #333337; border: 1px solid #222225;
    padding: 5px 14px; margin-right: 1px;
}
QTabBar::tab:selected { color: #FFFFFF; background: #45454B; border-bottom-color: #D99A4E; }
QTabBar::tab:hover { background: #3E3E43; }

/* Ribbon */
platform--ui--Ribbon { background: #252528; border-bottom: 1px solid #141416; }
platform--ui--Ribbon QTabWidget::pane { border: 0px; border-top: 1px solid #3A3A3F;
                                        background: #303034; }
platform--ui--Ribbon QTabBar::tab { padding: 4px 16px; background: transparent;
                                    border: 0px; color: #CFCFD2; }
platform--ui--Ribbon QTabBar::tab:selected { color: #FFFFFF; background: #303034;
                                             border-bottom: 2px solid #D99A4E; }
platform--ui--Ribbon QToolButton {
    color: #EDEDED; background: transparent; border: 1px solid transparent;
    border-radius: 3px; padding: 3px 6px;
}
platform--ui--Ribbon QToolButton:hover {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6A5238, stop:1 #4D3A27);
    border-color: #D99A4E;
}
platform--ui--Ribbon QToolButton:pressed { background: #8A5A2B; }
platform--ui--Ribbon QToolButton:disabled { color: #6E6E72; }
platform--ui--Ribbon QToolButton#ribbonAppButton { border: 0px; padding: 2px; }

/* Status bar */
QStatusBar { color: #CFCFD2; background: #1A1A1D; border-top: 1px solid #3A3A3F; }
QStatusBar QLabel { color: #CFCFD2; border-right: 1px solid #3A3A3F; padding: 0px 4px; }
QStatusBar QLabel[paydeskRole="raised"] {
    border: 1px solid; border-color: #5A5A60 #141416 #141416 #5A5A60;
}

QMdiArea { background: #202023; }
QScrollBar { background: #26262A; }
)");
}

void apply(QApplication& app) {
    app.setStyle(new AppStyle);
    app.setPalette(darkPalette());
    app.setFont(uiFont());
    app.setStyleSheet(styleSheet());
}

}  // namespace app::theme
