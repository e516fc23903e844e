#include "billing/request_file_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <cstring>

#include "app/form_utils.h"
#include "platform/codepage/codepage.h"

namespace billing {

namespace {

using platform::codepage::toCp949;

// The fields of a record, built as text and encoded once per record: text fields and numeric
// fields by the shared fixed-width formatters (widths in code page 949 bytes).
QString textField(const QString& value, int width) {
    return app::pr_Get_Value_FormatStr(value, width);
}
QString numberField(qint64 value, int width) {
    return app::pr_Get_Value_FormatInt(QString::number(value), width);
}
QString blanks(int width) {
    return QString(width, u' ');
}
QString zeros(int width) {
    return QString(width, u'0');
}

QString won(qint64 v) {
    return QLocale(QLocale::Korean).toString(v);
}

// Where the variable fields of a data record start (0-based byte offsets).
constexpr int kSequenceAt = 17;  // 6 digits, positions 18-23
constexpr int kUserIdAt = 24;    // 20 bytes, positions 25-44
constexpr int kUserNameAt = 44;  // 20 bytes, positions 45-64
constexpr int kAmountAt = 66;    // 10 digits, positions 67-76

// A text field as bytes: what pr_Get_Value_FormatStr gives, encoded. The value's bytes are cut
// to the width without splitting a two-byte character and blank-filled.
void putText(char* field, const QByteArray& bytes, int width) {
    qsizetype taken = 0;
    while (taken < bytes.size()) {
        const qsizetype w =
            platform::codepage::isCp949LeadByte(static_cast<unsigned char>(bytes[taken])) ? 2 : 1;
        if (taken + w > width) break;
        taken += w;
    }
    std::memcpy(field, bytes.constData(), static_cast<size_t>(taken));
    std::memset(field + taken, ' ', static_cast<size_t>(width - taken));
}

// Decimal digits, zero-filled on the left; the caller has checked that the value fits.
void putDigits(char* field, qint64 value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        field[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

bool isPlainIdCharacter(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
           c == u'-' || c == u'_';
}

}  // namespace

QString RequestFileWriter::checkServiceId(const QString& serviceId) {
    if (serviceId.isEmpty())
        return QStringLiteral("서비스 아이디가 없어 출금신청파일을 만들 수 없습니다.");
    for (QChar c : serviceId)
        if (!isPlainIdCharacter(c))
            return QStringLiteral(
                       "서비스 아이디(%1)에 파일 이름으로 쓸 수 없는 문자가 있어 출금신청파일을 "
                       "만들 수 없습니다.\n(영문, 숫자, -, _ 만 쓸 수 있습니다.)")
                .arg(serviceId);
    // The id is the company's key at the withdrawal service: cut to 8 bytes it could name
    // another company, so a longer one is refused rather than shortened.
    if (serviceId.size() > kServiceIdLength)
        return QStringLiteral("서비스 아이디(%1)가 %2자를 넘어 출금신청파일에 쓸 수 없습니다.")
            .arg(serviceId)
            .arg(kServiceIdLength);
    return {};
}

RequestFileWriter::RequestFileWriter(QString serviceId, QString institutionCode)
    : serviceId_(std::move(serviceId)), institutionCode_(std::move(institutionCode)) {
    const QString problem = checkServiceId(serviceId_);
    if (!problem.isEmpty()) throw RequestFileRefused(problem);
    if (toCp949(institutionCode_).size() != kInstitutionCodeLength ||
        institutionCode_.trimmed().size() != institutionCode_.size())
        throw RequestFileRefused(
            QStringLiteral("기관코드가 설정되지 않았거나 %1자가 아닙니다.\n"
                           "배포 설정(paydesk.ini)의 institution_code를 확인하세요.")
                .arg(kInstitutionCodeLength));
}

QString RequestFileWriter::fileName(const QString& billDate, const QString& serviceId) {
    QString digits = billDate;
    digits.remove(u'-');
    return digits + u'.' + serviceId + QStringLiteral(".pay");
}

QString RequestFileWriter::header(qint64 count, qint64 total) const {
    QString r;
    r.reserve(kRecordLength);
    r += u'H';
    r += textField(serviceId_, 8);
    r += blanks(1);
    r += numberField(count, 6);
    r += numberField(total, 15);
    r += blanks(257);
    r += blanks(1);
    r += blanks(4);
    r += blanks(30);
    r += blanks(20);
    return r;
}

QString RequestFileWriter::data(int sequence, const RequestRecord& record) const {
    QString r;
    r.reserve(kRecordLength);
    r += u'D';
    r += textField(serviceId_, 8);
    r += textField(institutionCode_, 8);
    r += numberField(sequence, 6);
    r += u'N';
    r += textField(record.userid, 20);
    r += textField(record.username, 20);
    r += blanks(2);
    r += numberField(record.amount, 10);
    // Ten pairs of an empty 8-byte field and a 9-digit zero field (positions 77-246).
    for (int i = 0; i < 10; ++i) {
        r += blanks(8);
        r += zeros(9);
    }
    r += blanks(8);
    r += zeros(10);
    r += zeros(6);
    r += blanks(10);
    r += u'Y';
    r += blanks(5);
    r += blanks(1);
    r += blanks(1);
    r += blanks(1);
    r += blanks(4);
    r += blanks(30);
    r += blanks(20);
    return r;
}

QString RequestFileWriter::trailer(qint64 count, qint64 total) const {
    QString r;
    r.reserve(kRecordLength);
    r += u'T';
    r += textField(serviceId_, 8);
    r += blanks(1);
    r += numberField(count, 6);
    r += numberField(total, 15);
    r += zeros(6);
    r += zeros(15);
    r += blanks(236);
    r += blanks(1);
    r += blanks(4);
    r += blanks(30);
    r += blanks(20);
    return r;
}

QByteArray RequestFileWriter::build(const std::vector<RequestRecord>& records) const {
    const qint64 count = static_cast<qint64>(records.size());
    if (count > kMaxRecords)
        throw RequestFileRefused(
            QStringLiteral("출금요청이 %1건이라 출금신청파일에 쓸 수 없습니다.\n"
                           "한 파일에는 %2건까지 쓸 수 있습니다.")
                .arg(won(count), won(kMaxRecords)));
    qint64 total = 0;
    for (const RequestRecord& r : records) {
        if (r.amount <= 0 || r.amount > kMaxAmount)
            throw RequestFileRefused(
                QStringLiteral("%1(%2) 사용자의 요청금액 %3원은 출금신청파일에 쓸 수 없습니다.\n"
                               "요청금액은 1원부터 %4원까지입니다.")
                    .arg(r.username, r.userid, won(r.amount), won(kMaxAmount)));
        if (toCp949(r.userid).size() > 20)
            throw RequestFileRefused(
                QStringLiteral("사용자아이디(%1)가 20자를 넘어 출금신청파일에 쓸 수 없습니다.")
                    .arg(r.userid));
        total += r.amount;  // at most 999,999 × 9,999,999,999: no overflow
    }
    if (total > kMaxTotal)
        throw RequestFileRefused(
            QStringLiteral("출금요청 합계 %1원이 너무 커서 출금신청파일에 쓸 수 없습니다.\n"
                           "합계는 %2원까지입니다.")
                .arg(won(total), won(kMaxTotal)));

    // The data records differ only in four fields: each is a copy of one record built the
    // readable way, with those fields put in as bytes, so that 100,000 records cost little
    // more than copying them.
    const qsizetype line = kRecordLength + 2;
    QByteArray out(static_cast<qsizetype>(count + 2) * line, Qt::Uninitialized);
    char* at = out.data();
    auto put = [&at](const QString& text) {
        const QByteArray record = toCp949(text);
        // Every field above has its fixed width; a record of another length would shift every
        // later field of the file.
        if (record.size() != kRecordLength)
            throw RequestFileError(
                QStringLiteral("출금신청파일 레코드 길이 오류 (%1바이트)").arg(record.size()));
        std::memcpy(at, record.constData(), kRecordLength);
        at[kRecordLength] = '\r';
        at[kRecordLength + 1] = '\n';
        at += kRecordLength + 2;
    };
    put(header(count, total));
    const QByteArray pattern = toCp949(data(0, RequestRecord{}));
    if (pattern.size() != kRecordLength)
        throw RequestFileError(
            QStringLiteral("출금신청파일 레코드 길이 오류 (%1바이트)").arg(pattern.size()));
    int sequence = 0;
    for (const RequestRecord& r : records) {
        char* record = at;
        std::memcpy(record, pattern.constData(), kRecordLength);
        putDigits(record + kSequenceAt, ++sequence, 6);
        putText(record + kUserIdAt, toCp949(r.userid), 20);
        putText(record + kUserNameAt, toCp949(r.username), 20);
        putDigits(record + kAmountAt, r.amount, 10);
        record[kRecordLength] = '\r';
        record[kRecordLength + 1] = '\n';
        at += line;
        // The first record is built the readable way too: the two must agree.
        if (sequence == 1 && QByteArray(record, kRecordLength) != toCp949(data(1, r)))
            throw RequestFileError(QStringLiteral("출금신청파일 레코드 형식 오류"));
    }
    put(trailer(count, total));
    return out;
}

void RequestFileWriter::write(const QString& path,
                              const std::vector<RequestRecord>& records) const {
    const QByteArray content = build(records);
    QSaveFile file(path);
    const QString shown = QDir::toNativeSeparators(path);
    // Unbuffered: a buffered write that fails only when flushed (a full disk) goes unnoticed
    // by QSaveFile::commit(), which then puts a cut or empty file in place of the earlier one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw RequestFileError(QStringLiteral("출금신청파일을 만들 수 없습니다.\n%1\n(%2)")
                                   .arg(shown, file.errorString()));
    if (file.write(content) != content.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw RequestFileError(
            QStringLiteral("출금신청파일을 쓸 수 없습니다.\n%1\n(%2)").arg(shown, why));
    }
    if (!file.commit())
        throw RequestFileError(QStringLiteral("출금신청파일을 저장할 수 없습니다.\n%1\n(%2)")
                                   .arg(shown, file.errorString()));
}

}  // namespace billing
