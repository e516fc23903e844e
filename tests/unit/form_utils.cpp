// The shared form utilities: fixed-width fields counted in code page 949 bytes, the bank table,
// the error translation and the Hangul input set-up.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QWidget>

#include "app/form_utils.h"
#include "platform/codepage/codepage.h"
#include "platform/ime/input_mode.h"

using platform::codepage::cp949Length;

namespace {

struct StrCase {
    const char* name;
    QString text;
    int width;
    QString expected;
};

class FormatStr : public ::testing::TestWithParam<StrCase> {};

TEST_P(FormatStr, GivesExactlyTheWidthInBytes) {
    const StrCase& c = GetParam();
    const QString out = app::pr_Get_Value_FormatStr(c.text, c.width);
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(cp949Length(out), std::max(c.width, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatStr,
    ::testing::Values(
        // Three syllables (6 bytes) and 14 blanks: 20 bytes, 17 characters.
        StrCase{"hangul_name_at_20", QStringLiteral("홍길동"), 20,
                QStringLiteral("홍길동") + QString(14, u' ')},
        // The third syllable would need bytes 5 and 6: dropped, one blank instead.
        StrCase{"hangul_cut_at_5", QStringLiteral("홍길동"), 5, QStringLiteral("홍길 ")},
        StrCase{"hangul_cut_at_even", QStringLiteral("홍길동"), 4, QStringLiteral("홍길")},
        StrCase{"mixed_cut_inside_syllable", QStringLiteral("A홍B"), 2, QStringLiteral("A ")},
        StrCase{"ascii_cut", QStringLiteral("ABCDEFGHIJ"), 8, QStringLiteral("ABCDEFGH")},
        StrCase{"empty_is_blanks", QString(), 30, QString(30, u' ')},
        StrCase{"exact_width", QStringLiteral("AB신한"), 6, QStringLiteral("AB신한")},
        // Syllables of the code page's extension beyond KS X 1001 take two bytes as well.
        StrCase{"extended_hangul", QStringLiteral("똠방각하"), 7, QStringLiteral("똠방각 ")},
        StrCase{"zero_width", QStringLiteral("ABC"), 0, QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatStr, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    // One byte each, like the code page conversion of Windows.
    const QString out = app::pr_Get_Value_FormatStr(QStringLiteral("a😀b"), 5);
    EXPECT_EQ(cp949Length(out), 5);
    EXPECT_TRUE(out.startsWith(u'a'));
    EXPECT_FALSE(out.contains(QStringLiteral("😀")));
}

struct IntCase {
    const char* name;
    QString text;
    int width;
    QString expected;
};

class FormatInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(FormatInt, ZeroFillsAndNeverCuts) {
    const IntCase& c = GetParam();
    EXPECT_EQ(app::pr_Get_Value_FormatInt(c.text, c.width), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatInt,
    ::testing::Values(
        IntCase{"zero_at_9", QStringLiteral("0"), 9, QStringLiteral("000000000")},
        IntCase{"amount_at_10", QStringLiteral("1500"), 10, QStringLiteral("0000001500")},
        IntCase{"longer_unchanged", QStringLiteral("12345678901"), 10,
                QStringLiteral("12345678901")},
        IntCase{"exact_unchanged", QStringLiteral("1234"), 4, QStringLiteral("1234")},
        IntCase{"negative_zeros_before_sign", QStringLiteral("-5"), 4, QStringLiteral("00-5")},
        IntCase{"empty_all_zeros", QString(), 3, QStringLiteral("000")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BankTable, HoldsTheNineteenLinesInOrder) {
    const QStringList& lines = app::mem_BaseBank();
    ASSERT_EQ(lines.size(), 19);
    EXPECT_EQ(lines.first(), QStringLiteral("(003)기업은행"));
    EXPECT_EQ(lines.last(), QStringLiteral("(088)신한은행"));
    for (const QString& l : lines) {
        EXPECT_FALSE(l.contains(u' ')) << l.toStdString();
        EXPECT_EQ(app::Fn_Get_Code(l, QStringLiteral("("), QStringLiteral(")")).size(), 3)
            << l.toStdString();
    }
}

struct BankCase {
    QString code;
    QString name;
};

class BankName : public ::testing::TestWithParam<BankCase> {};

TEST_P(BankName, MatchesTheCodeExactly) {
    EXPECT_EQ(app::Fn_Get_Value_BankName(GetParam().code), GetParam().name)
        << GetParam().code.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BankName,
    ::testing::Values(BankCase{QStringLiteral("003"), QStringLiteral("기업은행")},
                      BankCase{QStringLiteral("088"), QStringLiteral("신한은행")},
                      BankCase{QStringLiteral("045"), QStringLiteral("새마을금고")},
                      BankCase{QStringLiteral("88"), QString()},
                      BankCase{QStringLiteral(" 088"), QString()},
                      BankCase{QStringLiteral("088 "), QString()},
                      BankCase{QStringLiteral("999"), QString()}, BankCase{QString(), QString()}));

struct CodeCase {
    QString text, d1, d2, expected;
};

class GetCode : public ::testing::TestWithParam<CodeCase> {};

TEST_P(GetCode, TakesTheTextBetweenTheFirstDelimiters) {
    const CodeCase& c = GetParam();
    EXPECT_EQ(app::Fn_Get_Code(c.text, c.d1, c.d2), c.expected) << c.text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetCode,
    ::testing::Values(CodeCase{QStringLiteral("(003)기업은행"), "(", ")", QStringLiteral("003")},
                      // Only the first occurrences count.
                      CodeCase{QStringLiteral("(11)(22)"), "(", ")", QStringLiteral("11")},
                      // No first delimiter: the text before the second.
                      CodeCase{QStringLiteral("003)기업은행"), "(", ")", QStringLiteral("003")},
                      // No second delimiter, or it stands before the first: nothing.
                      CodeCase{QStringLiteral("(003기업은행"), "(", ")", QString()},
                      CodeCase{QStringLiteral(")003(기업은행"), "(", ")", QString()},
                      CodeCase{QStringLiteral("()"), "(", ")", QString()},
                      CodeCase{QString(), "(", ")", QString()},
                      // Longer delimiters.
                      CodeCase{QStringLiteral("a<<b>>c"), "<<", ">>", QStringLiteral("<b")}));

struct ErrorCase {
    const char* name;
    QString message;
    QString expected;
};

class ErrorType : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorType, TranslatesByTheFirstRuleThatHolds) {
    EXPECT_EQ(app::Fn_Get_ErrorType(GetParam().message), GetParam().expected);
}

const QString kDuplicate = QStringLiteral("(데이터베이스) 중복 오류가 발생했습니다.");
const QString kNull = QStringLiteral("(데이터베이스) 빈 값을 입력 할 수 없습니다.");
const QString kColumn = QStringLiteral("(데이터베이스) 알 수 없는 칼럼이 사용 되었습니다.");
const QString kPrint = QStringLiteral("(출력) 출력 작업 중 오류가 발생했습니다.");
const QString kTooLong = QStringLiteral("(데이터베이스) 허용된 글자 길이를 초과했습니다.");
const QString kExcel = QStringLiteral("(Excel) 엑셀 파일을 읽어오는 중 오류가 발생했습니다.");

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorType,
    ::testing::Values(
        ErrorCase{"duplicate", QStringLiteral("Duplicate entry '1-2' for key 'PRIMARY'"),
                  kDuplicate},
        ErrorCase{"duplicate_upper", QStringLiteral("DUPLICATE ENTRY 'x' FOR KEY 'a'"), kDuplicate},
        ErrorCase{"duplicate_mixed", QStringLiteral("#23000 dUpLiCaTe EnTrY"), kDuplicate},
        ErrorCase{"null", QStringLiteral("Column 'username' cannot be null"), kNull},
        ErrorCase{"unknown_column", QStringLiteral("Unknown column 'x' in 'field list'"), kColumn},
        ErrorCase{"too_long", QStringLiteral("Data too long for column 'username' at row 1"),
                  kTooLong},
        // The first rule decides when several hold.
        ErrorCase{"first_rule_wins",
                  QStringLiteral("Data too long for column 'a'; Duplicate entry 'b'"), kDuplicate},
        ErrorCase{"print_exact", QStringLiteral("출력오류"), kPrint},
        ErrorCase{"excel_exact", QStringLiteral("엑셀오류"), kExcel},
        ErrorCase{"print_not_exact", QStringLiteral("출력오류 발생"),
                  QStringLiteral("출력오류 발생")},
        ErrorCase{"excel_padded", QStringLiteral(" 엑셀오류"), QStringLiteral(" 엑셀오류")},
        ErrorCase{"lost_connection", QStringLiteral("Lost connection to server during query"),
                  QStringLiteral("Lost connection to server during query")},
        ErrorCase{"ftp_reply", QStringLiteral("550 파일이 없습니다."),
                  QStringLiteral("550 파일이 없습니다.")},
        ErrorCase{"empty", QString(), QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImeMode, MarksPlainEditorsWithoutAPreferenceForHangul) {
    using platform::ime::InputMode;
    QWidget form;
    auto* name = new QLineEdit(&form);
    auto* memo = new QPlainTextEdit(&form);
    auto* combo = new QComboBox(&form);
    combo->setEditable(true);
    auto* alpha = new QLineEdit(&form);
    platform::ime::setInputMode(alpha, InputMode::Alpha);
    auto* password = new QLineEdit(&form);
    password->setEchoMode(QLineEdit::Password);
    auto* date = new QDateEdit(&form);
    auto* spin = new QSpinBox(&form);
    auto* nested = new QLineEdit(new QWidget(&form));

    app::pr_Set_UI_ImeMode(&form);

    EXPECT_EQ(platform::ime::inputMode(name), InputMode::Hangul);
    EXPECT_FALSE(name->inputMethodHints() & Qt::ImhPreferLatin);
    EXPECT_EQ(platform::ime::inputMode(memo), InputMode::Hangul);
    EXPECT_EQ(platform::ime::inputMode(combo), InputMode::Hangul);
    EXPECT_EQ(platform::ime::inputMode(combo->lineEdit()), InputMode::Hangul);
    EXPECT_EQ(platform::ime::inputMode(nested), InputMode::Hangul);
    // A mode the form chose stays; passwords and the boxes inside date and number editors are
    // left alone.
    EXPECT_EQ(platform::ime::inputMode(alpha), InputMode::Alpha);
    EXPECT_EQ(platform::ime::inputMode(password), InputMode::Default);
    EXPECT_EQ(platform::ime::inputMode(date), InputMode::Default);
    for (QLineEdit* inner : date->findChildren<QLineEdit*>())
        EXPECT_EQ(platform::ime::inputMode(inner), InputMode::Default);
    for (QLineEdit* inner : spin->findChildren<QLineEdit*>())
        EXPECT_EQ(platform::ime::inputMode(inner), InputMode::Default);

    app::pr_Set_UI_ImeMode(nullptr);  // no form: nothing happens
}

}  // namespace
