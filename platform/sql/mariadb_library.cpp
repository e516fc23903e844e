#include "platform/sql/mariadb_library.h"

#include "platform/library/shared_library.h"

namespace platform::sql {

const MariaDbLibrary* MariaDbLibrary::get(QString* error) {
    static QString failure;
    static const MariaDbLibrary* const loaded = []() -> const MariaDbLibrary* {
        static library::SharedLibrary lib(QStringLiteral("mariadb"), 3,
                                          QStringLiteral("libmariadb"));
        static MariaDbLibrary api;
        lib.resolve("mariadb_get_infov", api.mariadb_get_infov);
        lib.resolve("mysql_affected_rows", api.mysql_affected_rows);
        lib.resolve("mysql_close", api.mysql_close);
        lib.resolve("mysql_commit", api.mysql_commit);
        lib.resolve("mysql_data_seek", api.mysql_data_seek);
        lib.resolve("mysql_errno", api.mysql_errno);
        lib.resolve("mysql_error", api.mysql_error);
        lib.resolve("mysql_fetch_fields", api.mysql_fetch_fields);
        lib.resolve("mysql_fetch_lengths", api.mysql_fetch_lengths);
        lib.resolve("mysql_fetch_row", api.mysql_fetch_row);
        lib.resolve("mysql_field_count", api.mysql_field_count);
        lib.resolve("mysql_free_result", api.mysql_free_result);
        lib.resolve("mysql_init", api.mysql_init);
        lib.resolve("mysql_next_result", api.mysql_next_result);
        lib.resolve("mysql_num_fields", api.mysql_num_fields);
        lib.resolve("mysql_num_rows", api.mysql_num_rows);
        lib.resolve("mysql_optionsv", api.mysql_optionsv);
        lib.resolve("mysql_real_connect", api.mysql_real_connect);
        lib.resolve("mysql_real_escape_string", api.mysql_real_escape_string);
        lib.resolve("mysql_real_query", api.mysql_real_query);
        lib.resolve("mysql_rollback", api.mysql_rollback);
        lib.resolve("mysql_stmt_affected_rows", api.mysql_stmt_affected_rows);
        lib.resolve("mysql_stmt_attr_set", api.mysql_stmt_attr_set);
        lib.resolve("mysql_stmt_bind_param", api.mysql_stmt_bind_param);
        lib.resolve("mysql_stmt_close", api.mysql_stmt_close);
        lib.resolve("mysql_stmt_errno", api.mysql_stmt_errno);
        lib.resolve("mysql_stmt_error", api.mysql_stmt_error);
        lib.resolve("mysql_stmt_execute", api.mysql_stmt_execute);
        lib.resolve("mysql_stmt_init", api.mysql_stmt_init);
        lib.resolve("mysql_stmt_param_count", api.mysql_stmt_param_count);
        lib.resolve("mysql_stmt_prepare", api.mysql_stmt_prepare);
        lib.resolve("mysql_store_result", api.mysql_store_result);
        failure = lib.error();
        return lib.ok() ? &api : nullptr;
    }();
    if (error) *error = failure;
    return loaded;
}

}  // namespace platform::sql
