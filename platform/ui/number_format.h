#pragma once

#include <QString>
#include <optional>

// Number display formats in the notation the forms are written with:
//   ",0.;-,0."  thousands separators, no decimals; negatives as "-1,234"
//   "#,##0 건"  thousands separators followed by a literal text
// A format has up to three sections separated by ";": positive, negative, zero. The negative
// section shows the absolute value (its own literals supply the sign); without one, negatives
// get a leading "-". In a section "0" is a required digit, "#" an optional one, "," anywhere
// in the digits switches on thousands separators, "." starts the decimals; everything else,
// and text in double or single quotes, is copied as it stands.
namespace platform::ui {

QString formatNumber(double value, const QString& format);

// "1234567" -> "1,234,567"; keeps a leading "-". The argument holds digits only.
QString groupThousands(const QString& digits);

// A whole number typed by a user: blanks and thousands separators are ignored; empty or
// anything else than an optional "-" and at most 15 digits gives nothing.
std::optional<qint64> parseWholeNumber(const QString& text);

}  // namespace platform::ui
