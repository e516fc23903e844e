// The row conversions and checks of the care-facility imports, without servers.
#include <gtest/gtest.h>

#include <limits>

#include "facility/facility_queries.h"

using namespace facility;

namespace {

TEST(FacilityRows, BirthDateFromTheResidentNumber) {
    struct Case {
        const char* jumin;
        const char* birth;
    };
    const Case cases[] = {
        {"450312", "1945.03.12"},
        {" 450312 ", "1945.03.12"},
        {"4503121", "1945.03.12"},  // only the first six characters count
        {"", ""},
        {"4503", ""},  // too short: no half-made date
        {"45031", ""},
        {"45-312", ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.jumin);
        EXPECT_EQ(birthOfJumin(QString::fromUtf8(k.jumin)), QString::fromUtf8(k.birth));
    }
}

TEST(FacilityRows, BeneficiaryCells) {
    Beneficiary b;
    b.m_code = " M001 ";
    b.m_name = " 김순자 ";
    b.m_regist = "L1234567890";
    b.gender = "여";
    b.m_jumin1 = "450312";
    b.grade = "3등급";
    b.m_phone1 = "";
    b.m_phone2 = "010-2222-3333";
    b.residence = "사용중";
    const MateCells c = mateCellsOf(b);
    EXPECT_EQ(c.code, "M001");
    EXPECT_EQ(c.name, "김순자");
    EXPECT_EQ(c.birth, "1945.03.12");
    EXPECT_EQ(c.tel, "010-2222-3333");  // the second number when the first is empty
    EXPECT_EQ(c.contract, "이용중");

    EXPECT_EQ(contactOf("02-123-4567", "010-2222-3333"), "02-123-4567");
    EXPECT_EQ(contactOf("   ", "010-2222-3333"), "010-2222-3333");
    EXPECT_EQ(contactOf("", ""), "");
    EXPECT_EQ(contractOf("퇴소자"), "퇴소자");
    EXPECT_EQ(contractOf("입원"), "");
}

TEST(FacilityRows, DigitsAndTheTelephoneCheck) {
    EXPECT_EQ(fn_Get_OnlyNumber(""), "");
    EXPECT_EQ(fn_Get_OnlyNumber("(02)123-4567 내선 9"), "0212345679");
    EXPECT_EQ(fn_Get_OnlyNumber("010-1234-5678"), "01012345678");

    EXPECT_TRUE(isDialableNumber("010-1234-5678"));
    EXPECT_TRUE(isDialableNumber("9223372036854775807"));    // the largest 64-bit number
    EXPECT_FALSE(isDialableNumber("9223372036854775808"));   // one more
    EXPECT_FALSE(isDialableNumber("12345678901234567890"));  // too many digits
    EXPECT_FALSE(isDialableNumber("없음"));
    EXPECT_FALSE(isDialableNumber("--"));
}

TEST(FacilityRows, BankNamesAndCodes) {
    EXPECT_EQ(bankNameOfCode("003"), "기업은행");
    EXPECT_EQ(bankNameOfCode(" 088 "), "신한은행");
    EXPECT_EQ(bankNameOfCode("999"), "");
    EXPECT_EQ(bankNameOfCode(""), "");
    EXPECT_EQ(bankCodeOfName("우체국"), "071");
    EXPECT_EQ(bankCodeOfName(" 수협 "), "007");
    // Only a whole name of the table names a bank: "은행" alone is in many lines.
    EXPECT_EQ(bankCodeOfName("은행"), "");
    EXPECT_EQ(bankCodeOfName(""), "");
}

ImportRow completeRow() {
    ImportRow r;
    r.name = " 김순자 ";
    r.code = " M001 ";
    r.tel = " 010-1234-5678 ";
    r.bank = "국민은행";
    r.account = " 123-45-6789 ";
    r.accountname = " 김아들 ";
    r.birth = "1945.03.12";
    return r;
}

TEST(FacilityRows, ChecksInTheirOrderNameTheBeneficiary) {
    struct Case {
        const char* what;
        void (*spoil)(ImportRow&);
        QString expected;
    };
    const Case cases[] = {
        {"complete", [](ImportRow&) {}, QString()},
        {"no telephone", [](ImportRow& r) { r.tel = "  "; }, "김순자" + kEnterTel},
        {"telephone without digits", [](ImportRow& r) { r.tel = "없음"; }, "김순자" + kCheckTel},
        {"telephone beyond 64 bits", [](ImportRow& r) { r.tel = "9999-9999-9999-9999-9999"; },
         "김순자" + kCheckTel},
        {"no bank", [](ImportRow& r) { r.bank = ""; }, "김순자" + kEnterBank},
        {"unknown bank", [](ImportRow& r) { r.bank = "은행"; }, "김순자" + kEnterBank},
        {"no account", [](ImportRow& r) { r.account = " "; }, "김순자" + kEnterAccount},
        {"no holder", [](ImportRow& r) { r.accountname = ""; }, "김순자" + kEnterHolder},
        // Several faults: the first check decides.
        {"everything missing",
         [](ImportRow& r) { r.tel = r.bank = r.account = r.accountname = ""; },
         "김순자" + kEnterTel},
        {"bank and holder missing", [](ImportRow& r) { r.bank = r.accountname = ""; },
         "김순자" + kEnterBank},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        ImportRow r = completeRow();
        k.spoil(r);
        EXPECT_EQ(checkImportRow(r), k.expected);
    }
    EXPECT_EQ(kEnterTel, " 연락처를 입력하세요.");
}

TEST(FacilityRows, TheFirstFailingRowIsNamed) {
    ImportRow second = completeRow();
    second.name = "이영수";
    second.account = "";
    ImportRow third = completeRow();
    third.name = "박철수";
    third.tel = "";
    EXPECT_EQ(checkImportRows({completeRow(), second, third}), "이영수" + kEnterAccount);
    EXPECT_EQ(checkImportRows({completeRow(), completeRow()}), "");
}

TEST(FacilityRows, StoredValuesOfARow) {
    ImportRow r = completeRow();
    r.tel = " (02)123-4567 ";
    const NewBeneficiaryPayer p = payerOfRow(r);
    EXPECT_EQ(p.dlbid, "M001");
    EXPECT_EQ(p.username, "김순자");
    EXPECT_EQ(p.bankcode, "004");
    EXPECT_EQ(p.account, "123-45-6789");  // the account is kept as typed
    EXPECT_EQ(p.accountname, "김아들");
    EXPECT_EQ(p.birth, "1945-03-12");
    EXPECT_EQ(p.tel, "021234567");  // dashes and the brackets of the area code go
    EXPECT_EQ(payerOfRow(completeRow()).tel, "01012345678");
}

TEST(FacilityRows, BilledAmounts) {
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    struct Case {
        const char* what;
        Demand d;
        qint64 withUnpaid;
        qint64 monthly;
    };
    const Case cases[] = {
        {"billed, unpaid, paid", {"M1", 300000, 50000, 100000}, 250000, 200000},
        {"nothing paid", {"M2", 120000, 0, 0}, 120000, 120000},
        {"overpaid", {"M3", 100000, 0, 150000}, 0, 0},
        {"paid this month, unpaid left", {"M4", 100000, 30000, 100000}, 30000, 0},
        {"beyond 32 bits", {"M5", 5000000000, 3000000000, 1000000000}, 7000000000, 4000000000},
        {"at the 64-bit limit", {"M6", kMax, kMax, 0}, kMax, kMax},
        {"negative billing", {"M7", -50000, 0, 0}, 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        EXPECT_EQ(amountOf(k.d, true), k.withUnpaid);
        EXPECT_EQ(amountOf(k.d, false), k.monthly);
    }
}

}  // namespace
