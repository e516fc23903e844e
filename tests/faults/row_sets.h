#pragma once
// Comparing a table before and after a fault, and small texts for the report lines.
// Header only: every file of this folder is a test program of its own.
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

#include "tests/support/message_recorder.h"

namespace faults {

using Rows = std::vector<QStringList>;

struct RowDiff {
    long long lost = 0;   // rows of `before` missing or changed in `after`
    long long added = 0;  // rows of `after` that `before` did not have
};

// Whole rows compared as they are, as multisets.
inline RowDiff diff(const Rows& before, const Rows& after) {
    QHash<QString, long long> count;
    for (const QStringList& r : before) ++count[r.join(QChar(0x1f))];
    RowDiff d;
    for (const QStringList& r : after) {
        auto it = count.find(r.join(QChar(0x1f)));
        if (it != count.end() && *it > 0)
            --*it;
        else
            ++d.added;
    }
    for (long long left : count) d.lost += left;
    return d;
}

// Payer ids as the server numbers them: 10 digits, zero-filled.
inline QString payerId(int n) {
    return QStringLiteral("%1").arg(n, 10, 10, QLatin1Char('0'));
}

// The boxes a recorder saw, for a report line: [caption] text, one after the other.
inline QString shown(const testsupport::MessageRecorder& r) {
    QStringList out;
    for (const auto& e : r.boxes()) {
        QString text = e.text;
        text.replace(u'\r', u' ').replace(u'\n', u' ');
        out << QStringLiteral("[%1] %2").arg(e.caption, text);
    }
    return out.isEmpty() ? QStringLiteral("none") : out.join(QStringLiteral(" / "));
}

}  // namespace faults
