#include "platform/profile/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/codepage/codepage.h"

namespace platform::profile {

namespace {

// One physical line: its bytes without the line end, and the line end as it stood ("\r\n",
// "\n", "\r" or nothing on the last line).
struct Line {
    QByteArray text;
    QByteArray eol;
};

std::vector<Line> splitLines(const QByteArray& data) {
    std::vector<Line> lines;
    qsizetype start = 0;
    const qsizetype n = data.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = data[i];
        if (c != '\n' && c != '\r') continue;
        Line l;
        l.text = data.mid(start, i - start);
        if (c == '\r' && i + 1 < n && data[i + 1] == '\n') {
            l.eol = "\r\n";
            ++i;
        } else {
            l.eol = QByteArray(1, c);
        }
        lines.push_back(std::move(l));
        start = i + 1;
    }
    if (start < n) lines.push_back({data.mid(start), {}});
    return lines;
}

bool isUtf8(const QByteArray& data) {
    QStringDecoder d(QStringDecoder::Utf8);
    const QString decoded = d.decode(data);  // the decoder runs on conversion to QString
    return !d.hasError();
}

// Files of Windows neighbours are in the ANSI code page; files written here are UTF-8. A file
// that is valid UTF-8 is read as such, anything else as code page 949.
struct Codec {
    bool utf8 = true;
    QString decode(const QByteArray& b) const {
        return utf8 ? QString::fromUtf8(b) : codepage::fromCp949(b);
    }
    QByteArray encode(const QString& s) const { return utf8 ? s.toUtf8() : codepage::toCp949(s); }
};

QByteArray stripBom(const QByteArray& text) {
    return text.startsWith("\xEF\xBB\xBF") ? text.mid(3) : text;
}

// "[name]" → name; other lines → null.
std::optional<QString> sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'[')) return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    if (close < 0) return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QString& trimmed) {
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

// The key of a "key=value" line, or null for anything else.
std::optional<QString> keyOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t) || t.startsWith(u'[')) return std::nullopt;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0) return std::nullopt;
    return t.left(eq).trimmed();
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquote(QString v) {
    v = v.trimmed();
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"')) v = v.mid(1, v.size() - 2);
    return v;
}

// Where a section and a key stand in the file.
struct Location {
    int section = -1;      // line of the "[section]" header
    int key = -1;          // line of the key inside it
    int lastContent = -1;  // last non-blank line of the section (the header when empty)
};

Location locate(const std::vector<Line>& lines, const Codec& codec, const QString& section,
                const QString& key) {
    Location loc;
    bool inside = false;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        QByteArray raw = lines[i].text;
        if (i == 0) raw = stripBom(raw);
        const QString line = codec.decode(raw);
        if (auto name = sectionName(line)) {
            if (inside) break;  // the first section of that name counts, as on Windows
            if (sameName(*name, section)) {
                inside = true;
                loc.section = i;
                loc.lastContent = i;
            }
            continue;
        }
        if (!inside) continue;
        if (!line.trimmed().isEmpty()) loc.lastContent = i;
        if (loc.key < 0) {
            if (auto k = keyOf(line); k && sameName(*k, key)) loc.key = i;
        }
    }
    return loc;
}

QByteArray readAll(const QString& path, bool* exists) {
    QFile f(path);
    *exists = f.exists();
    if (!*exists) return {};
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("설정 파일을 읽을 수 없습니다: %1").arg(path).toStdString());
    return f.readAll();
}

}  // namespace

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    bool exists = false;
    const QByteArray data = readAll(path_, &exists);
    if (!exists) return defaultValue;
    const Codec codec{isUtf8(data)};
    const std::vector<Line> lines = splitLines(data);
    const Location loc = locate(lines, codec, section, key);
    if (loc.key < 0) return defaultValue;
    QByteArray raw = lines[loc.key].text;
    if (loc.key == 0) raw = stripBom(raw);
    const QString line = codec.decode(raw);
    return unquote(line.mid(line.indexOf(u'=') + 1));
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) const {
    const auto fail = [this]() {
        throw std::runtime_error(
            QStringLiteral("설정 파일에 저장할 수 없습니다: %1").arg(path_).toStdString());
    };
    // A line break in a value would turn into a line of its own on the next read.
    for (const QString& part : {section, key, value})
        if (part.contains(u'\n') || part.contains(u'\r'))
            throw std::runtime_error(
                QStringLiteral("줄바꿈이 든 값은 설정 파일에 저장할 수 없습니다.").toStdString());

    bool exists = false;
    const QByteArray data = readAll(path_, &exists);
    const Codec codec{isUtf8(data)};
    std::vector<Line> lines = splitLines(data);

    // New lines take the file's own line end; a new file gets the Windows one.
    QByteArray eol = "\r\n";
    for (const Line& l : lines)
        if (!l.eol.isEmpty()) {
            eol = l.eol;
            break;
        }

    const Location loc = locate(lines, codec, section, key);
    if (loc.key >= 0) {
        // Keep the key as it is spelled in the file and everything up to "=".
        Line& l = lines[loc.key];
        const qsizetype eq = l.text.indexOf('=');
        l.text = l.text.left(eq + 1) + codec.encode(value);
    } else {
        std::vector<Line> added;
        if (loc.section < 0) added.push_back({"[" + codec.encode(section) + "]", eol});
        added.push_back({codec.encode(key) + "=" + codec.encode(value), eol});
        const int at = loc.section < 0 ? static_cast<int>(lines.size()) : loc.lastContent + 1;
        // The line before the insertion may be the last one of a file without a final line end.
        if (at > 0 && lines[at - 1].eol.isEmpty()) lines[at - 1].eol = eol;
        lines.insert(lines.begin() + at, added.begin(), added.end());
    }

    QByteArray out;
    out.reserve(data.size() + 64);
    for (const Line& l : lines) out += l.text + l.eol;

    QSaveFile f(path_);
    // A folder that forbids new files may still hold a writable file.
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly)) fail();
    if (f.write(out) != out.size()) {
        f.cancelWriting();
        fail();
    }
    if (!f.commit()) fail();
}

}  // namespace platform::profile
