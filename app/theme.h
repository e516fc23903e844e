#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QApplication;

// The look of the whole program in one place: a dark application-wide theme (the "Black"
// skin), warm caramel-toned buttons and gradient caption cells.
namespace app::theme {

// 맑은 고딕 9 pt, falling back to Noto Sans CJK KR where Windows' font is missing.
QFont uiFont();
// The same family at another pixel height and weight (the indicator's text, headings).
QFont uiFont(int pixelSize, bool bold);

// Palette, style and style sheet for every window of the application.
void apply(QApplication& app);
QString styleSheet();

// Widgets opt into a role of the style sheet through this dynamic property:
//   "caption"  - gradient caption cell beside an editor
//   "heading"  - large grey heading text
//   "notice"   - navy bold notice text on light ground
//   "light"    - a panel on light ground (login panel, dialogs' white areas)
inline constexpr char kRoleProperty[] = "paydeskRole";

// Shared colours.
inline const QColor kWindow{0x2B, 0x2B, 0x2E};
inline const QColor kBase{0x1E, 0x1E, 0x21};
inline const QColor kText{0xE6, 0xE6, 0xE6};
inline const QColor kAccent{0xD9, 0x9A, 0x4E};  // caramel
inline const QColor kCaptionTop{0x5A, 0x5F, 0x6B};
inline const QColor kCaptionBottom{0x34, 0x37, 0x3F};

// The grid styles the forms put on rows and cells.
inline const QColor GridWhite{0xFF, 0xFF, 0xFF};
inline const QColor cxStyle출금금액{0xFD, 0xF0, 0xF0};
inline const QColor cxStyleUserExist{0xFF, 0xAE, 0x88};

}  // namespace app::theme
