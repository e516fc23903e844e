#include "platform/ftp/ftp_client.h"

#include "platform/ftp/curl_library.h"

#include <QFile>
#include <QSaveFile>
#include <QUrl>
#include <cctype>
#include <climits>

namespace platform::ftp {

namespace {

constexpr long kConnectTimeoutSeconds = 20;
// A reply or a data stream that stays silent this long counts as a dead server.
constexpr long kResponseTimeoutSeconds = 60;
constexpr long kLowSpeedBytesPerSecond = 1;
constexpr long kLowSpeedSeconds = 60;

FtpError notConnected() {
    return FtpError(QStringLiteral("파일 서버에 연결되어 있지 않습니다."));
}

// The library; loaded by the first connect(), which every other use of it follows.
const CurlLibrary& lib() {
    return *CurlLibrary::get();
}

// Names and commands go to the server as one line each; a line break inside would smuggle in
// a second command.
bool hasControlCharacter(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f) return true;
    }
    return false;
}

QString shownName(const QString& name) {
    QString out;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        out += (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0)) ? QChar(u'?') : c;
    }
    return out;
}

QString checkedArgument(const QString& name) {
    if (name.isEmpty() || hasControlCharacter(name))
        throw FtpError(
            QStringLiteral("파일 서버에 보낼 이름이 올바르지 않습니다: %1").arg(shownName(name)));
    return name;
}

QByteArray encodedSegment(const QString& name) {
    return QUrl::toPercentEncoding(name);
}

// The replies of one perform as the server sent them; a multi-line reply ("123-" ... "123 ")
// counts as one.
struct ReplyLog {
    QByteArray pending;  // bytes of an unfinished line
    QList<FtpReply> replies;
    int openCode = 0;  // code of an unfinished multi-line reply
    QStringList openLines;

    void clear() {
        pending.clear();
        replies.clear();
        openCode = 0;
        openLines.clear();
    }

    void feed(const char* data, size_t size) {
        pending.append(data, static_cast<qsizetype>(size));
        for (;;) {
            const qsizetype nl = pending.indexOf('\n');
            if (nl < 0) break;
            QByteArray line = pending.left(nl);
            pending.remove(0, nl + 1);
            if (line.endsWith('\r')) line.chop(1);
            takeLine(line);
        }
    }

    void takeLine(const QByteArray& line) {
        const bool coded = line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
                           std::isdigit(static_cast<unsigned char>(line[1])) &&
                           std::isdigit(static_cast<unsigned char>(line[2])) &&
                           (line.size() == 3 || line[3] == ' ' || line[3] == '-');
        const int code = coded ? line.left(3).toInt() : 0;
        const QString text = QString::fromUtf8(coded ? line.mid(4) : line);
        if (openCode != 0) {
            if (coded && code == openCode && (line.size() == 3 || line[3] == ' ')) {
                openLines << text;
                replies.append({openCode, openLines.join(u'\n').trimmed()});
                openCode = 0;
                openLines.clear();
            } else {
                openLines << (coded ? QString::fromUtf8(line) : text).trimmed();
            }
            return;
        }
        if (!coded) return;  // not a reply line (e.g. a header libcurl made up itself)
        if (line.size() > 3 && line[3] == '-') {
            openCode = code;
            openLines = QStringList{text};
            return;
        }
        replies.append({code, text.trimmed()});
    }

    const FtpReply* last() const { return replies.isEmpty() ? nullptr : &replies.constLast(); }
};

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    static_cast<ReplyLog*>(user)->feed(data, size * count);
    return size * count;
}

