#pragma once

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

// Uploads `localPath` into the current (payer) folder under the next free number and returns
// the remote name. Nothing is uploaded when the listing fails.
QString addImage(platform::ftp::FtpClient& client, const QString& userid, const QString& localPath);

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
