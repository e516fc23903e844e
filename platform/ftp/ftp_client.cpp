// Temporary stand-in until the libcurl client lands.
#include "platform/ftp/ftp_client.h"

namespace platform::ftp {

struct FtpClient::Impl {};

FtpClient::FtpClient(FtpSettings settings) : settings_(std::move(settings)) {}
FtpClient::~FtpClient() = default;
void FtpClient::connect() { throw FtpError(QStringLiteral("not implemented")); }
void FtpClient::disconnect() noexcept {}
bool FtpClient::isConnected() const { return false; }
FtpReply FtpClient::sendCommand(const QString&) { return {}; }
void FtpClient::changeDir(const QString&) { throw FtpError(QStringLiteral("not implemented")); }
void FtpClient::makeDir(const QString&) { throw FtpError(QStringLiteral("not implemented")); }
QStringList FtpClient::list() { return {}; }
long long FtpClient::size(const QString&) { return 0; }
void FtpClient::remove(const QString&) {}
void FtpClient::get(const QString&, const QString&) {}
void FtpClient::put(const QString&, const QString&) {}
QString checkedListedName(const QString& name) { return name; }

}  // namespace platform::ftp
