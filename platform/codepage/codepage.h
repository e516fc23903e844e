#pragma once

#include <QByteArray>
#include <QString>

namespace platform::codepage {

// Code page 949 (the Windows ANSI code page of Korean systems): ASCII one byte, Hangul two.
// Characters it cannot represent become "?", as the Windows conversion does.
QByteArray toCp949(const QString& text);
QString fromCp949(const QByteArray& bytes);
int cp949Length(const QString& text);
// True when `lead` (a byte of CP949 text at a character start) begins a two-byte character.
inline bool isCp949LeadByte(unsigned char lead) { return lead >= 0x81 && lead <= 0xFE; }

// EUC-KR, the character set of the database columns. encodeEucKr returns false (and the first
// character it cannot hold in *bad) instead of substituting.
bool encodeEucKr(const QString& text, QByteArray* out, QString* bad = nullptr);
QString decodeEucKr(const char* data, qsizetype length);

}  // namespace platform::codepage
