#pragma once
// Servers of one test program that it may kill and restart: a MariaDB started by
// tests/servers/servers.py (start-db) on a data directory of its own, and the test FTP server.
// The shared servers of the test run are never touched: other programs run against them.
// Header only: every file of this folder is a test program of its own.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QThread>
#include <memory>

#include "platform/sql/connection_settings.h"
#include "tests/support/test_env.h"

namespace faults {

inline const QString kPython = QStringLiteral("/usr/bin/python3");
inline const QString kServersScript =
    QStringLiteral(PAYDESK_SOURCE_DIR "/tests/servers/servers.py");
inline const QString kFtpScript = QStringLiteral(PAYDESK_SOURCE_DIR "/tests/servers/ftp_server.py");

inline sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

inline int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

inline bool portOpen(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(port);
    const bool open = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return open;
}

// Waits up to `ms` for `done()`, letting the event loop run.
template <class F>
bool waitFor(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QThread::msleep(5);
    }
    return true;
}

inline QString schemaText(const QString& file) {
    QFile f(QStringLiteral(PAYDESK_SOURCE_DIR "/store/schema/") + file);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read schema " << file.toStdString();
        return {};
    }
    return QString::fromUtf8(f.readAll());
}

// A MariaDB server of this program alone. start() installs a data directory the first time;
// later starts (after kill9 or stop) recover the data that is there, on the same port.
class PrivateDb {
public:
    explicit PrivateDb(QString dir) : dir_(std::move(dir)) {}
    ~PrivateDb() { stop(); }
    PrivateDb(const PrivateDb&) = delete;
    PrivateDb& operator=(const PrivateDb&) = delete;

    bool start() {
        QStringList args{kServersScript, QStringLiteral("start-db"), dir_};
        if (port_ > 0) args << QString::number(port_);
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(kPython, args);
        if (!p.waitForFinished(120000) || p.exitCode() != 0) return false;
        QSettings ini(dir_ + QStringLiteral("/servers.ini"), QSettings::IniFormat);
        admin_.host = ini.value(QStringLiteral("db/host")).toString();
        admin_.port = ini.value(QStringLiteral("db/port")).toInt();
        admin_.user = ini.value(QStringLiteral("db/user")).toString();
        admin_.password = ini.value(QStringLiteral("db/password")).toString();
        admin_.connectTimeoutSeconds = 5;
        pid_ = ini.value(QStringLiteral("db/pid")).toLongLong();
        port_ = admin_.port;
        running_ = true;
        return true;
    }

    // SIGKILL: no shutdown, no flush beyond what the server had written; the port closes.
    void kill9() {
        if (pid_ > 0) ::kill(static_cast<pid_t>(pid_), SIGKILL);
        EXPECT_TRUE(waitFor([&] { return !portOpen(port_); }, 10000)) << "server still answers";
        running_ = false;
    }

    void stop() {
        if (!running_) return;
        QProcess::execute(kPython, {kServersScript, QStringLiteral("stop"), dir_});
        running_ = false;
    }

    bool running() const { return running_; }
    int port() const { return port_; }
    // Admin rights, no database chosen.
    const platform::sql::ConnectionSettings& admin() const { return admin_; }
    platform::sql::ConnectionSettings database(const QString& name) const {
        auto s = admin_;
        s.database = name;
        return s;
    }

    // A fresh database `name` (euckr) from store/schema/<schemaFile>.
    platform::sql::ConnectionSettings createDatabase(const QString& name,
                                                     const QString& schemaFile) {
        testsupport::exec(admin_,
                          QStringLiteral("DROP DATABASE IF EXISTS `%1`;\n"
                                         "CREATE DATABASE `%1` DEFAULT CHARACTER SET euckr;")
                              .arg(name));
        const auto where = database(name);
        testsupport::exec(where, schemaText(schemaFile));
        return where;
    }

private:
    QString dir_;
    platform::sql::ConnectionSettings admin_;
    qint64 pid_ = 0;
    int port_ = 0;
    bool running_ = false;
};

// The test FTP server (pyftpdlib), or a variant of it, as a child of this program, on a port
// that survives a restart.
class PrivateFtp {
public:
    PrivateFtp(QString root, QString password, QString script = kFtpScript, QStringList extra = {})
        : root_(std::move(root)),
          password_(std::move(password)),
          script_(std::move(script)),
          extra_(std::move(extra)) {}
    ~PrivateFtp() { kill9(); }
    PrivateFtp(const PrivateFtp&) = delete;
    PrivateFtp& operator=(const PrivateFtp&) = delete;

    bool start() {
        if (port_ == 0) port_ = freePort();
        QDir().mkpath(root_);
        proc_ = std::make_unique<QProcess>();
        proc_->setProcessChannelMode(QProcess::ForwardedChannels);
        proc_->start(kPython,
                     QStringList{script_, QString::number(port_), root_, password_} + extra_);
        if (!proc_->waitForStarted(10000)) return false;
        return waitFor([&] { return portOpen(port_); }, 20000);
    }

    void kill9() {
        if (!proc_) return;
        proc_->kill();  // SIGKILL
        proc_->waitForFinished(10000);
        proc_.reset();
    }

    int port() const { return port_; }
    const QString& root() const { return root_; }
    // For a kill from another thread (QProcess itself belongs to this one).
    qint64 pid() const { return proc_ ? proc_->processId() : 0; }

private:
    QString root_, password_, script_;
    QStringList extra_;
    int port_ = 0;
    std::unique_ptr<QProcess> proc_;
};

}  // namespace faults
