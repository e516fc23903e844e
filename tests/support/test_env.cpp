#include "tests/support/test_env.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <cstdlib>

#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "platform/sql/sql_error.h"

namespace testsupport {

namespace {

QString sanitize(QString s) {
    s = s.toLower();
    s.replace(QRegularExpression(QStringLiteral("[^a-z0-9_]")), QStringLiteral("_"));
    if (s.size() > 40) s = s.right(40);
    return s;
}

QString readSchema(const QString& name) {
    QFile f(QStringLiteral(PAYDESK_SOURCE_DIR "/store/schema/") + name);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read schema " << name.toStdString();
        std::abort();
    }
    return QString::fromUtf8(f.readAll());
}

QStringList splitStatements(const QString& sql) {
    QStringList out;
    QString current;
    for (const QString& line : sql.split(u'\n')) {
        if (line.trimmed().startsWith(QStringLiteral("--"))) continue;
        current += line + u'\n';
        if (line.trimmed().endsWith(u';')) {
            QString s = current.trimmed();
            s.chop(1);
            if (!s.trimmed().isEmpty()) out << s;
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty()) out << current.trimmed();
    return out;
}

platform::sql::ConnectionSettings withDb(const platform::sql::ConnectionSettings& s,
                                         const QString& db) {
    auto c = s;
    c.database = db;
    return c;
}

}  // namespace

const Servers& Servers::get() {
    static Servers* servers = [] {
        auto* s = new Servers;
        const QString dir = qEnvironmentVariable("PAYDESK_TEST_SERVERS");
        const QString ini = dir + QStringLiteral("/servers.ini");
        if (dir.isEmpty() || !QFile::exists(ini)) {
            ADD_FAILURE() << "test servers are not running (PAYDESK_TEST_SERVERS=" << dir.toStdString()
                          << "); run the tests through ctest";
            std::abort();
        }
        QSettings in(ini, QSettings::IniFormat);
        auto db = [&](const QString& g) {
            platform::sql::ConnectionSettings c;
            c.host = in.value(g + "/host").toString();
            c.port = in.value(g + "/port").toInt();
            c.user = in.value(g + "/user").toString();
            c.password = in.value(g + "/password").toString();
            c.connectTimeoutSeconds = 5;
            return c;
        };
        s->db = db("db");
        s->clockdb = db("clockdb");
        s->clockTimeFile = in.value("clockdb/timefile").toString();
        s->clockFaked = in.value("clockdb/faketime").toString() == "1";
        s->ftpHost = in.value("ftp/host").toString();
        s->ftpPort = in.value("ftp/port").toInt();
        s->ftpPassword = in.value("ftp/password").toString();
        s->ftpRoot = in.value("ftp/root").toString();
        return s;
    }();
    return *servers;
}

World& world() {
    static World* w = [] {
        const Servers& s = Servers::get();
        auto* w = new World;
        QString tag = qEnvironmentVariable("PAYDESK_TEST_TAG");
        if (tag.isEmpty()) tag = QStringLiteral("manual");
        w->tag = sanitize(tag);
        w->baseDb = QStringLiteral("t_%1_svc").arg(w->tag);
        w->wonjuDb = QStringLiteral("t_%1_dir").arg(w->tag);
        w->careDb = QStringLiteral("t_%1_care").arg(w->tag);
        w->ftpUser = QStringLiteral("u_%1").arg(w->tag);
        w->ftpHome = s.ftpRoot + u'/' + w->ftpUser;
        w->config.base = withDb(s.db, w->baseDb);
        w->config.wonju = withDb(s.db, w->wonjuDb);
        w->care = withDb(s.db, w->careDb);
        w->config.ftp.host = s.ftpHost;
        w->config.ftp.port = s.ftpPort;
        w->config.ftp.user = w->ftpUser;
        w->config.ftp.password = s.ftpPassword;
        w->config.ftp.passive = true;
        w->config.institutionCode = QStringLiteral("99887766");
        w->config.supportEmail = QStringLiteral("help@paydesk.example");
        QString work = qEnvironmentVariable("PAYDESK_TEST_WORK");
        if (work.isEmpty()) work = QDir::tempPath() + QStringLiteral("/paydesk-test-") + w->tag;
        QDir(work).removeRecursively();
        QDir().mkpath(work);
        w->workDir = work;
        return w;
    }();
    return *w;
}

platform::sql::ConnectionSettings baseDb() { return world().config.base; }
platform::sql::ConnectionSettings wonjuDb() { return world().config.wonju; }
platform::sql::ConnectionSettings careDb() { return world().care; }

void exec(const platform::sql::ConnectionSettings& where, const QString& sql) {
    platform::sql::Connection c(where);
    c.open();
    for (const QString& s : splitStatements(sql)) c.executeRaw(s);
}

QString scalar(const platform::sql::ConnectionSettings& where, const QString& sql) {
    platform::sql::Connection c(where);
    c.open();
    platform::sql::Query q(c);
    q.setSql(sql);
    q.open();
    if (q.eof() || q.fieldCount() == 0) return {};
    return q.fieldAt(0);
}

std::vector<QStringList> rows(const platform::sql::ConnectionSettings& where, const QString& sql) {
    platform::sql::Connection c(where);
    c.open();
    platform::sql::Query q(c);
    q.setSql(sql);
    q.open();
    std::vector<QStringList> out;
    for (; !q.eof(); q.next()) {
        QStringList r;
        for (int i = 0; i < q.fieldCount(); ++i) r << q.fieldAt(i);
        out.push_back(r);
    }
    return out;
}

void resetDatabases() {
    World& w = world();
    auto admin = Servers::get().db;
    platform::sql::Connection c(admin);
    c.open();
    const struct {
        QString db;
        QString schema;
    } dbs[] = {{w.baseDb, QStringLiteral("service.sql")},
               {w.wonjuDb, QStringLiteral("directory.sql")},
               {w.careDb, QStringLiteral("care.sql")}};
    for (const auto& d : dbs) {
        c.executeRaw(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(d.db));
        c.executeRaw(QStringLiteral("CREATE DATABASE `%1` DEFAULT CHARACTER SET euckr").arg(d.db));
        c.executeRaw(QStringLiteral("USE `%1`").arg(d.db));
        for (const QString& s : splitStatements(readSchema(d.schema))) c.executeRaw(s);
    }
}

QByteArray documentContent(const QString& name) {
    return QStringLiteral("PAYDESK 문서 %1\r\n").arg(name).toUtf8();
}

void resetFtp() {
    World& w = world();
    QDir home(w.ftpHome);
    home.removeRecursively();
    QDir().mkpath(w.ftpHome + QStringLiteral("/DEBITON/신청서"));
    for (const QString& name : {QStringLiteral("출금동의서(회원).DOC"), QStringLiteral("DEBITON사용신청서.DOC"),
                                QStringLiteral("개인사업자용_고객거래확인서_실제소유자확인서.DOC"),
                                QStringLiteral("법인단체사업자용_고객거래확인서_실제소유자확인서.DOC"),
                                QStringLiteral("개인사업자용_고객거래확인서_실제소유자확인서_샘플.DOC"),
                                QStringLiteral("법인단체_사업자용_고객거래확인서_실제소유자확인서_샘플.DOC")}) {
        QFile f(w.ftpHome + QStringLiteral("/DEBITON/신청서/") + name);
        if (!f.open(QIODevice::WriteOnly)) {
            ADD_FAILURE() << "cannot write " << f.fileName().toStdString();
            continue;
        }
        f.write(documentContent(name));
    }
}

void resetAll() {
    resetDatabases();
    resetFtp();
}

void addServerInfo(const QString& sicode) {
    const World& w = world();
    const auto& care = w.care;
    platform::sql::Connection c(wonjuDb());
    c.open();
    platform::sql::Query q(c);
    q.setSql(QStringLiteral(
        "insert into server_info (sicode, Host, port, user, pw, db) values (:sicode, "
        "hex(aes_encrypt(:host, :key)), hex(aes_encrypt(:port, :key)), "
        "hex(aes_encrypt(:user, :key)), hex(aes_encrypt(:pw, :key)), hex(aes_encrypt(:db, :key)))"));
    q.setParam("sicode", sicode);
    q.setParam("host", care.host);
    q.setParam("port", QString::number(care.port));
    q.setParam("user", care.user);
    q.setParam("pw", care.password);
    q.setParam("db", care.database);
    q.setParam("key", QStringLiteral("kx7315"));
    q.execute();
}

void setClockServerTime(const QDateTime& serverTime) {
    const Servers& s = Servers::get();
    if (!s.clockFaked) GTEST_FAIL() << "libfaketime is not available for the clock server";
    const qint64 offset = QDateTime::currentDateTime().msecsTo(serverTime);
    QFile f(s.clockTimeFile);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) GTEST_FAIL() << "cannot write time file";
    // libfaketime takes fractional seconds in its relative form.
    f.write(QStringLiteral("%1%2s\n")
                .arg(offset >= 0 ? QStringLiteral("+") : QString())
                .arg(static_cast<double>(offset) / 1000.0, 0, 'f', 3)
                .toLatin1());
}

void resetClockServerTime() {
    QFile f(Servers::get().clockTimeFile);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write("+0\n");
}

QString freshDir(const QString& name) {
    const QString path = world().workDir + u'/' + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

}  // namespace testsupport
