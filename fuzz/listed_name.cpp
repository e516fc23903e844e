// The check of names read from an FTP listing: a name it accepts is a plain file name, so that
// the cache path made of it stays inside the cache folder: never empty, "." or "..", no "/",
// "\" or ":", no control character, at most 255 UTF-8 bytes, and returned unchanged.
#include <QDir>
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "platform/ftp/ftp_client.h"

using fuzzinput::broken;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString name = fuzzinput::text(data, size);
    QString accepted;
    try {
        accepted = platform::ftp::checkedListedName(name);
    } catch (const platform::ftp::FtpError& e) {
        if (e.message().isEmpty()) broken("a refusal without a message", name);
        return 0;
    }
    if (accepted != name) broken("an accepted name comes back changed", name);
    if (name.isEmpty() || name == u"." || name == u"..") broken("empty, . or .. accepted", name);
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u == u'/' || u == u'\\' || u == u':') broken("a path character accepted", name);
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0))
            broken("a control character accepted", name);
    }
    if (name.toUtf8().size() > 255) broken("more than 255 UTF-8 bytes accepted", name);
    const QString cache = QStringLiteral("/cache");
    const QString path = QDir::cleanPath(QDir(cache).filePath(name));
    if (!path.startsWith(cache + u'/') || path.mid(cache.size() + 1).contains(u'/'))
        broken("the cache path leaves the cache folder", name);
    return 0;
}
