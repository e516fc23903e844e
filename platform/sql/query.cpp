#include "platform/sql/query.h"

#include <cstring>

#include "platform/codepage/codepage.h"
#include "platform/sql/connection.h"
#include "platform/sql/mariadb_library.h"
#include "platform/sql/named_params.h"
#include "platform/sql/sql_error.h"

namespace platform::sql {

namespace {

// Rows per bulk execution: large enough that a request of a day is one round trip, small
// enough to stay far below the server's packet limit.
constexpr size_t kBulkChunk = 20000;

struct StmtCloser {
    void operator()(MYSQL_STMT* s) const { db().mysql_stmt_close(s); }
};

[[noreturn]] void throwStmt(Connection& c, MYSQL_STMT* s) {
    throw SqlError(c.decode(db().mysql_stmt_error(s), 0), db().mysql_stmt_errno(s));
}

}  // namespace

void Query::ResultDeleter::operator()(st_mysql_res* r) const {
    db().mysql_free_result(r);
}

Query::Query(Connection& connection) : connection_(connection) {}

Query::~Query() = default;

void Query::setSql(const QString& sql) {
    close();
    sql_ = sql;
    parsed_.reset();
}

void Query::addSql(const QString& line) {
    close();
    if (!sql_.isEmpty() && !sql_.endsWith(u'\n')) sql_ += u'\n';
    sql_ += line;
    parsed_.reset();
}

void Query::setParam(const QString& name, const QString& value) {
    params_[name.toLower()] = value;
}

void Query::setParamNull(const QString& name) {
    params_[name.toLower()] = std::nullopt;
}

void Query::clearParams() {
    params_.clear();
}

const Query::Parsed& Query::parsed() const {
    if (!parsed_) {
        Parsed p;
        p.statement = parseNamedParameters(sql_);
        for (const QString& text : p.statement.texts) p.texts.push_back(connection_.encode(text));
        for (const QString& name : p.statement.names) p.keys << name.toLower();
        parsed_ = std::move(p);
    }
    return *parsed_;
}

QByteArray Query::buildStatement() const {
    MYSQL* m = connection_.handle();
    if (!m) throw SqlError(QStringLiteral("연결되지 않았습니다."));
    const Parsed& parsed = this->parsed();
    QByteArray out;
    out.reserve(sql_.size() * 2);
    for (size_t i = 0; i < parsed.texts.size(); ++i) {
        out += parsed.texts[i];
        if (i >= static_cast<size_t>(parsed.keys.size())) break;
        auto it = params_.constFind(parsed.keys[static_cast<qsizetype>(i)]);
        if (it == params_.constEnd())
            throw SqlError(QStringLiteral("Parameter '%1' not found")
                               .arg(parsed.statement.names[static_cast<qsizetype>(i)]));
        if (!it->has_value()) {
            out += "NULL";
            continue;
        }
        // Values travel as quoted, escaped text in the connection's character set; they can
        // never change the statement around them. Escaped straight into the statement.
        const QByteArray raw = connection_.encode(**it);
        const qsizetype at = out.size();
        out.resize(at + 1 + raw.size() * 2 + 1);
        out[at] = '\'';
        const unsigned long len = db().mysql_real_escape_string(
            m, out.data() + at + 1, raw.constData(), static_cast<unsigned long>(raw.size()));
        out.resize(at + 1 + static_cast<qsizetype>(len));
        out += '\'';
    }
    return out;
}

void Query::open() {
    close();
    const QByteArray stmt = buildStatement();
    MYSQL* m = connection_.handle();
    if (db().mysql_real_query(m, stmt.constData(), static_cast<unsigned long>(stmt.size())))
        throw SqlError(connection_.decode(db().mysql_error(m), 0), db().mysql_errno(m));
    MYSQL_RES* res = db().mysql_store_result(m);
    if (!res) {
        if (db().mysql_field_count(m) != 0)
            throw SqlError(connection_.decode(db().mysql_error(m), 0), db().mysql_errno(m));
        // A statement without a result set opens as an empty result.
        rowCount_ = 0;
        rowIndex_ = 0;
        return;
    }
    result_.reset(res);
    const unsigned int n = db().mysql_num_fields(res);
    MYSQL_FIELD* fields = db().mysql_fetch_fields(res);
    for (unsigned int i = 0; i < n; ++i) {
        const QString name = connection_.decode(fields[i].name, fields[i].name_length);
        names_ << name;
        const QString key = name.toLower();
        if (!columns_.contains(key)) columns_.insert(key, static_cast<int>(i));
    }
    rowCount_ = static_cast<int>(db().mysql_num_rows(res));
    first();
}

long long Query::execute() {
    close();
    const QByteArray stmt = buildStatement();
    MYSQL* m = connection_.handle();
    if (db().mysql_real_query(m, stmt.constData(), static_cast<unsigned long>(stmt.size())))
        throw SqlError(connection_.decode(db().mysql_error(m), 0), db().mysql_errno(m));
    if (MYSQL_RES* r = db().mysql_store_result(m)) db().mysql_free_result(r);
    const my_ulonglong affected = db().mysql_affected_rows(m);
    return affected == static_cast<my_ulonglong>(-1) ? 0 : static_cast<long long>(affected);
}

long long Query::executeBatch(const QStringList& names, const std::vector<QStringList>& rows) {
    close();
    if (rows.empty()) return 0;
    MYSQL* m = connection_.handle();
    if (!m) throw SqlError(QStringLiteral("연결되지 않았습니다."));
    const ParsedStatement& parsed = this->parsed().statement;
    // Which value column feeds each placeholder.
    std::vector<int> source;
    for (const QString& n : parsed.names) {
        int idx = -1;
        for (qsizetype k = 0; k < names.size(); ++k)
            if (names[k].compare(n, Qt::CaseInsensitive) == 0) idx = static_cast<int>(k);
        if (idx < 0) throw SqlError(QStringLiteral("Parameter '%1' not found").arg(n));
        source.push_back(idx);
    }
    // Encode every value once; rows of the wrong width are a caller's fault.
    std::vector<std::vector<QByteArray>> encoded(rows.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].size() != names.size())
            throw SqlError(QStringLiteral("Batch row %1 has %2 values, expected %3")
                               .arg(r)
                               .arg(rows[r].size())
                               .arg(names.size()));
        encoded[r].reserve(names.size());
        for (const QString& v : rows[r]) encoded[r].push_back(connection_.encode(v));
    }

    const QByteArray text = connection_.encode(parsed.positional());
    std::unique_ptr<MYSQL_STMT, StmtCloser> stmt(db().mysql_stmt_init(m));
    if (!stmt) throw SqlError(QStringLiteral("Out of memory"));
    if (db().mysql_stmt_prepare(stmt.get(), text.constData(),
                                static_cast<unsigned long>(text.size())))
        throwStmt(connection_, stmt.get());
    const size_t paramCount = source.size();
    if (db().mysql_stmt_param_count(stmt.get()) != paramCount)
        throw SqlError(QStringLiteral("Parameter count mismatch"));

    long long affected = 0;
    std::vector<MYSQL_BIND> binds(paramCount);
    if (connection_.supportsBulk() && paramCount > 0) {
        for (size_t start = 0; start < rows.size(); start += kBulkChunk) {
            const size_t count = std::min(kBulkChunk, rows.size() - start);
            // Column-wise arrays: one pointer and one length per row for each placeholder.
            std::vector<std::vector<char*>> buffers(paramCount, std::vector<char*>(count));
            std::vector<std::vector<unsigned long>> lengths(paramCount,
                                                            std::vector<unsigned long>(count));
            for (size_t p = 0; p < paramCount; ++p) {
                for (size_t r = 0; r < count; ++r) {
                    QByteArray& v = encoded[start + r][static_cast<size_t>(source[p])];
                    buffers[p][r] = v.data();
                    lengths[p][r] = static_cast<unsigned long>(v.size());
                }
                std::memset(&binds[p], 0, sizeof(MYSQL_BIND));
                binds[p].buffer_type = MYSQL_TYPE_STRING;
                binds[p].buffer = buffers[p].data();
                binds[p].length = lengths[p].data();
            }
            unsigned int arraySize = static_cast<unsigned int>(count);
            db().mysql_stmt_attr_set(stmt.get(), STMT_ATTR_ARRAY_SIZE, &arraySize);
            if (db().mysql_stmt_bind_param(stmt.get(), binds.data()))
                throwStmt(connection_, stmt.get());
            const int rc = db().mysql_stmt_execute(stmt.get());
            unsigned int zero = 0;
            db().mysql_stmt_attr_set(stmt.get(), STMT_ATTR_ARRAY_SIZE, &zero);
            if (rc) throwStmt(connection_, stmt.get());
            affected += static_cast<long long>(db().mysql_stmt_affected_rows(stmt.get()));
        }
        return affected;
    }

    // Servers without bulk execution: one execution of the prepared statement per row.
    std::vector<unsigned long> lengths(paramCount);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t p = 0; p < paramCount; ++p) {
            QByteArray& v = encoded[r][static_cast<size_t>(source[p])];
            std::memset(&binds[p], 0, sizeof(MYSQL_BIND));
            binds[p].buffer_type = MYSQL_TYPE_STRING;
            binds[p].buffer = v.data();
            lengths[p] = static_cast<unsigned long>(v.size());
            binds[p].buffer_length = lengths[p];
            binds[p].length = &lengths[p];
        }
        if (paramCount > 0 && db().mysql_stmt_bind_param(stmt.get(), binds.data()))
            throwStmt(connection_, stmt.get());
        if (db().mysql_stmt_execute(stmt.get())) throwStmt(connection_, stmt.get());
        affected += static_cast<long long>(db().mysql_stmt_affected_rows(stmt.get()));
    }
    return affected;
}

