#pragma once

#include <QString>
#include <QStringList>

namespace platform::sql {

// A statement with named parameters split into literal text pieces and parameter names:
// text[0] name[0] text[1] name[1] ... text[n]. Names may be Hangul (":일자"), may occur more than
// once, and nothing inside quotes ('...', "...", `...`) or comments is taken for a parameter.
// "::" and ":=" are not parameters.
struct ParsedStatement {
    QStringList texts;  // names.size() + 1 pieces
    QStringList names;  // in order of appearance, repeats included
    // The statement with every parameter replaced by "?" (for prepared statements).
    QString positional() const;
};

ParsedStatement parseNamedParameters(const QString& sql);

}  // namespace platform::sql
