#include "payers/consent_images.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

#include "app/data_module.h"
#include "platform/ftp/ftp_client.h"
#include "platform/shell/shell.h"
#include "store/vocabulary.h"

namespace payers {

using platform::ftp::FtpClient;
using platform::ftp::FtpError;

namespace {

// The server answers an existing folder with an error; the change into it that follows is
// what tells whether the folder is there.
void makeAndEnter(FtpClient& client, const QString& name) {
    try {
        client.makeDir(name);
    } catch (const FtpError&) {
    }
    client.changeDir(name);
}

bool allAsciiDigits(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

}  // namespace

bool connectFileServer(FtpClient& client) {
    platform::ftp::FtpSettings& s = client.settings();
    s.user = DM->FTP.user;
    s.password = DM->FTP.password;
    s.host = DM->FTP.host;
    s.port = DM->FTP.port;
    s.passive = DM->FTP.passive;
    return DM->Fn_Dynamic_FTP_Connect(client);
}

void enterPayerFolder(FtpClient& client, const QString& serviceid, const QString& userid) {
    if (serviceid.isEmpty())
        throw FtpError(QStringLiteral("서비스 아이디가 없어 출금동의서 폴더를 열 수 없습니다."));
    if (userid.isEmpty())
        throw FtpError(QStringLiteral("사용자가 선택되지 않아 출금동의서 폴더를 열 수 없습니다."));
    client.changeDir(store::kFolderRoot);
    makeAndEnter(client, serviceid);
    makeAndEnter(client, store::kFolderConsent);
    makeAndEnter(client, userid);
}

QString imageCacheDir() {
    const QString dir = platform::shell::programDir() + QStringLiteral("/tmp");
    if (!QDir().mkpath(dir))
        throw FtpError(QStringLiteral("이미지 임시 폴더를 만들 수 없습니다: %1").arg(dir));
    return dir;
}

long long imageNumber(const QString& name, const QString& userid) {
    const QString prefix = userid + u'_';
    if (userid.isEmpty() || !name.startsWith(prefix)) return -1;
    const QString rest = name.mid(prefix.size());
    const qsizetype dot = rest.indexOf(u'.');
    if (dot <= 0) return -1;
    const QString digits = rest.left(dot);
    // Longer runs of digits are no number this program wrote; they must not overflow.
    if (!allAsciiDigits(digits) || digits.size() > 15) return -1;
    return digits.toLongLong();
}

long long nextImageNumber(const QStringList& names, const QString& userid) {
    long long next = 1;
    for (const QString& name : names) {
        const long long n = imageNumber(name, userid);
        if (n >= next) next = n + 1;
    }
    return next;
}

QString imageFileName(const QString& userid, long long number) {
    return userid + u'_' + QString::asprintf("%.3lld", number) + QStringLiteral(".JPG");
}

QString fetchToCache(FtpClient& client, const QString& name, const QString& cacheDir) {
    const QString plain = platform::ftp::checkedListedName(name);
    const QString local = QDir(cacheDir).filePath(plain);
    QFile::remove(local);
    client.get(plain, local);
    return local;
}

QString addImage(FtpClient& client, const QString& userid, const QString& localPath) {
    const QString remote = imageFileName(userid, nextImageNumber(client.list(), userid));
    // No listing of the payer's folder ever shows the file before it is whole: a server that
    // dies half way keeps only a ".part" beside the folder (replaced by the next try).
    const QString part = remote + QStringLiteral(".part");
    client.leaveDir();
    client.put(localPath, part);
    client.rename(part, userid + u'/' + remote);
    client.changeDir(userid);
    return remote;
}

bool isWholeJpeg(const QByteArray& data) {
    const auto at = [&data](qsizetype i) { return static_cast<unsigned char>(data[i]); };
    const qsizetype n = data.size();
    if (n < 4 || at(0) != 0xFF || at(1) != 0xD8) return false;
    qsizetype i = 2;
    while (i + 1 < n) {
        if (at(i) != 0xFF) return false;
        while (i + 1 < n && at(i + 1) == 0xFF) ++i;  // fill bytes before a marker
        if (i + 1 >= n) return false;
        const unsigned char marker = at(i + 1);
        i += 2;
        if (marker == 0xD9) return true;                                     // end of image
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;  // no length
        if (i + 2 > n) return false;
        const qsizetype length = (static_cast<qsizetype>(at(i)) << 8) | at(i + 1);
        if (length < 2 || i + length > n) return false;
        i += length;
        if (marker != 0xDA) continue;
        // Picture data after a start of scan runs to the next marker that is not a stuffed
        // zero or a restart.
        for (;;) {
            if (i + 1 >= n) return false;
            if (at(i) != 0xFF) {
                ++i;
                continue;
            }
            const unsigned char next = at(i + 1);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                i += 2;
                continue;
            }
            if (next == 0xFF) {
                ++i;
                continue;
            }
            break;
        }
    }
    return false;
}

QImage readConsentImage(const QString& localPath, const QString& name) {
    QFile file(localPath);
    QImage picture;
    if (!file.open(QIODevice::ReadOnly) || !isWholeJpeg(file.peek(file.size())) ||
        !picture.load(&file, "JPG") || picture.isNull())
        throw std::runtime_error(
            QStringLiteral("그림 파일을 읽을 수 없습니다: %1").arg(name).toStdString());
    return picture;
}

bool deleteImage(FtpClient& client, const QString& name) {
    long long size = -1;
    try {
        size = client.size(name);
    } catch (const FtpError&) {
        // A file the server does not know has nothing to delete.
        return false;
    }
    if (size <= 0) return false;
    client.remove(name);
    return true;
}

QString withJpgExtension(const QString& path) {
    if (path.endsWith(QStringLiteral(".JPG"), Qt::CaseInsensitive)) return path;
    return path + QStringLiteral(".JPG");
}

void saveImage(FtpClient& client, const QString& name, const QString& localPath) {
    client.get(name, localPath);
}

void downloadBlankForm(FtpClient& client, const QString& localPath) {
    client.changeDir(store::kFolderRoot);
    client.changeDir(store::kFolderForms);
    client.get(store::kDocConsentForm, localPath);
}

}  // namespace payers
