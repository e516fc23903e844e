#include "platform/sql/connection.h"

#include "platform/codepage/codepage.h"
#include "platform/sql/mariadb_library.h"
#include "platform/sql/sql_error.h"

namespace platform::sql {

namespace {

bool isCodePage949(const QString& charset) {
    const QString c = charset.toLower();
    return c == u"euckr" || c == u"euc-kr" || c == u"cp949";
}

}  // namespace

void Connection::Deleter::operator()(st_mysql* m) const {
    db().mysql_close(m);
}

Connection::Connection(ConnectionSettings settings)
    : settings_(std::move(settings)), cp949_(isCodePage949(settings_.charset)) {}

Connection::~Connection() = default;

bool Connection::isOpen() const {
    return static_cast<bool>(mysql_);
}

void Connection::open() {
    if (mysql_) return;
    if (!settings_.isConfigured()) throw SqlError(QStringLiteral("서버가 설정되지 않았습니다."));
    QString why;
    if (!MariaDbLibrary::get(&why))
        throw SqlError(
            QStringLiteral("데이터베이스 연결 라이브러리를 불러오지 못했습니다. (%1)").arg(why));
    std::unique_ptr<st_mysql, Deleter> m(db().mysql_init(nullptr));
    if (!m) throw SqlError(QStringLiteral("Out of memory"));
    unsigned int connectTimeout = static_cast<unsigned int>(settings_.connectTimeoutSeconds);
    unsigned int readTimeout = static_cast<unsigned int>(settings_.readTimeoutSeconds);
    unsigned int writeTimeout = static_cast<unsigned int>(settings_.writeTimeoutSeconds);
    db().mysql_optionsv(m.get(), MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    db().mysql_optionsv(m.get(), MYSQL_OPT_READ_TIMEOUT, &readTimeout);
    db().mysql_optionsv(m.get(), MYSQL_OPT_WRITE_TIMEOUT, &writeTimeout);
    // The charset travels in the handshake, so connecting sends no statement of its own.
    const QByteArray charset = settings_.charset.toLatin1();
    db().mysql_optionsv(m.get(), MYSQL_SET_CHARSET_NAME, charset.constData());
    const QByteArray host = settings_.host.toUtf8();
    const QByteArray user = settings_.user.toUtf8();
    const QByteArray password = settings_.password.toUtf8();
    const QByteArray database = settings_.database.toUtf8();
    if (!db().mysql_real_connect(m.get(), host.constData(), user.constData(), password.constData(),
                                 database.isEmpty() ? nullptr : database.constData(),
                                 static_cast<unsigned int>(settings_.port), nullptr, 0)) {
        throw SqlError(QString::fromUtf8(db().mysql_error(m.get())), db().mysql_errno(m.get()));
    }
    mysql_ = std::move(m);
}

void Connection::close() {
    mysql_.reset();
}

void Connection::executeRaw(const QString& sql) {
    if (!mysql_) throw SqlError(QStringLiteral("연결되지 않았습니다."));
    const QByteArray bytes = encode(sql);
    if (db().mysql_real_query(mysql_.get(), bytes.constData(),
                              static_cast<unsigned long>(bytes.size())))
        throw SqlError(decode(db().mysql_error(mysql_.get()), 0), db().mysql_errno(mysql_.get()));
    // Drain any result so the connection stays usable.
    do {
        if (MYSQL_RES* r = db().mysql_store_result(mysql_.get())) db().mysql_free_result(r);
    } while (db().mysql_next_result(mysql_.get()) == 0);
}

void Connection::startTransaction() {
    executeRaw(QStringLiteral("start transaction"));
}

void Connection::commit() {
    if (!mysql_) throw SqlError(QStringLiteral("연결되지 않았습니다."));
    if (db().mysql_commit(mysql_.get()))
        throw SqlError(decode(db().mysql_error(mysql_.get()), 0), db().mysql_errno(mysql_.get()));
}

void Connection::rollback() noexcept {
    if (mysql_) db().mysql_rollback(mysql_.get());
}

bool Connection::supportsBulk() const {
    if (!mysql_ || !settings_.bulk) return false;
    unsigned long caps = 0;
    if (db().mariadb_get_infov(mysql_.get(), MARIADB_CONNECTION_EXTENDED_SERVER_CAPABILITIES,
                               &caps))
        return false;
    return (caps & (MARIADB_CLIENT_STMT_BULK_OPERATIONS >> 32)) != 0;
}

st_mysql* Connection::handle() const {
    return mysql_.get();
}

QByteArray Connection::encode(const QString& text) const {
    if (!cp949_) return text.toUtf8();
    QByteArray out;
    QString bad;
    if (!codepage::encodeEucKr(text, &out, &bad))
        throw SqlError(
            QStringLiteral("데이터베이스에 저장할 수 없는 문자가 있습니다: %1").arg(bad));
    return out;
}

QString Connection::decode(const char* data, unsigned long length) const {
    if (!data) return {};
    if (length == 0) length = static_cast<unsigned long>(qstrlen(data));
    if (!cp949_) return QString::fromUtf8(data, length);
    return codepage::decodeEucKr(data, static_cast<qsizetype>(length));
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
    connection_.startTransaction();
}

Transaction::~Transaction() {
    if (!done_) connection_.rollback();
}

void Transaction::commit() {
    connection_.commit();
    done_ = true;
}

}  // namespace platform::sql
