#pragma once
// Turns fuzzer bytes into the text a target works on. The first byte picks the reading: UTF-8
// (what a server or a file gives; invalid sequences become U+FFFD), or raw UTF-16 code units
// (what a QString can hold, lone surrogates included).
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzinput {

inline QString textAs(bool utf16, const uint8_t* data, size_t size) {
    if (!utf16)
        return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString s;
    for (size_t i = 0; i + 1 < size; i += 2)
        s += QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    return s;
}

inline QString text(const uint8_t* data, size_t size) {
    if (size == 0) return {};
    return textAs(data[0] & 1, data + 1, size - 1);
}

// A broken property: say which and stop, so that libFuzzer keeps the input as a crash.
[[noreturn]] inline void broken(const char* what, const QString& input) {
    std::fprintf(stderr, "property broken: %s\ninput (UTF-8): %s\n", what,
                 input.toUtf8().constData());
    std::abort();
}

}  // namespace fuzzinput