void Query::close() {
    result_.reset();
    columns_.clear();
    askedNames_.clear();
    names_.clear();
    row_ = nullptr;
    lengths_ = nullptr;
    rowIndex_ = 0;
    rowCount_ = 0;
}

bool Query::isActive() const {
    return static_cast<bool>(result_);
}

int Query::recordCount() const {
    return rowCount_;
}

bool Query::eof() const {
    return rowIndex_ >= rowCount_;
}

void Query::first() {
    rowIndex_ = 0;
    row_ = nullptr;
    lengths_ = nullptr;
    if (!result_ || rowCount_ == 0) return;
    db().mysql_data_seek(result_.get(), 0);
    row_ = db().mysql_fetch_row(result_.get());
    lengths_ = db().mysql_fetch_lengths(result_.get());
}

void Query::next() {
    if (eof()) return;
    ++rowIndex_;
    if (rowIndex_ >= rowCount_) {
        row_ = nullptr;
        lengths_ = nullptr;
        return;
    }
    row_ = db().mysql_fetch_row(result_.get());
    lengths_ = db().mysql_fetch_lengths(result_.get());
}

int Query::fieldCount() const {
    return static_cast<int>(names_.size());
}

QStringList Query::fieldNames() const {
    return names_;
}

bool Query::hasField(const QString& name) const {
    return columns_.contains(name.toLower());
}

int Query::columnIndex(const QString& name) const {
    for (const auto& [asked, index] : askedNames_)
        if (asked.size() == name.size() && asked == name) return index;
    auto it = columns_.constFind(name.toLower());
    if (it == columns_.constEnd()) throw SqlError(QStringLiteral("Field '%1' not found").arg(name));
    if (askedNames_.size() < 32) askedNames_.emplace_back(name, *it);
    return *it;
}

QString Query::field(const QString& name) const {
    return fieldAt(columnIndex(name));
}

bool Query::isNull(const QString& name) const {
    const int i = columnIndex(name);
    return !row_ || !row_[i];
}

QString Query::fieldAt(int index) const {
    if (index < 0 || index >= fieldCount())
        throw SqlError(QStringLiteral("Field index %1 out of range").arg(index));
    if (!row_ || !row_[index]) return {};
    return connection_.decode(row_[index], lengths_[index]);
}

}  // namespace platform::sql