size_t onListData(char* data, size_t size, size_t count, void* user) {
    static_cast<QByteArray*>(user)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

size_t onFileData(char* data, size_t size, size_t count, void* user) {
    auto* file = static_cast<QSaveFile*>(user);
    const auto n = static_cast<qint64>(size * count);
    return file->write(data, n) == n ? size * count : 0;  // 0 aborts the transfer
}

size_t onUploadData(char* buffer, size_t size, size_t count, void* user) {
    auto* file = static_cast<QFile*>(user);
    const qint64 n = file->read(buffer, static_cast<qint64>(size * count));
    return n < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(n);
}

class SList {
public:
    SList() = default;
    SList(const SList&) = delete;
    SList& operator=(const SList&) = delete;
    ~SList() {
        if (list_) lib().slist_free_all(list_);
    }
    void append(const QByteArray& item) {
        curl_slist* grown = lib().slist_append(list_, item.constData());
        if (!grown) throw FtpError(QStringLiteral("파일 서버 명령을 준비하지 못했습니다."));
        list_ = grown;
    }
    curl_slist* get() const { return list_; }

private:
    curl_slist* list_ = nullptr;
};

}  // namespace

// libcurl keeps the control connection of the easy handle alive between performs as long as
// host, port and credentials stay the same, so one handle is one session. Every perform names
// the tracked folder in its URL: libcurl walks into it one level at a time when the server is
// elsewhere (a new or reconnected session) and skips the walk when it is already there, so a
// command never runs in a folder other than the one the caller entered.
struct FtpClient::Impl {
    CURL* curl = nullptr;
    FtpSettings session;  // the settings the session was opened with
    QStringList folders;  // the current folder, as entered from the login folder
    ReplyLog log;
    char errorText[CURL_ERROR_SIZE] = {};

    ~Impl() { close(); }

    void close() noexcept {
        if (curl) lib().easy_cleanup(curl);  // sends QUIT on a live control connection
        curl = nullptr;
        folders.clear();
    }

    QByteArray url(const QStringList& path, const QString& file = {}) const {
        QByteArray host = session.host.toUtf8();
        if (host.contains(':') && !host.startsWith('[')) host = '[' + host + ']';
        QByteArray u = "ftp://" + host + ':' + QByteArray::number(session.port) + '/';
        for (const QString& f : path) u += encodedSegment(f) + '/';
        if (!file.isEmpty()) u += encodedSegment(file);
        return u;
    }

    // Options every perform shares; curl_easy_reset keeps the live connection.
    void prepare(const QByteArray& target) {
        lib().easy_reset(curl);
        log.clear();
        errorText[0] = '\0';
        lib().easy_setopt(curl, CURLOPT_URL, target.constData());
        lib().easy_setopt(curl, CURLOPT_USERNAME, session.user.toUtf8().constData());
        lib().easy_setopt(curl, CURLOPT_PASSWORD, session.password.toUtf8().constData());
        lib().easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
        lib().easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        lib().easy_setopt(curl, CURLOPT_NOPROGRESS, 1L);
        lib().easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
        lib().easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, kResponseTimeoutSeconds);
        lib().easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, kConnectTimeoutSeconds * 1000L);
        lib().easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedBytesPerSecond);
        lib().easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kLowSpeedSeconds);
        lib().easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);
        // The session lives as long as the caller keeps it, not libcurl's idle limit.
        lib().easy_setopt(curl, CURLOPT_MAXAGE_CONN, static_cast<long>(INT_MAX));
        lib().easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
        lib().easy_setopt(curl, CURLOPT_FTPPORT, session.passive ? nullptr : "-");
        lib().easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
        lib().easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
        lib().easy_setopt(curl, CURLOPT_HEADERDATA, &log);
    }

    // The server's text when it refused, else what libcurl knows about the failure.
    QString failureText(CURLcode rc) const {
        const FtpReply* r = log.last();
        if (r && r->code >= 400 && !r->text.isEmpty()) return r->text;
        const QString detail = errorText[0] ? QString::fromUtf8(errorText)
                                            : QString::fromUtf8(lib().easy_strerror(rc));
        return QStringLiteral("파일 서버와 통신하지 못했습니다. (%1)").arg(detail);
    }

    void perform() {
        const CURLcode rc = lib().easy_perform(curl);
        if (rc != CURLE_OK) throw FtpError(failureText(rc));
    }

    // Runs one raw command inside the tracked folder and returns its reply. The "*" tells
    // libcurl to let the server refuse it: a refused quote command would otherwise make
    // libcurl drop the control connection.
    FtpReply command(const QString& text) {
        if (hasControlCharacter(text))
            throw FtpError(
                QStringLiteral("파일 서버 명령이 올바르지 않습니다: %1").arg(shownName(text)));
        SList commands;
        commands.append('*' + text.toUtf8());
        prepare(url(folders));
        lib().easy_setopt(curl, CURLOPT_NOBODY, 1L);
        lib().easy_setopt(curl, CURLOPT_POSTQUOTE, commands.get());
        perform();
        const FtpReply* r = log.last();
        if (!r) throw FtpError(QStringLiteral("파일 서버가 응답하지 않았습니다."));
        return *r;
    }

    FtpReply expect(const QString& text) {
        FtpReply r = command(text);
        if (r.code < 200 || r.code >= 300)
            throw FtpError(r.text.isEmpty()
                               ? QStringLiteral("파일 서버가 명령을 거부했습니다: %1 %2")
                                     .arg(r.code)
                                     .arg(shownName(text))
                               : r.text);
        return r;
    }
};

