#include "platform/codepage/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <memory>

namespace platform::codepage {

namespace {

// ICU's "windows-949" is the Windows code page (KS X 1001 plus the extended Hangul of UHC),
// which is also what the server's euckr columns hold.
constexpr const char* kCodec = "windows-949";

bool isAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

bool isAscii(const char* data, qsizetype length) {
    for (qsizetype i = 0; i < length; ++i)
        if (static_cast<unsigned char>(data[i]) >= 0x80) return false;
    return true;
}

QStringEncoder& encoder() {
    thread_local QStringEncoder e(kCodec);
    e.resetState();
    return e;
}

QStringDecoder& decoder() {
    thread_local QStringDecoder d(kCodec);
    d.resetState();
    return d;
}

}  // namespace

QByteArray toCp949(const QString& text) {
    if (isAscii(text)) return text.toLatin1();
    QByteArray out = encoder().encode(text);
    return out;
}

QString fromCp949(const QByteArray& bytes) { return decodeEucKr(bytes.constData(), bytes.size()); }

int cp949Length(const QString& text) { return static_cast<int>(toCp949(text).size()); }

bool encodeEucKr(const QString& text, QByteArray* out, QString* bad) {
    if (isAscii(text)) {
        *out = text.toLatin1();
        return true;
    }
    // One encoder per thread: opening an ICU converter costs more than most conversions.
    // Qt 6.4 keeps an ICU encoder's error flag across resetState(), so an encoder that has
    // met an unmappable character is replaced by a fresh one.
    thread_local std::unique_ptr<QStringEncoder> e;
    if (!e) e = std::make_unique<QStringEncoder>(kCodec);
    e->resetState();
    *out = e->encode(text);
    if (!e->hasError()) return true;
    e.reset();
    if (bad) {
        // Find the first character (a surrogate pair counts as one) the code page cannot hold.
        bad->clear();
        for (qsizetype i = 0; i < text.size(); ++i) {
            qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
            QString one = text.mid(i, len);
            QStringEncoder single(kCodec);
            const QByteArray ignored = single.encode(one);
            Q_UNUSED(ignored);
            if (single.hasError()) {
                *bad = one;
                break;
            }
            i += len - 1;
        }
    }
    return false;
}

QString decodeEucKr(const char* data, qsizetype length) {
    if (length <= 0) return {};
    if (isAscii(data, length)) return QString::fromLatin1(data, length);
    return decoder().decode(QByteArrayView(data, length));
}

}  // namespace platform::codepage
