// The fixed-width fields of the request file: pr_Get_Value_FormatStr gives exactly the width in
// code page 949 bytes for every positive width, keeps a prefix of the value that ends on a
// character boundary (dropping only the one character that would straddle the end) and fills
// with blanks; pr_Get_Value_FormatInt fills with zeros on the left and never cuts.
#include <cstdint>

#include "app/form_utils.h"
#include "fuzz/fuzz_input.h"
#include "platform/codepage/codepage.h"

using fuzzinput::broken;
using platform::codepage::toCp949;

namespace {

// The longest prefix of `in` that `out` repeats.
qsizetype commonPrefix(const QByteArray& in, const QByteArray& out) {
    qsizetype n = 0;
    while (n < in.size() && n < out.size() && in[n] == out[n]) ++n;
    return n;
}

// Whether `bytes` decodes and encodes back to itself: no character is split.
bool wholeCharacters(const QByteArray& bytes) {
    return toCp949(platform::codepage::fromCp949(bytes)) == bytes;
}

void checkFormatStr(const QString& value, int width) {
    const QString result = app::pr_Get_Value_FormatStr(value, width);
    if (width <= 0) {
        if (!result.isEmpty()) broken("FormatStr: a width of 0 or less gives an empty text", value);
        return;
    }
    const QByteArray in = toCp949(value);
    const QByteArray out = toCp949(result);
    if (out.size() != width) broken("FormatStr: not exactly the width in CP949 bytes", value);
    const qsizetype kept = commonPrefix(in, out);
    // What follows the kept prefix is blank fill; when the value was cut, at most the one
    // two-byte character at the end was dropped, and the cut is a character boundary.
    for (qsizetype i = kept; i < out.size(); ++i)
        if (out[i] != ' ') broken("FormatStr: something other than the value and blanks", value);
    if (kept < in.size()) {
        if (kept < width - 1) broken("FormatStr: more than one byte given up at the cut", value);
        if (!wholeCharacters(in.left(kept))) broken("FormatStr: a character split", value);
    }
    if (!wholeCharacters(out)) broken("FormatStr: the field holds a split character", value);
}

void checkFormatInt(const QString& value, int width) {
    const QString result = app::pr_Get_Value_FormatInt(value, width);
    if (!result.endsWith(value)) broken("FormatInt: the value was cut or changed", value);
    const int length = platform::codepage::cp949Length(value);
    if (length >= width) {
        if (result != value)
            broken("FormatInt: a value as long as the field comes back changed", value);
        return;
    }
    if (platform::codepage::cp949Length(result) != width) broken("FormatInt: not the width", value);
    for (qsizetype i = 0; i < result.size() - value.size(); ++i)
        if (result[i] != u'0') broken("FormatInt: fill other than zeros", value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int raw = static_cast<int16_t>(data[1] | (data[2] << 8));
    const int width = raw % 400 - 20;  // -20 .. 379, the request file's widths among them
    const QString value = fuzzinput::textAs(data[0] & 1, data + 3, size - 3);
    checkFormatStr(value, width);
    checkFormatInt(value, width);
    return 0;
}
