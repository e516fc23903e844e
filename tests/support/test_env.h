#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "app/deployment_config.h"
#include "platform/ftp/ftp_client.h"
#include "platform/sql/connection_settings.h"

namespace testsupport {

// The servers of this test run, as tests/servers/servers.py started them (servers.ini).
struct Servers {
    platform::sql::ConnectionSettings db;       // the MariaDB server (admin rights)
    platform::sql::ConnectionSettings clockdb;  // second server whose clock tests can move
    QString clockTimeFile;                      // libfaketime offset file of clockdb
    bool clockFaked = false;
    QString ftpHost;
    int ftpPort = 0;
    QString ftpPassword;
    QString ftpRoot;  // local folder holding one home per FTP user

    static const Servers& get();  // fails the test (and aborts) when the servers are missing
};

// This test executable's own databases and FTP home, so that test programs running side by
// side never share data. Names derive from PAYDESK_TEST_TAG.
struct World {
    QString tag;
    QString baseDb, wonjuDb, careDb;
    QString ftpUser, ftpHome;
    app::DeploymentConfig config;          // UniBase / UniWonju / FTP pointing at this world
    platform::sql::ConnectionSettings care;  // the care-facility database of this world
    QString workDir;                       // a fresh local folder of this executable
};

World& world();

// Fresh schema in the three databases (drop and create from store/schema/*.sql).
void resetDatabases();
// Empty FTP home holding DEBITON/신청서 with the six documents (small generated files).
void resetFtp();
void resetAll();
// Content of the generated document `name` as resetFtp() writes it.
QByteArray documentContent(const QString& name);

// Admin helpers on a database of the world (or any settings): run statements separated by
// ";" at line ends, read one value, read rows (values as text, NULL as "").
void exec(const platform::sql::ConnectionSettings& where, const QString& sql);
QString scalar(const platform::sql::ConnectionSettings& where, const QString& sql);
std::vector<QStringList> rows(const platform::sql::ConnectionSettings& where, const QString& sql);

platform::sql::ConnectionSettings baseDb();   // settings of the world's service database
platform::sql::ConnectionSettings wonjuDb();  // facility directory
platform::sql::ConnectionSettings careDb();   // care-facility database

// Adds a server_info row for `sicode` pointing at the world's care database, enciphered
// with the key "kx7315" as the service operator's tools do.
void addServerInfo(const QString& sicode);

// Moves the clock of the clockdb server so that its now() reads `serverTime` (local time).
void setClockServerTime(const QDateTime& serverTime);
void resetClockServerTime();

// A fresh empty folder below the world's work folder.
QString freshDir(const QString& name);

}  // namespace testsupport