FtpClient::FtpClient(FtpSettings settings)
    : settings_(std::move(settings)), impl_(std::make_unique<Impl>()) {}

FtpClient::~FtpClient() = default;

void FtpClient::connect() {
    QString why;
    if (!CurlLibrary::get(&why))
        throw FtpError(QStringLiteral("파일 서버 연결을 준비하지 못했습니다. (%1)").arg(why));
    impl_->close();
    impl_->session = settings_;
    impl_->curl = lib().easy_init();
    if (!impl_->curl) throw FtpError(QStringLiteral("파일 서버 연결을 준비하지 못했습니다."));
    try {
        // A perform without a transfer: connect, USER/PASS, and nothing else.
        impl_->prepare(impl_->url({}));
        lib().easy_setopt(impl_->curl, CURLOPT_NOBODY, 1L);
        impl_->perform();
    } catch (...) {
        impl_->close();
        throw;
    }
}

void FtpClient::disconnect() noexcept {
    impl_->close();
}

bool FtpClient::isConnected() const {
    return impl_->curl != nullptr;
}

FtpClient::Impl& FtpClient::active() {
    if (!impl_->curl) throw notConnected();
    return *impl_;
}

FtpReply FtpClient::sendCommand(const QString& command) {
    return active().command(command);
}

void FtpClient::changeDir(const QString& name) {
    Impl& s = active();
    checkedArgument(name);
    if (name == u"." || name == u".." || name.contains(u'/'))
        throw FtpError(QStringLiteral("폴더 이름이 올바르지 않습니다: %1").arg(shownName(name)));
    QStringList target = s.folders;
    target << name;
    // libcurl walks into the target one CWD per level; the failing level's reply is the error.
    s.prepare(s.url(target));
    lib().easy_setopt(s.curl, CURLOPT_NOBODY, 1L);
    s.perform();
    s.folders = target;
}

void FtpClient::leaveDir() {
    Impl& s = active();
    // The next perform's URL names the folder; libcurl walks there from the login folder.
    if (!s.folders.isEmpty()) s.folders.removeLast();
}

void FtpClient::makeDir(const QString& name) {
    active().expect(QStringLiteral("MKD ") + checkedArgument(name));
}

QStringList FtpClient::list() {
    Impl& s = active();
    QByteArray data;
    s.prepare(s.url(s.folders));
    lib().easy_setopt(s.curl, CURLOPT_DIRLISTONLY, 1L);  // NLST: names only, as the server has them
    lib().easy_setopt(s.curl, CURLOPT_WRITEFUNCTION, onListData);
    lib().easy_setopt(s.curl, CURLOPT_WRITEDATA, &data);
    s.perform();
    QStringList names;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty() || line == "." || line == "..") continue;  // not entries
        names << QString::fromUtf8(line);
    }
    return names;
}

