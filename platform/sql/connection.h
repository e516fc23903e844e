#pragma once

#include <QString>
#include <memory>

#include "platform/sql/connection_settings.h"

struct st_mysql;

namespace platform::sql {

// One short-lived server connection, copied from a template. Never shared between operations.
// Closing it without commit() discards an open transaction (the server rolls it back).
class Connection {
public:
    explicit Connection(ConnectionSettings settings);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const ConnectionSettings& settings() const { return settings_; }

    bool isOpen() const;
    // Connects with the charset settled in the handshake (no extra statement). Throws SqlError.
    void open();
    void close();

    void startTransaction();  // throws SqlError
    void commit();            // throws SqlError
    void rollback() noexcept;

    // True when the server runs bulk execution of one statement over many rows (MariaDB);
    // MySQL servers refuse it. Decided from the server's capabilities after open().
    bool supportsBulk() const;

    // Runs a statement without parameters (no result). Throws SqlError.
    void executeRaw(const QString& sql);

    st_mysql* handle() const;

    // Encoding of text between client and server (EUC-KR for "euckr").
    QByteArray encode(const QString& text) const;  // throws SqlError on characters it cannot hold
    QString decode(const char* data, unsigned long length) const;

private:
    struct Deleter {
        void operator()(st_mysql* m) const;
    };
    ConnectionSettings settings_;
    bool cp949_;  // text goes as code page 949 (decided once: every field passes through)
    std::unique_ptr<st_mysql, Deleter> mysql_;
};

// Discards the transaction unless commit() was called; the connection close would discard it
// too, but an explicit rollback keeps a still-open connection reusable.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    void commit();

private:
    Connection& connection_;
    bool done_ = false;
};

}  // namespace platform::sql
