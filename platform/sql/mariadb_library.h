#pragma once

#include <mysql.h>

#include <QString>

namespace platform::sql {

// MariaDB Connector/C, loaded by the first connection rather than at program start (see
// platform::library::SharedLibrary): with the TLS libraries it pulls in it would be mapped
// and relocated before the login form can paint, and the form needs no server to do so.
class MariaDbLibrary {
public:
    // The loaded library, or nullptr when it cannot be loaded (`error`, if given, says why).
    // Loads once per process; thread-safe.
    static const MariaDbLibrary* get(QString* error = nullptr);

    decltype(&::mariadb_get_infov) mariadb_get_infov = nullptr;
    decltype(&::mysql_affected_rows) mysql_affected_rows = nullptr;
    decltype(&::mysql_close) mysql_close = nullptr;
    decltype(&::mysql_commit) mysql_commit = nullptr;
    decltype(&::mysql_data_seek) mysql_data_seek = nullptr;
    decltype(&::mysql_errno) mysql_errno = nullptr;
    decltype(&::mysql_error) mysql_error = nullptr;
    decltype(&::mysql_fetch_fields) mysql_fetch_fields = nullptr;
    decltype(&::mysql_fetch_lengths) mysql_fetch_lengths = nullptr;
    decltype(&::mysql_fetch_row) mysql_fetch_row = nullptr;
    decltype(&::mysql_field_count) mysql_field_count = nullptr;
    decltype(&::mysql_free_result) mysql_free_result = nullptr;
    decltype(&::mysql_init) mysql_init = nullptr;
    decltype(&::mysql_next_result) mysql_next_result = nullptr;
    decltype(&::mysql_num_fields) mysql_num_fields = nullptr;
    decltype(&::mysql_num_rows) mysql_num_rows = nullptr;
    decltype(&::mysql_optionsv) mysql_optionsv = nullptr;
    decltype(&::mysql_real_connect) mysql_real_connect = nullptr;
    decltype(&::mysql_real_escape_string) mysql_real_escape_string = nullptr;
    decltype(&::mysql_real_query) mysql_real_query = nullptr;
    decltype(&::mysql_rollback) mysql_rollback = nullptr;
    decltype(&::mysql_stmt_affected_rows) mysql_stmt_affected_rows = nullptr;
    decltype(&::mysql_stmt_attr_set) mysql_stmt_attr_set = nullptr;
    decltype(&::mysql_stmt_bind_param) mysql_stmt_bind_param = nullptr;
    decltype(&::mysql_stmt_close) mysql_stmt_close = nullptr;
    decltype(&::mysql_stmt_errno) mysql_stmt_errno = nullptr;
    decltype(&::mysql_stmt_error) mysql_stmt_error = nullptr;
    decltype(&::mysql_stmt_execute) mysql_stmt_execute = nullptr;
    decltype(&::mysql_stmt_init) mysql_stmt_init = nullptr;
    decltype(&::mysql_stmt_param_count) mysql_stmt_param_count = nullptr;
    decltype(&::mysql_stmt_prepare) mysql_stmt_prepare = nullptr;
    decltype(&::mysql_store_result) mysql_store_result = nullptr;

private:
    MariaDbLibrary() = default;
};

// The loaded library, for code that runs on an open connection (Connection::open() loads it
// first and refuses to open without it).
inline const MariaDbLibrary& db() {
    return *MariaDbLibrary::get();
}

}  // namespace platform::sql
