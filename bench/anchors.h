#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <vector>

#include "platform/sql/connection_settings.h"

// The anchors of the benchmark: the same work done the plainest way the machine allows,
// straight on MariaDB Connector/C and the file system. Every input is prepared beforehand
// (statement texts with their values, encoded rows, file bytes), so an anchor measures only
// the connection, the round trips, the server and the write.
namespace bench::anchor {

using Settings = platform::sql::ConnectionSettings;

// The statement text as the SQL layer sends it: every ":name" replaced by the quoted,
// escaped value, all in EUC-KR.
QByteArray inlineStatement(const QString& sql, const QHash<QString, QString>& values);
// The statement with "?" for each parameter, and the order of the parameter names.
QByteArray positionalStatement(const QString& sql, QStringList* names);
QByteArray eucKr(const QString& text);

// TCP, handshake and authentication with the charset in the handshake; then close.
void connectOnly(const Settings& s);

// One select read as text; `row` (if set) sees every row's fields (pointers, lengths).
using RowSink = std::function<void(char** fields, unsigned long* lengths, unsigned n)>;
long long fetchText(const Settings& s, const QByteArray& sql, const RowSink& row = {});

// Rows of one insert as the server gets them: one encoded value per placeholder.
using Rows = std::vector<std::vector<QByteArray>>;

// start transaction, the delete text, the insert prepared once and executed over all rows in
// one bulk (STMT_ATTR_ARRAY_SIZE) or once per row, commit.
void storeBulk(const Settings& s, const QByteArray& deleteSql, const QByteArray& insertSql,
               const Rows& rows);
void storePerRow(const Settings& s, const QByteArray& deleteSql, const QByteArray& insertSql,
                 const Rows& rows);

// start transaction, each text statement in turn, commit.
void textStatements(const Settings& s, const std::vector<QByteArray>& statements);

// The bytes in one write into a new file beside `path`, made durable and renamed into place:
// what a complete replacement of a file costs on this file system.
void writeFile(const QString& path, const QByteArray& bytes);

}  // namespace bench::anchor
