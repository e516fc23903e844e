#include "bench/anchors.h"

#include <fcntl.h>
#include <mysql.h>
#include <unistd.h>

#include <QFile>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/codepage/codepage.h"
#include "platform/sql/named_params.h"

namespace bench::anchor {

namespace {

struct Closer {
    void operator()(MYSQL* m) const { mysql_close(m); }
};
using Handle = std::unique_ptr<MYSQL, Closer>;

struct StmtCloser {
    void operator()(MYSQL_STMT* s) const { mysql_stmt_close(s); }
};

[[noreturn]] void fail(MYSQL* m) {
    throw std::runtime_error(std::string("anchor: ") + mysql_error(m));
}
[[noreturn]] void failStmt(MYSQL_STMT* s) {
    throw std::runtime_error(std::string("anchor: ") + mysql_stmt_error(s));
}

Handle open(const Settings& s) {
    Handle m(mysql_init(nullptr));
    mysql_optionsv(m.get(), MYSQL_SET_CHARSET_NAME, "euckr");
    const QByteArray host = s.host.toUtf8(), user = s.user.toUtf8(), password = s.password.toUtf8(),
                     db = s.database.toUtf8();
    if (!mysql_real_connect(m.get(), host.constData(), user.constData(), password.constData(),
                            db.isEmpty() ? nullptr : db.constData(), static_cast<unsigned>(s.port),
                            nullptr, 0))
        fail(m.get());
    return m;
}

void query(MYSQL* m, const QByteArray& sql) {
    if (mysql_real_query(m, sql.constData(), static_cast<unsigned long>(sql.size()))) fail(m);
}

QByteArray escaped(const QByteArray& raw) {
    QByteArray out;
    out.reserve(raw.size() + 2);
    out += '\'';
    for (char c : raw) {
        switch (c) {
            case '\'':
            case '\\':
            case '"':
                out += '\\';
                out += c;
                break;
            case '\0':
                out += "\\0";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\032':
                out += "\\Z";
                break;
            default:
                out += c;
        }
    }
    out += '\'';
    return out;
}

void prepare(MYSQL_STMT* st, const QByteArray& sql) {
    if (mysql_stmt_prepare(st, sql.constData(), static_cast<unsigned long>(sql.size())))
        failStmt(st);
}

}  // namespace

QByteArray eucKr(const QString& text) {
    QByteArray out;
    if (!platform::codepage::encodeEucKr(text, &out))
        throw std::runtime_error("anchor: text outside EUC-KR");
    return out;
}

QByteArray inlineStatement(const QString& sql, const QHash<QString, QString>& values) {
    const platform::sql::ParsedStatement p = platform::sql::parseNamedParameters(sql);
    QByteArray out;
    for (qsizetype i = 0; i < p.texts.size(); ++i) {
        out += eucKr(p.texts[i]);
        if (i >= p.names.size()) break;
        const auto it = values.constFind(p.names[i].toLower());
        if (it == values.constEnd())
            throw std::runtime_error(("anchor: no value for " + p.names[i]).toStdString());
        out += escaped(eucKr(*it));
    }
    return out;
}

QByteArray positionalStatement(const QString& sql, QStringList* names) {
    const platform::sql::ParsedStatement p = platform::sql::parseNamedParameters(sql);
    if (names) *names = p.names;
    return eucKr(p.positional());
}

void connectOnly(const Settings& s) {
    Handle m = open(s);
}

long long fetchText(const Settings& s, const QByteArray& sql, const RowSink& sink) {
    Handle m = open(s);
    query(m.get(), sql);
    MYSQL_RES* res = mysql_store_result(m.get());
    if (!res) fail(m.get());
    const unsigned n = mysql_num_fields(res);
    long long rows = 0;
    while (MYSQL_ROW row = mysql_fetch_row(res)) {
        unsigned long* lengths = mysql_fetch_lengths(res);
        if (sink) sink(row, lengths, n);
        ++rows;
    }
    mysql_free_result(res);
    return rows;
}

void storeBulk(const Settings& s, const QByteArray& deleteSql, const QByteArray& insertSql,
               const Rows& rows) {
    Handle m = open(s);
    query(m.get(), "start transaction");
    query(m.get(), deleteSql);
    if (!rows.empty()) {
        std::unique_ptr<MYSQL_STMT, StmtCloser> st(mysql_stmt_init(m.get()));
        prepare(st.get(), insertSql);
        const size_t params = rows.front().size();
        const size_t count = rows.size();
        std::vector<std::vector<const char*>> buffers(params, std::vector<const char*>(count));
        std::vector<std::vector<unsigned long>> lengths(params, std::vector<unsigned long>(count));
        std::vector<MYSQL_BIND> binds(params);
        for (size_t p = 0; p < params; ++p) {
            for (size_t r = 0; r < count; ++r) {
                buffers[p][r] = rows[r][p].constData();
                lengths[p][r] = static_cast<unsigned long>(rows[r][p].size());
            }
            std::memset(&binds[p], 0, sizeof(MYSQL_BIND));
            binds[p].buffer_type = MYSQL_TYPE_STRING;
            binds[p].buffer = buffers[p].data();
            binds[p].length = lengths[p].data();
        }
        unsigned int size = static_cast<unsigned int>(count);
        mysql_stmt_attr_set(st.get(), STMT_ATTR_ARRAY_SIZE, &size);
        if (mysql_stmt_bind_param(st.get(), binds.data())) failStmt(st.get());
        if (mysql_stmt_execute(st.get())) failStmt(st.get());
    }
    if (mysql_commit(m.get())) fail(m.get());
}

void storePerRow(const Settings& s, const QByteArray& deleteSql, const QByteArray& insertSql,
                 const Rows& rows) {
    Handle m = open(s);
    query(m.get(), "start transaction");
    query(m.get(), deleteSql);
    if (!rows.empty()) {
        std::unique_ptr<MYSQL_STMT, StmtCloser> st(mysql_stmt_init(m.get()));
        prepare(st.get(), insertSql);
        const size_t params = rows.front().size();
        std::vector<MYSQL_BIND> binds(params);
        std::vector<unsigned long> lengths(params);
        for (const auto& row : rows) {
            for (size_t p = 0; p < params; ++p) {
                std::memset(&binds[p], 0, sizeof(MYSQL_BIND));
                binds[p].buffer_type = MYSQL_TYPE_STRING;
                binds[p].buffer = const_cast<char*>(row[p].constData());
                lengths[p] = static_cast<unsigned long>(row[p].size());
                binds[p].buffer_length = lengths[p];
                binds[p].length = &lengths[p];
            }
            if (mysql_stmt_bind_param(st.get(), binds.data())) failStmt(st.get());
            if (mysql_stmt_execute(st.get())) failStmt(st.get());
        }
    }
    if (mysql_commit(m.get())) fail(m.get());
}

void textStatements(const Settings& s, const std::vector<QByteArray>& statements) {
    Handle m = open(s);
    query(m.get(), "start transaction");
    for (const QByteArray& sql : statements) query(m.get(), sql);
    if (mysql_commit(m.get())) fail(m.get());
}

void writeFile(const QString& path, const QByteArray& bytes) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temp = target + ".anchor-tmp";
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("anchor: cannot create the file");
    const ssize_t w = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
    const bool ok = w == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(temp.constData(), target.constData()) != 0)
        throw std::runtime_error("anchor: cannot write the file");
}

}  // namespace bench::anchor
