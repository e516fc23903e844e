// What the request file cannot hold is refused before anything is written.
#include <gtest/gtest.h>

#include "billing/request_file_writer.h"

using billing::RequestFileRefused;
using billing::RequestFileWriter;
using billing::RequestRecord;

namespace {

std::vector<RequestRecord> records(size_t n, qint64 amount) {
    return std::vector<RequestRecord>(
        n, RequestRecord{QStringLiteral("0000000001"), QStringLiteral("홍길동"), amount});
}

TEST(RequestFileWriter, ValuesBeyondTheirFieldsAreRefused) {
    const RequestFileWriter w(QStringLiteral("CMS0001"), QStringLiteral("99887766"));
    const struct {
        const char* what;
        std::vector<RequestRecord> rows;
    } cases[] = {
        {"amount of 11 digits", records(1, 10'000'000'000LL)},
        {"amount 0", records(1, 0)},
        {"negative amount", records(1, -5)},
        {"total of 16 digits", records(100'001, 9'999'999'999LL)},
        {"1,000,000 records", records(1'000'000, 1)},
        {"payer id over 20 bytes",
         {RequestRecord{QString(21, u'1'), QStringLiteral("홍길동"), 1000}}},
    };
    for (const auto& c : cases) EXPECT_THROW(w.build(c.rows), RequestFileRefused) << c.what;
}

TEST(RequestFileWriter, LargestValuesThatFitAreWritten) {
    const RequestFileWriter w(QStringLiteral("CMS0001"), QStringLiteral("99887766"));
    const QByteArray one = w.build(records(1, 9'999'999'999LL));
    EXPECT_EQ(one.mid(345 + 66, 10), QByteArray("9999999999"));
    // 100,000 records of the largest amount: a total of 15 digits.
    const QByteArray many = w.build(records(100'000, 9'999'999'999LL));
    EXPECT_EQ(many.size(), 100'002 * 345);
    EXPECT_EQ(many.mid(10, 21), QByteArray("100000999999999900000"));
    EXPECT_EQ(many.mid(many.size() - 345, 52),
              QByteArray("TCMS0001  100000999999999900000") + QByteArray(21, '0'));
}

TEST(RequestFileWriter, ServiceIdAndInstitutionCodeMustFitTheirFields) {
    for (const char* bad : {"", "../x", "a\\b", "S 1", "S.1", "CMS000012", "가나"})
        EXPECT_THROW(RequestFileWriter(QString::fromUtf8(bad), QStringLiteral("99887766")),
                     RequestFileRefused)
            << bad;
    for (const char* bad : {"", "9988776", "998877665", " 9988776"})
        EXPECT_THROW(RequestFileWriter(QStringLiteral("CMS0001"), QString::fromUtf8(bad)),
                     RequestFileRefused)
            << bad;
    EXPECT_NO_THROW(RequestFileWriter(QStringLiteral("AB-_1234"), QStringLiteral("99887766")));
    EXPECT_EQ(RequestFileWriter::fileName(QStringLiteral("2024-05-02"), QStringLiteral("S")),
              QStringLiteral("20240502.S.pay"));
}

}  // namespace
