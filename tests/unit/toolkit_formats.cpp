// Number display formats, typed amounts, file-dialog filters and the filter operators of the
// grid toolkit.
#include <gtest/gtest.h>

#include "platform/ui/column_filter.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/number_format.h"
#include "platform/ui/qt_message_service.h"

using namespace platform::ui;

namespace {

TEST(NumberFormat, Table) {
    struct Case {
        double value;
        const char* format;
        const char* shown;
    } cases[] = {
        {0, ",0.;-,0.", "0"},
        {15000, ",0.;-,0.", "15,000"},
        {-1234567, ",0.;-,0.", "-1,234,567"},
        {999, ",0.;-,0.", "999"},
        {1000, ",0.;-,0.", "1,000"},
        {100000000000.0, ",0.;-,0.", "100,000,000,000"},
        {1234, "#,##0 건", "1,234 건"},
        {0, "#,##0 건", "0 건"},
        {1250067, "#,##0 원", "1,250,067 원"},
        {-500, "#,##0 원", "-500 원"},  // no negative section: a leading minus
        {1234.5, "#,##0.00", "1,234.50"},
        {7, "000", "007"},
        {0.4, "#,##0", "0"},  // rounds to zero: no sign
        {-0.4, "#,##0", "0"},
        {12, "\"합계 \"#,##0", "합계 12"},  // quoted literal
        {0, "#,##0;-#,##0;없음", "없음"},   // zero section
        {1500, "", "1500"},                 // no format
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatNumber(c.value, QString::fromUtf8(c.format)), QString::fromUtf8(c.shown))
            << c.value << " " << c.format;
}

TEST(NumberFormat, ParseWholeNumber) {
    EXPECT_EQ(parseWholeNumber("15,000"), 15000);
    EXPECT_EQ(parseWholeNumber(" 42 "), 42);
    EXPECT_EQ(parseWholeNumber("-1,234"), -1234);
    EXPECT_EQ(parseWholeNumber("999999999999999"), 999999999999999);
    for (const char* bad : {"", " ", "-", "12a", "1.5", "1234567890123456", "１２"})
        EXPECT_FALSE(parseWholeNumber(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(FileFilter, WindowsStyleBecomesQtStyle) {
    struct Case {
        const char* windows;
        const char* qt;
    } cases[] = {
        {"JPG|*.JPG", "JPG (*.JPG)"},
        {"JPG|*.JPG|모든 파일|*.*", "JPG (*.JPG);;모든 파일 (*.*)"},
        {"그림|*.jpg;*.jpeg", "그림 (*.jpg *.jpeg)"},
        {"엑셀 파일 (*.xlsx)|*.xlsx", "엑셀 파일 (*.xlsx)"},
        {"*.pay", "*.pay (*.pay)"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qtFileFilter(QString::fromUtf8(c.windows)), QString::fromUtf8(c.qt)) << c.windows;
}

TEST(ColumnFilterOps, TextsInDialogOrder) {
    QStringList texts;
    for (FilterOp op : filterOps()) texts << filterOpText(op);
    EXPECT_EQ(texts, QStringList({"=", "<>", "<", "<=", ">", ">=", "유사값(like)",
                                  "유사하지않은(not like)", "공백(is blank)",
                                  "공백아닌것(is not blank)"}));
}

TEST(ColumnFilterOps, LikeMatchesWholeTextWithWildcards) {
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    } cases[] = {
        {"신한은행", "신한%", true},   {"신한은행", "%은행", true},   {"신한은행", "신한", false},
        {"신한은행", "신_은행", true}, {"신한은행", "신*", true},     {"Shinhan", "shin%", true},
        {"a.b", "a.b", true},          {"axb", "a.b", false},         {"", "%", true},
        {"100%", "100%", true},        {"(003)기업", "(003)%", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(likeMatch(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)), c.match)
            << c.text << " like " << c.pattern;
}

TEST(ColumnFilterOps, BlankCellsAndNumbers) {
    const FilterCondition blank{FilterOp::Blank, {}};
    EXPECT_TRUE(conditionMatches(blank, QVariant(), "", false));
    EXPECT_TRUE(conditionMatches(blank, QString("  "), "  ", false));
    EXPECT_FALSE(conditionMatches(blank, qint64(0), "0", true)) << "0 is a value";
    const FilterCondition less{FilterOp::Less, 100.0};
    EXPECT_TRUE(conditionMatches(less, qint64(99), "99", true));
    EXPECT_FALSE(conditionMatches(less, QVariant(), "", true)) << "blank is not less";
    EXPECT_TRUE(conditionMatches({FilterOp::NotEqual, 100.0}, QVariant(), "", true));
    // Numbers compare as numbers, not as text ("9" > "10" as text).
    EXPECT_TRUE(conditionMatches({FilterOp::Greater, 10.0}, qint64(9) * 2, "18", true));
    EXPECT_FALSE(conditionMatches({FilterOp::Greater, 10.0}, qint64(9), "9", true));

    ColumnFilter orFilter("c", {FilterOp::Equal, QString("가")});
    orFilter.addCondition({FilterOp::Equal, QString("나")});
    orFilter.setOrJoined(true);
    EXPECT_TRUE(orFilter.matches(QString("나"), "나", false));
    EXPECT_FALSE(orFilter.matches(QString("다"), "다", false));
    orFilter.setOrJoined(false);
    EXPECT_FALSE(orFilter.matches(QString("나"), "나", false));
    EXPECT_EQ(orFilter.describe("은행"), QStringLiteral("[은행] = 가 그리고 [은행] = 나"));
}

TEST(DateText, ParseAndDisplayFormats) {
    EXPECT_EQ(DateEdit::parse("2024-05-02"), QDate(2024, 5, 2));
    EXPECT_EQ(DateEdit::parse("2024.5.2"), QDate(2024, 5, 2));
    EXPECT_EQ(DateEdit::parse("20240502"), QDate(2024, 5, 2));
    EXPECT_FALSE(DateEdit::parse("9999-99-99").isValid());
    EXPECT_FALSE(DateEdit::parse("2024052").isValid());
    EXPECT_FALSE(DateEdit::parse("").isValid());
    EXPECT_EQ(DateEdit::qtFormat("YYYY-MM-DD"), QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(DateEdit::qtFormat("YYYY.MM.DD"), QStringLiteral("yyyy.MM.dd"));
}

}  // namespace
