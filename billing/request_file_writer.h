#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>
#include <vector>

// The withdrawal request file (".pay") of one company and one date: fixed-width records of
// 343 bytes in code page 949, each ending with CR LF: one header "H", one data record "D" per
// stored request in the order given, one trailer "T".
namespace billing {

// One stored request as the file needs it.
struct RequestRecord {
    QString userid;
    QString username;
    qint64 amount = 0;
};

// A value that the file cannot hold. Nothing has been written; what() / message() is the
// Korean text for the user.
class RequestFileRefused : public std::runtime_error {
public:
    explicit RequestFileRefused(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Writing the file failed (folder not writable, disk full); an earlier file of the same name
// is left as it was.
class RequestFileError : public std::runtime_error {
public:
    explicit RequestFileError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

class RequestFileWriter {
public:
    static constexpr int kRecordLength = 343;
    static constexpr int kServiceIdLength = 8;
    static constexpr int kInstitutionCodeLength = 8;
    static constexpr qint64 kMaxAmount = 9'999'999'999;       // 10 digits
    static constexpr qint64 kMaxTotal = 999'999'999'999'999;  // 15 digits
    static constexpr qint64 kMaxRecords = 999'999;            // 6 digits

    // Throws RequestFileRefused for a service id that is not 1 to 8 plain characters
    // (letters, digits, "-", "_") or an institution code that is not 8 characters.
    RequestFileWriter(QString serviceId, QString institutionCode);

    // "YYYYMMDD.<service id>.pay" for the date text "YYYY-MM-DD".
    static QString fileName(const QString& billDate, const QString& serviceId);
    // Checks the service id for the file name and the 8-byte field; "" when it is fit, else
    // the message for the user.
    static QString checkServiceId(const QString& serviceId);

    // The whole file. Throws RequestFileRefused for an amount of more than 10 digits (or not
    // above 0), a total of more than 15, more than 999,999 records, or a payer id longer than
    // its field.
    QByteArray build(const std::vector<RequestRecord>& records) const;

    // Builds the file and puts it at `path` through a temporary file in the same folder that
    // is renamed into place, so that `path` holds either its earlier content or the whole new
    // file. Throws RequestFileRefused (nothing touched) or RequestFileError.
    void write(const QString& path, const std::vector<RequestRecord>& records) const;

private:
    QString header(qint64 count, qint64 total) const;
    QString data(int sequence, const RequestRecord& record) const;
    QString trailer(qint64 count, qint64 total) const;

    QString serviceId_;
    QString institutionCode_;
};

}  // namespace billing
