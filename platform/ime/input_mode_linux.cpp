#include <QVariant>
#include <QWidget>

#include "platform/ime/input_mode.h"

namespace platform::ime {

namespace {

constexpr char kProperty[] = "imeMode";

const char* nameOf(InputMode m) {
    switch (m) {
        case InputMode::Hangul:
            return "hangul";
        case InputMode::Alpha:
            return "alpha";
        case InputMode::Disabled:
            return "disabled";
        case InputMode::Default:
            break;
    }
    return "";
}

}  // namespace

InputMode inputMode(const QWidget* editor) {
    const QByteArray v = editor->property(kProperty).toByteArray();
    if (v == "hangul") return InputMode::Hangul;
    if (v == "alpha") return InputMode::Alpha;
    if (v == "disabled") return InputMode::Disabled;
    return InputMode::Default;
}

void setInputMode(QWidget* editor, InputMode mode) {
    editor->setProperty(kProperty, QByteArray(nameOf(mode)));
    Qt::InputMethodHints hints = editor->inputMethodHints();
    switch (mode) {
        case InputMode::Hangul:
            hints &= ~(Qt::ImhPreferLatin | Qt::ImhLatinOnly);
            editor->setAttribute(Qt::WA_InputMethodEnabled, true);
            break;
        case InputMode::Alpha:
            hints |= Qt::ImhPreferLatin;
            break;
        case InputMode::Disabled:
            editor->setAttribute(Qt::WA_InputMethodEnabled, false);
            break;
        case InputMode::Default:
            break;
    }
    editor->setInputMethodHints(hints);
}

}  // namespace platform::ime
