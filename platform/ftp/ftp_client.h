#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

namespace platform::ftp {

// The five settings a per-transfer client copies from the FTP template.
struct FtpSettings {
    QString host;
    int port = 5577;
    QString user;
    QString password;
    bool passive = true;
};

// A failure of the file server layer; message() is the server's reply text where there was one.
class FtpError : public std::runtime_error {
public:
    explicit FtpError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

struct FtpReply {
    int code = 0;
    QString text;
};

// One FTP session over libcurl: binary transfers, passive mode, names sent as UTF-8. The
// current folder is entered one level at a time, as the server sees it.
class FtpClient {
public:
    explicit FtpClient(FtpSettings settings = {});
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    FtpSettings& settings() { return settings_; }
    const FtpSettings& settings() const { return settings_; }

    void connect();  // connects and logs in; throws FtpError
    void disconnect() noexcept;
    bool isConnected() const;

    FtpReply sendCommand(const QString& command);  // raw command; never throws on a reply code
    void changeDir(const QString& name);           // one level; throws FtpError (server text)
    void leaveDir();                      // one level up again; never below the login folder
    void makeDir(const QString& name);    // throws FtpError
    QStringList list();                   // names of the current folder's entries
    long long size(const QString& name);  // throws FtpError
    void remove(const QString& name);     // throws FtpError
    // RNFR `from`, RNTO `to` in the current folder; `to` may name a sub folder ("sub/name").
    void rename(const QString& from, const QString& to);            // throws FtpError
    void get(const QString& remoteName, const QString& localPath);  // throws FtpError
    void put(const QString& localPath, const QString& remoteName);  // throws FtpError

private:
    struct Impl;
    Impl& active();  // the open session; throws FtpError when not connected
    FtpSettings settings_;
    std::unique_ptr<Impl> impl_;
};

// A name read from a listing is untrusted: returns it when it is a plain file name that can be
// written inside a local folder, else throws FtpError with a clear Korean message. Refused:
// empty, ".", "..", anything with "/", "\", ":", control characters, or over 255 UTF-8 bytes.
QString checkedListedName(const QString& name);

}  // namespace platform::ftp