long long FtpClient::size(const QString& name) {
    Impl& s = active();
    checkedArgument(name);
    // Servers refuse or misreport SIZE in ASCII mode, and libcurl leaves ASCII set after a list.
    s.expect(QStringLiteral("TYPE I"));
    const FtpReply r = s.expect(QStringLiteral("SIZE ") + name);
    bool ok = false;
    const long long value = r.text.section(u' ', 0, 0).toLongLong(&ok);
    if (r.code != 213 || !ok || value < 0)
        throw FtpError(
            QStringLiteral("파일 서버가 알려준 크기를 읽을 수 없습니다: %1").arg(r.text));
    return value;
}

void FtpClient::remove(const QString& name) {
    active().expect(QStringLiteral("DELE ") + checkedArgument(name));
}

void FtpClient::rename(const QString& from, const QString& to) {
    Impl& s = active();
    checkedArgument(from);
    checkedArgument(to);
    // Both in one perform: a server forgets RNFR when another command comes between.
    SList commands;
    commands.append("RNFR " + from.toUtf8());
    commands.append("RNTO " + to.toUtf8());
    s.prepare(s.url(s.folders));
    lib().easy_setopt(s.curl, CURLOPT_NOBODY, 1L);
    lib().easy_setopt(s.curl, CURLOPT_POSTQUOTE, commands.get());
    s.perform();
}

void FtpClient::get(const QString& remoteName, const QString& localPath) {
    Impl& s = active();
    checkedArgument(remoteName);
    // Written aside and moved into place only when complete, so a failed transfer never
    // leaves a cut file or spoils an earlier copy.
    QSaveFile file(localPath);
    // Unbuffered, so that every failed write is seen: a buffered one failing only when flushed
    // (a full disk) goes unnoticed by commit(), which would put a cut file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw FtpError(QStringLiteral("파일을 저장할 수 없습니다: %1").arg(localPath));
    s.prepare(s.url(s.folders, remoteName));
    lib().easy_setopt(s.curl, CURLOPT_WRITEFUNCTION, onFileData);
    lib().easy_setopt(s.curl, CURLOPT_WRITEDATA, &file);
    const CURLcode rc = lib().easy_perform(s.curl);
    if (rc == CURLE_WRITE_ERROR) {
        file.cancelWriting();
        throw FtpError(QStringLiteral("파일을 저장할 수 없습니다: %1").arg(localPath));
    }
    if (rc != CURLE_OK) {
        file.cancelWriting();
        throw FtpError(s.failureText(rc));
    }
    if (!file.commit())
        throw FtpError(QStringLiteral("파일을 저장할 수 없습니다: %1").arg(localPath));
}

void FtpClient::put(const QString& localPath, const QString& remoteName) {
    Impl& s = active();
    checkedArgument(remoteName);
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        throw FtpError(QStringLiteral("파일을 열 수 없습니다: %1").arg(localPath));
    s.prepare(s.url(s.folders, remoteName));
    lib().easy_setopt(s.curl, CURLOPT_UPLOAD, 1L);
    lib().easy_setopt(s.curl, CURLOPT_READFUNCTION, onUploadData);
    lib().easy_setopt(s.curl, CURLOPT_READDATA, &file);
    lib().easy_setopt(s.curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(file.size()));
    s.perform();
}

QString checkedListedName(const QString& name) {
    const auto refuse = [&](const QString& why) {
        throw FtpError(QStringLiteral("파일 서버의 파일 이름이 올바르지 않습니다: %1 (%2)")
                           .arg(shownName(name), why));
    };
    if (name.isEmpty()) refuse(QStringLiteral("빈 이름"));
    if (name == u"." || name == u"..") refuse(QStringLiteral("폴더를 가리키는 이름"));
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u == u'/' || u == u'\\' || u == u':') refuse(QStringLiteral("경로 문자 포함"));
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0))
            refuse(QStringLiteral("제어 문자 포함"));
    }
    if (name.toUtf8().size() > 255) refuse(QStringLiteral("255바이트를 넘는 이름"));
    return name;
}

}  // namespace platform::ftp
