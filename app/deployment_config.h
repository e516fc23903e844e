#pragma once

#include <QString>

#include "platform/ftp/ftp_client.h"
#include "platform/sql/connection_settings.h"

namespace app {

// Deployment configuration: one INI file beside the executable (paydesk.ini), its path
// overridable with PAYDESK_CONFIG. Sections [base], [wonju] (host, port, user, password,
// database), [ftp] (host, port, user, password, passive) and [service] (institution_code,
// support_tel, support_email). A password may be stored as "enc:" + the enciphered text that
// `concealSecret` gives, so that it is not in plain view.
struct DeploymentConfig {
    platform::sql::ConnectionSettings base;   // service database (UniBase)
    platform::sql::ConnectionSettings wonju;  // facility directory (UniWonju)
    platform::ftp::FtpSettings ftp;           // document server (FTP)
    QString institutionCode;                  // 8 characters, header of the request file
    QString supportTel = QStringLiteral("070-4823-1956");
    QString supportEmail;

    static QString defaultPath();
    // Throws std::runtime_error with a Korean message when the file cannot be read.
    static DeploymentConfig load(const QString& path);
    void save(const QString& path) const;  // passwords written enciphered
};

QString concealSecret(const QString& plain);
QString revealSecret(const QString& stored);  // plain text passes unchanged

}  // namespace app
