#pragma once

#include <QString>
#include <stdexcept>

namespace platform::sql {

// A failure of the database layer. what() / message() carry the server's own text (or the
// client library's), so that the error translation can match it.
class SqlError : public std::runtime_error {
public:
    SqlError(const QString& message, unsigned int code = 0)
        : std::runtime_error(message.toStdString()), message_(message), code_(code) {}
    const QString& message() const { return message_; }
    unsigned int code() const { return code_; }

private:
    QString message_;
    unsigned int code_;
};

}  // namespace platform::sql
