#include "app/deployment_config.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <stdexcept>

#include "platform/shell/shell.h"

namespace app {

namespace {

// The passwords are kept from plain view, not from a determined reader: the program must be
// able to reveal them without asking anyone.
constexpr char kMask[] = "PAYDESK-20191029";

QByteArray mask(const QByteArray& in) {
    QByteArray out = in;
    const int n = static_cast<int>(sizeof(kMask) - 1);
    for (qsizetype i = 0; i < out.size(); ++i) out[i] = static_cast<char>(out[i] ^ kMask[i % n]);
    return out;
}

platform::sql::ConnectionSettings readDb(QSettings& s, const QString& group) {
    platform::sql::ConnectionSettings c;
    s.beginGroup(group);
    c.host = s.value("host").toString();
    c.port = s.value("port", 3300).toInt();
    c.user = s.value("user").toString();
    c.password = revealSecret(s.value("password").toString());
    c.database = s.value("database").toString();
    s.endGroup();
    return c;
}

void writeDb(QSettings& s, const QString& group, const platform::sql::ConnectionSettings& c) {
    s.beginGroup(group);
    s.setValue("host", c.host);
    s.setValue("port", c.port);
    s.setValue("user", c.user);
    s.setValue("password", concealSecret(c.password));
    s.setValue("database", c.database);
    s.endGroup();
}

}  // namespace

QString concealSecret(const QString& plain) {
    if (plain.isEmpty()) return {};
    return QStringLiteral("enc:") + QString::fromLatin1(mask(plain.toUtf8()).toBase64());
}

QString revealSecret(const QString& stored) {
    if (!stored.startsWith(QStringLiteral("enc:"))) return stored;
    return QString::fromUtf8(mask(QByteArray::fromBase64(stored.mid(4).toLatin1())));
}

QString DeploymentConfig::defaultPath() {
    const QString env = qEnvironmentVariable("PAYDESK_CONFIG");
    if (!env.isEmpty()) return env;
    return platform::shell::programDir() + QStringLiteral("/paydesk.ini");
}

DeploymentConfig DeploymentConfig::load(const QString& path) {
    QFileInfo info(path);
    if (!info.exists() || !info.isReadable())
        throw std::runtime_error(
            QStringLiteral("설정 파일을 읽을 수 없습니다: %1").arg(path).toStdString());
    QSettings s(path, QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        throw std::runtime_error(
            QStringLiteral("설정 파일의 형식이 잘못되었습니다: %1").arg(path).toStdString());
    DeploymentConfig c;
    c.base = readDb(s, "base");
    c.wonju = readDb(s, "wonju");
    s.beginGroup("ftp");
    c.ftp.host = s.value("host").toString();
    c.ftp.port = s.value("port", 5577).toInt();
    c.ftp.user = s.value("user").toString();
    c.ftp.password = revealSecret(s.value("password").toString());
    c.ftp.passive = s.value("passive", true).toBool();
    s.endGroup();
    s.beginGroup("service");
    c.institutionCode = s.value("institution_code").toString();
    c.supportTel = s.value("support_tel", c.supportTel).toString();
    c.supportEmail = s.value("support_email").toString();
    s.endGroup();
    return c;
}

void DeploymentConfig::save(const QString& path) const {
    QSettings s(path, QSettings::IniFormat);
    writeDb(s, "base", base);
    writeDb(s, "wonju", wonju);
    s.beginGroup("ftp");
    s.setValue("host", ftp.host);
    s.setValue("port", ftp.port);
    s.setValue("user", ftp.user);
    s.setValue("password", concealSecret(ftp.password));
    s.setValue("passive", ftp.passive);
    s.endGroup();
    s.beginGroup("service");
    s.setValue("institution_code", institutionCode);
    s.setValue("support_tel", supportTel);
    s.setValue("support_email", supportEmail);
    s.endGroup();
    s.sync();
}

}  // namespace app
