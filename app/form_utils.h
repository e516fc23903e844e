#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What the working forms share: fixed-width fields of the request file, the bank table, the
// translation of error texts and the Hangul input set-up. Plain functions of their arguments;
// TfrmMain offers them under the same names.
namespace app {

// Left-aligned text field of `pr_Length` bytes in code page 949, blank-filled; a two-byte
// character that would straddle the end is dropped, never split.
QString pr_Get_Value_FormatStr(const QString& pr_Str, int pr_Length);
// Right-aligned field zero-filled to `pr_Length` bytes; a longer value comes back unchanged.
QString pr_Get_Value_FormatInt(const QString& pr_Str, int pr_Length);

// The 19 lines "(" + bank code + ")" + bank name, in their fixed order.
const QStringList& mem_BaseBank();
// The text between the first `Delimiter1` and the first `Delimiter2` ("" when none).
QString Fn_Get_Code(const QString& Str, const QString& Delimiter1, const QString& Delimiter2);
// The bank name of a three-digit code as stored; "" for any other text.
QString Fn_Get_Value_BankName(const QString& pr_BankCode);

// The Korean message for a server or program error text; unknown texts pass unchanged.
QString Fn_Get_ErrorType(const QString& Msg);

// Marks every plain text box, memo and drop-down box of `frm` that has no input-mode
// preference of its own to start in Hangul input. Never throws.
void pr_Set_UI_ImeMode(QWidget* frm);

}  // namespace app
