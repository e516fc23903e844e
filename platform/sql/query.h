#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "platform/sql/named_params.h"

struct st_mysql_res;

namespace platform::sql {

class Connection;

// One statement with named parameters (":name") on one connection. Values go in as text (or
// NULL); result columns are read by name, case-insensitively, as text, NULL as "".
class Query {
public:
    explicit Query(Connection& connection);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void setSql(const QString& sql);
    void addSql(const QString& line);  // appends a fixed fragment (filters, sort orders)
    const QString& sql() const { return sql_; }

    void setParam(const QString& name, const QString& value);
    void setParamNull(const QString& name);
    void clearParams();

    // Select: runs the statement and keeps its whole result. Throws SqlError.
    void open();
    // Insert, update, delete: returns the number of affected rows. Throws SqlError.
    long long execute();

    // Runs the statement once per row of values in `rows` (each row: one value per distinct
    // parameter name, in the order of `names`). Uses the server's bulk execution in one round
    // trip where the server has it, else one prepared statement executed per row. Returns the
    // total of affected rows. Throws SqlError.
    long long executeBatch(const QStringList& names, const std::vector<QStringList>& rows);

    void close();

    // Result navigation after open().
    bool isActive() const;
    int recordCount() const;
    bool eof() const;
    void first();
    void next();
    int fieldCount() const;
    QStringList fieldNames() const;
    bool hasField(const QString& name) const;
    // The current row's value of column `name` (case-insensitive) as text; NULL gives "".
    // Throws SqlError for a column the result does not have.
    QString field(const QString& name) const;
    bool isNull(const QString& name) const;
    QString fieldAt(int index) const;

private:
    QByteArray buildStatement() const;
    int columnIndex(const QString& name) const;

    Connection& connection_;
    QString sql_;
    // The statement split at its parameters, kept until the text changes: a statement run
    // once per row is parsed and encoded once.
    struct Parsed {
        ParsedStatement statement;
        std::vector<QByteArray> texts;  // the literal pieces, encoded
        QStringList keys;               // the parameter names, lower-cased
    };
    mutable std::optional<Parsed> parsed_;
    const Parsed& parsed() const;
    QHash<QString, std::optional<QString>> params_;
    struct ResultDeleter {
        void operator()(st_mysql_res* r) const;
    };
    std::unique_ptr<st_mysql_res, ResultDeleter> result_;
    QHash<QString, int> columns_;  // lower-cased name -> index
    // The names asked for so far, as given: loops read the same few names row after row,
    // and an exact match is cheaper than lowering and hashing the name every time.
    mutable std::vector<std::pair<QString, int>> askedNames_;
    QStringList names_;
    char** row_ = nullptr;
    unsigned long* lengths_ = nullptr;
    int rowIndex_ = 0;
    int rowCount_ = 0;
};

}  // namespace platform::sql
