#include "platform/sql/named_params.h"

namespace platform::sql {

namespace {

bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

}  // namespace

QString ParsedStatement::positional() const {
    QString out;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        out += texts[i];
        if (i < names.size()) out += u'?';
    }
    return out;
}

ParsedStatement parseNamedParameters(const QString& sql) {
    ParsedStatement p;
    QString current;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            // Quoted text: copied as it stands, a doubled quote or a backslash escape included.
            const QChar q = c;
            current += c;
            ++i;
            while (i < n) {
                const QChar d = sql[i];
                current += d;
                ++i;
                if (d == u'\\' && q != u'`' && i < n) {
                    current += sql[i];
                    ++i;
                } else if (d == q) {
                    if (i < n && sql[i] == q) {
                        current += sql[i];
                        ++i;
                    } else {
                        break;
                    }
                }
            }
            continue;
        }
        if (c == u'-' && i + 2 < n && sql[i + 1] == u'-' && sql[i + 2].isSpace()) {
            while (i < n && sql[i] != u'\n') current += sql[i++];
            continue;
        }
        if (c == u'#') {
            while (i < n && sql[i] != u'\n') current += sql[i++];
            continue;
        }
        if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            current += sql.mid(i, stop - i);
            i = stop;
            continue;
        }
        if (c == u':') {
            if (i + 1 < n && (sql[i + 1] == u':' || sql[i + 1] == u'=')) {
                current += sql.mid(i, 2);
                i += 2;
                continue;
            }
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql[j])) ++j;
            if (j > i + 1) {
                p.texts << current;
                current.clear();
                p.names << sql.mid(i + 1, j - i - 1);
                i = j;
                continue;
            }
        }
        current += c;
        ++i;
    }
    p.texts << current;
    return p;
}

}  // namespace platform::sql
