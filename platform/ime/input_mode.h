#pragma once

class QWidget;

namespace platform::ime {

// The input-method mode an editor starts in, as a form asks for it. On Windows the mode is
// handed to the IME when the editor gets the focus; on Linux the input method frameworks offer
// no per-editor switch, so the mode is kept on the widget (property "imeMode") and in its
// input-method hints, where an input method can read it.
enum class InputMode { Default, Hangul, Alpha, Disabled };

InputMode inputMode(const QWidget* editor);
void setInputMode(QWidget* editor, InputMode mode);

}  // namespace platform::ime
