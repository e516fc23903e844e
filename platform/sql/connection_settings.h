#pragma once

#include <QString>

namespace platform::sql {

// What a connection template holds: the connection string of one server and database.
struct ConnectionSettings {
    QString host;
    int port = 0;
    QString user;
    QString password;
    QString database;
    QString charset = QStringLiteral("euckr");
    int connectTimeoutSeconds = 20;
    // Bound the wait for a dead server after the connection is up, so that nothing hangs forever.
    int readTimeoutSeconds = 120;
    int writeTimeoutSeconds = 120;
    // False: many-row writes go one row per execution even where the server has bulk
    // execution, as against a server without it (benchmarks and tests of that path).
    bool bulk = true;

    // A template without a server (UniCon before a login configures it) cannot connect.
    bool isConfigured() const { return !host.isEmpty(); }
};

}  // namespace platform::sql
