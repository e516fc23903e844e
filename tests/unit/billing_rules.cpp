// The three time rules of the withdrawal request, each as a table of moments around the
// 16:00:00 deadline.
#include <gtest/gtest.h>

#include "billing/billing_rules.h"

namespace {

QDateTime at(const char* text) {
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDate day(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
}

TEST(BillingRules, DefaultDateFollowsTheLocalClock) {
    const struct {
        const char* localNow;
        const char* expected;
    } cases[] = {
        {"2024-05-02 00:00:00", "2024-05-03"},
        {"2024-05-02 15:59:59", "2024-05-03"},  // before the deadline: tomorrow
        {"2024-05-02 16:00:00", "2024-05-04"},  // the deadline itself: the day after tomorrow
        {"2024-05-02 23:59:59", "2024-05-04"},
        {"2024-12-31 16:30:00", "2025-01-02"},
        {"2024-02-28 09:00:00", "2024-02-29"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(billing::defaultBillDate(at(c.localNow)), day(c.expected)) << c.localNow;
}

TEST(BillingRules, RegistrationClosesAtTheDeadlineOfTheLocalDay) {
    const struct {
        const char* serverNow;  // as " select now(3) as DT  " returns it
        const char* localToday;
        bool closed;
    } cases[] = {
        {"2024-05-02 15:59:59.999", "2024-05-02", false},
        {"2024-05-02 16:00:00.000", "2024-05-02", true},
        {"2024-05-02 16:00:00.001", "2024-05-02", true},
        {"2024-05-02 23:59:59.000", "2024-05-02", true},
        {"2024-05-02 08:00:00.000", "2024-05-02", false},
        // The server already in the next day while the local date still says today.
        {"2024-05-03 00:00:00.000", "2024-05-02", true},
        // The server behind the local clock: its time of the day before is before the deadline.
        {"2024-05-01 17:00:00.000", "2024-05-02", false},
        {"2024-05-02 15:59:59", "2024-05-02", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(billing::registrationClosed(QString::fromLatin1(c.serverNow), day(c.localToday)),
                  c.closed)
            << c.serverNow << " / " << c.localToday;
}

TEST(BillingRules, EditLockFollowsTheChosenDate) {
    const struct {
        const char* serverDt;  // `dt` of the load
        const char* billDate;
        bool editable;
    } cases[] = {
        {"2024-05-02 09:00:00", "2024-05-03", true},  // tomorrow: editable all day today
        {"2024-05-02 23:59:59", "2024-05-03", true},
        {"2024-05-02 15:59:59", "2024-05-02", true},  // today: until 16:00 today
        {"2024-05-02 16:00:00", "2024-05-02", false},
        {"2024-05-02 09:00:00", "2024-05-01", false},  // a past date: read only
        {"2024-05-02 09:00:00", "2024-06-30", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(billing::amountsEditable(QString::fromLatin1(c.serverDt),
                                           QString::fromLatin1(c.billDate)),
                  c.editable)
            << c.serverDt << " / " << c.billDate;
}

TEST(BillingRules, ServerTimesAreComparedInTheirTextForm) {
    EXPECT_EQ(billing::serverTimeText(QStringLiteral("2024-05-02 15:59:59.999")),
              QStringLiteral("2024-05-02 15:59:59"));
    EXPECT_EQ(billing::serverTimeText(QStringLiteral("2024-05-02 07:05:09")),
              QStringLiteral("2024-05-02 07:05:09"));
    EXPECT_EQ(billing::deadlineMoment(QStringLiteral("2024-05-02")),
              QStringLiteral("2024-05-02 16:00:00"));
    // Another deadline box text moves every rule with it.
    EXPECT_FALSE(billing::isBeforeDeadline(QStringLiteral("2024-05-02 15:00:00"),
                                           QStringLiteral("2024-05-02"),
                                           QStringLiteral("15:00:00")));
}

TEST(BillingRules, HistoryRangeIsTheWholeCurrentMonth) {
    const struct {
        const char* today;
        const char* first;
        const char* last;
    } cases[] = {
        {"2024-05-01", "2024-05-01", "2024-05-31"}, {"2024-05-31", "2024-05-01", "2024-05-31"},
        {"2024-02-10", "2024-02-01", "2024-02-29"}, {"2023-02-10", "2023-02-01", "2023-02-28"},
        {"2024-12-17", "2024-12-01", "2024-12-31"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(billing::firstDayOfMonth(day(c.today)), day(c.first)) << c.today;
        EXPECT_EQ(billing::lastDayOfMonth(day(c.today)), day(c.last)) << c.today;
    }
}

}  // namespace
