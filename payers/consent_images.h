#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

namespace platform::ftp {
class FtpClient;
}

// The signed withdrawal consent forms of a payer on the file server (DEBITON / serviceid /
// 출금동의서 / userid / userid_NNN.JPG), the local cache beside the program, and the blank
// consent form in DEBITON / 신청서. Failures throw platform::ftp::FtpError with a text fit for
// the user.
namespace payers {

// Copies the five settings of the data module's FTP template into `client` and connects it
// through DM->Fn_Dynamic_FTP_Connect, which tells the user when it fails.
bool connectFileServer(platform::ftp::FtpClient& client);

// From the login folder into the payer's folder, creating the three lower levels on demand
// (an existing folder is fine). Refuses an empty service id or payer id before sending
// anything, so nothing is ever stored outside a payer's folder.
void enterPayerFolder(platform::ftp::FtpClient& client, const QString& serviceid,
                      const QString& userid);

// The local cache folder, programDir()/tmp, created when missing.
QString imageCacheDir();

// The number of a consent image of `userid`: the digits between "userid_" and the extension
// (so 0000000001_1000.JPG is 1000); -1 for any other name, which then takes no part in the
// numbering.
long long imageNumber(const QString& name, const QString& userid);
// The highest number among `names` plus 1; 1 when there is none.
long long nextImageNumber(const QStringList& names, const QString& userid);
// userid + "_" + number with at least three digits + ".JPG".
QString imageFileName(const QString& userid, long long number);

// Downloads the listed entry `name` of the current folder into `cacheDir` under its own name,
// replacing an earlier copy. A name that is not a plain file name is refused before anything
// is written. Returns the local path.
QString fetchToCache(platform::ftp::FtpClient& client, const QString& name,
                     const QString& cacheDir);

// Uploads `localPath` into the payer's folder, where `client` stands (enterPayerFolder), under
// the next free number and returns the remote name. Nothing is uploaded when the listing
// fails. The file travels under a ".part" name in the folder above and is moved in only once
// complete, so a transfer cut half way leaves no broken image in the payer's folder.
QString addImage(platform::ftp::FtpClient& client, const QString& userid, const QString& localPath);

// True when `data` is one whole JPEG: the start marker, every segment complete, the picture
// data ending in the end marker (anything after it is ignored).
bool isWholeJpeg(const QByteArray& data);
// The picture of a cached consent image; throws std::runtime_error (UTF-8 text)
// "그림 파일을 읽을 수 없습니다: <name>" when the file is no whole JPEG. Image decoders show a
// cut JPEG grey at the bottom without a word, and take other formats by their content.
QImage readConsentImage(const QString& localPath, const QString& name);

// Deletes the remote image when the server reports a size above 0; an empty or missing file
// is left alone. Returns whether the server deleted it.
bool deleteImage(platform::ftp::FtpClient& client, const QString& name);

// `path` with ".JPG" appended unless it already ends in ".jpg" in any letter case.
QString withJpgExtension(const QString& path);

// Downloads the remote image `name` of the current folder to `localPath`. An existing file
// there is replaced only once the transfer is complete.
void saveImage(platform::ftp::FtpClient& client, const QString& name, const QString& localPath);

// From the login folder: DEBITON / 신청서 / "출금동의서(회원).DOC" to `localPath`, replacing an
// existing file once the transfer is complete.
void downloadBlankForm(platform::ftp::FtpClient& client, const QString& localPath);

}  // namespace payers
