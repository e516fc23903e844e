// The named-parameter translator: any statement text splits into one more text piece than there
// are names, every name is a non-empty run of letters, digits and "_", and joining the pieces
// with ":" + name in between gives the statement back unchanged.
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "platform/sql/named_params.h"

using fuzzinput::broken;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString sql = fuzzinput::text(data, size);
    const platform::sql::ParsedStatement p = platform::sql::parseNamedParameters(sql);
    if (p.texts.size() != p.names.size() + 1) broken("texts.size() != names.size() + 1", sql);
    QString joined = p.texts.value(0);
    for (qsizetype i = 0; i < p.names.size(); ++i) {
        const QString& name = p.names[i];
        if (name.isEmpty()) broken("an empty parameter name", sql);
        for (QChar c : name)
            if (!c.isLetterOrNumber() && c != u'_') broken("a name with other characters", sql);
        joined += u':' + name + p.texts[i + 1];
    }
    if (joined != sql) broken("the pieces do not join back into the statement", sql);
    const QString positional = p.positional();
    if (positional.count(u'?') < p.names.size()) broken("fewer placeholders than names", sql);
    return 0;
}
