// The care-facility import statements against the real servers: the care-facility database
// reached through UniCon as the login configures it, and the service database.
#include <gtest/gtest.h>

#include <memory>

#include "app/data_module.h"
#include "app/form_utils.h"
#include "app/login_queries.h"
#include "facility/facility_queries.h"
#include "platform/sql/connection.h"
#include "platform/sql/sql_error.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using facility::ContractFilter;
using platform::sql::Connection;
using platform::sql::SqlError;

namespace {

const QString kSicode = QStringLiteral("FAC0001");
const QString kSid = QStringLiteral("HB000001");

// UniCon as the login of a company with a facility code leaves it.
platform::sql::ConnectionSettings loginUniCon(const QString& sicode) {
    addServerInfo(sicode);
    Connection wonju(wonjuDb());
    wonju.open();
    const auto server = app::selectFacilityServer(wonju, sicode);
    EXPECT_TRUE(server);
    platform::sql::ConnectionSettings uniCon;
    if (server) {
        EXPECT_TRUE(app::applyFacilityServer(*server, uniCon));
    }
    return uniCon;
}

class FacilityQueries : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        exec(baseDb(),
             "insert into cms_company (id, pw, serviceid, comptype, compno, compname, sicode) "
             "values ('haengbok01', 'pw1234', 'HB000001', '개인사업자', '1208812345', "
             "'행복한요양원', 'FAC0001')");
        care = std::make_unique<Connection>(loginUniCon(kSicode));
        care->open();
        base = std::make_unique<Connection>(baseDb());
        base->open();
    }
    static void addMate(const QString& sicode, const QString& code, const QString& name,
                        const QString& residence, const QString& jumin = "450312",
                        const QString& phone1 = "010-1111-2222", const QString& phone2 = "") {
        exec(careDb(),
             QStringLiteral("insert into base_mate (sicode, m_code, m_name, m_regist, "
                            "`성별`, m_jumin1, `등급`, m_phone1, m_phone2, `거주현황`) "
                            "values ('%1','%2','%3','L%2','여','%4','3등급','%5','%6','%7')")
                 .arg(sicode, code, name, jumin, phone1, phone2, residence));
    }
    static void addPayer(const QString& userid, const QString& dlbid, const QString& name,
                         const QString& stat, const QString& sid = kSid) {
        exec(baseDb(),
             QStringLiteral("insert into cms_user (serviceid, userid, dlbid, username, "
                            "bankcode, account, accountname, tel, stat) values "
                            "('%1','%2',%3,'%4','003','111-22','%4','0101234%2','%5')")
                 .arg(sid, userid, dlbid.isNull() ? QStringLiteral("NULL") : "'" + dlbid + "'",
                      name, stat));
    }
    std::unique_ptr<Connection> care;
    std::unique_ptr<Connection> base;
};

TEST_F(FacilityQueries, BeneficiariesOfTheFacilityByContractStatusInNameOrder) {
    addMate(kSicode, "M03", "다현", "사용중");
    addMate(kSicode, "M01", "가영", "퇴소자");
    addMate(kSicode, "M02", "나리", "사용중", "", "", "02-333-4444");
    addMate(kSicode, "M04", "라온", "입원");
    addMate("FAC0002", "M05", "마루", "사용중");

    struct Case {
        ContractFilter filter;
        QStringList names;
    };
    const Case cases[] = {
        {ContractFilter::All, {"가영", "나리", "다현", "라온"}},
        {ContractFilter::InCare, {"나리", "다현"}},
        {ContractFilter::Discharged, {"가영"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(static_cast<int>(k.filter));
        QStringList names;
        for (const auto& b : facility::fetchBeneficiaries(*care, kSicode, k.filter))
            names << b.m_name;
        EXPECT_EQ(names, k.names);
    }

    const auto inCare = facility::fetchBeneficiaries(*care, kSicode, ContractFilter::InCare);
    ASSERT_EQ(inCare.size(), 2u);
    const facility::MateCells nari = facility::mateCellsOf(inCare[0]);
    EXPECT_EQ(nari.code, "M02");
    EXPECT_EQ(nari.regist, "LM02");
    EXPECT_EQ(nari.gender, "여");
    EXPECT_EQ(nari.grade, "3등급");
    EXPECT_EQ(nari.birth, "");  // no resident number stored
    EXPECT_EQ(nari.tel, "02-333-4444");
    EXPECT_EQ(nari.contract, "이용중");
    const facility::MateCells dahyun = facility::mateCellsOf(inCare[1]);
    EXPECT_EQ(dahyun.birth, "1945.03.12");
    EXPECT_EQ(dahyun.tel, "010-1111-2222");
}

TEST_F(FacilityQueries, RegisteredMarksOnlyForTheThreeActiveStatuses) {
    addPayer("0000000001", "M01", "가영", "등록대기");
    addPayer("0000000002", "M02", "나리", "등록요청");
    addPayer("0000000003", "M03", "다현", "등록완료");
    addPayer("0000000004", "M04", "라온", "해지대기");
    addPayer("0000000005", "M05", "마루", "해지완료");
    addPayer("0000000006", QString(), "바다", "등록완료");  // entered by hand: NULL code
    addPayer("0000000007", "", "사랑", "등록완료");         // entered by hand: empty code
    addPayer("0000000008", "M08", "아름", "등록완료", "OTHER");
    exec(baseDb(),
         "insert into cms_company (id, pw, serviceid, compno) values ('other', 'x', 'OTHER', "
         "'9999999999')");

    QStringList codes;
    for (const auto& p : facility::fetchRegisteredPayers(*base, kSid)) codes << p.dlbid;
    EXPECT_EQ(codes, (QStringList{"M01", "M02", "M03"}));

    const auto registered = facility::fetchRegisteredPayers(*base, kSid);
    const facility::RegisteredCells cells = facility::registeredCellsOf(registered[2]);
    EXPECT_EQ(cells.bank, "기업은행");
    EXPECT_EQ(cells.account, "111-22");
    EXPECT_EQ(cells.accountname, "다현");
    EXPECT_EQ(cells.tel, "01012340000000003");

    // A company that has no cms_company row owns no registered beneficiaries.
    addPayer("0000000009", "M09", "자연", "등록완료", "NOCOMPANY");
    EXPECT_TRUE(facility::fetchRegisteredPayers(*base, "NOCOMPANY").empty());
}

facility::ImportRow importRow(const QString& name, const QString& code, const QString& bank) {
    facility::ImportRow r;
    r.name = name;
    r.code = code;
    r.tel = "010-1234-5678";
    r.bank = bank;
    r.account = "123-45-" + code;
    r.accountname = name + "보호자";
    r.birth = "1945.03.12";
    return r;
}

std::vector<facility::NewBeneficiaryPayer> threeNewPayers() {
    // Grid order, not name order: the numbers must follow it.
    return {facility::payerOfRow(importRow("하나", "M10", "신한은행")),
            facility::payerOfRow(importRow("가나", "M11", "농협")),
            facility::payerOfRow(importRow("다라", "M12", "우체국"))};
}

TEST_F(FacilityQueries, BatchNumbersFollowTheCompanysHighestInGridOrder) {
    addPayer("0000000007", "", "기존1", "등록완료");
    addPayer("0000000041", "", "기존2", "해지대기");  // the highest counts whatever its status
    addPayer("0000000099", "", "남의", "등록완료", "OTHER");

    facility::insertBeneficiaries(*base, kSid, threeNewPayers());

    EXPECT_EQ(rows(baseDb(),
                   "select userid, dlbid, groupname, username, bankcode, account, accountname, "
                   "birth, tel, memo, stat, startdate, enddate from cms_user where serviceid = "
                   "'HB000001' and userid > '0000000041' order by userid"),
              (std::vector<QStringList>{
                  {"0000000042", "M10", "", "하나", "088", "123-45-M10", "하나보호자", "1945-03-12",
                   "01012345678", "", "등록대기", "9999-99-99", "9999-99-99"},
                  {"0000000043", "M11", "", "가나", "011", "123-45-M11", "가나보호자", "1945-03-12",
                   "01012345678", "", "등록대기", "9999-99-99", "9999-99-99"},
                  {"0000000044", "M12", "", "다라", "071", "123-45-M12", "다라보호자", "1945-03-12",
                   "01012345678", "", "등록대기", "9999-99-99", "9999-99-99"},
              }));
    // The import leaves the timestamp unset.
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_user where recdatetime is not null"), "0");
}

TEST_F(FacilityQueries, FirstPayerOfACompanyIsNumberOne) {
    facility::insertBeneficiaries(*base, kSid, {threeNewPayers()[0]});
    EXPECT_EQ(scalar(baseDb(), "select userid from cms_user"), "0000000001");
}

TEST_F(FacilityQueries, AFailureOnTheThirdInsertStoresNone) {
    addPayer("0000000041", "", "기존", "등록완료");
    auto payers = threeNewPayers();
    payers[2].account = QString(31, u'1');  // longer than the column holds
    try {
        facility::insertBeneficiaries(*base, kSid, payers);
        FAIL() << "the over-long account was stored";
    } catch (const SqlError& e) {
        EXPECT_EQ(app::Fn_Get_ErrorType(e.message()),
                  "(데이터베이스) 허용된 글자 길이를 초과했습니다.");
    }
    EXPECT_EQ(rows(baseDb(), "select userid from cms_user"),
              (std::vector<QStringList>{{"0000000041"}}));
    // The same connection still works and numbers on from the stored highest.
    facility::insertBeneficiaries(*base, kSid, {threeNewPayers()[0]});
    EXPECT_EQ(scalar(baseDb(), "select max(userid) from cms_user"), "0000000042");
}

// A concurrent client's insert taking a number shows as the server's duplicate-key error; a
// trigger produces it on the second insert of the first attempt.
TEST_F(FacilityQueries, ALostRaceRetriesTheWholeBatch) {
    exec(baseDb(), "create table attempts (n int) engine=MyISAM;\ninsert into attempts values (0)");
    Connection admin(baseDb());
    admin.open();
    admin.executeRaw(
        "create trigger collide before insert on cms_user for each row begin update attempts "
        "set n = n + 1; if (select n from attempts) = 2 then signal sqlstate '23000' set "
        "mysql_errno = 1062, message_text = 'Duplicate entry for key PRIMARY'; end if; end");

    facility::insertBeneficiaries(*base, kSid, threeNewPayers());
    EXPECT_EQ(scalar(baseDb(), "select n from attempts"), "5");  // 2 tried, then 3 stored
    EXPECT_EQ(rows(baseDb(), "select userid, username from cms_user order by userid"),
              (std::vector<QStringList>{
                  {"0000000001", "하나"}, {"0000000002", "가나"}, {"0000000003", "다라"}}));
}

// ---------------------------------------------------------------- billed amounts

// One beneficiary's fetched amount with and without the earlier unpaid amount.
struct Expect {
    QString code;
    qint64 withUnpaid;
    qint64 monthly;
};
bool operator==(const Expect& a, const Expect& b) {
    return a.code == b.code && a.withUnpaid == b.withUnpaid && a.monthly == b.monthly;
}
void PrintTo(const Expect& e, std::ostream* os) {
    *os << e.code.toStdString() << ":" << e.withUnpaid << "/" << e.monthly;
}

class FacilityDemands : public FacilityQueries {
protected:
    static void bill(const QString& code, const QString& year, const QString& month,
                     const QString& billed, const QString& unpaid,
                     const QString& sicode = kSicode) {
        exec(careDb(), QStringLiteral("insert into base_demand values ('%1','%2','%3','%4',%5,%6)")
                           .arg(sicode, code, year, month, billed, unpaid));
    }
    static void pay(const QString& code, const QString& year, const QString& month,
                    const QString& paid, const QString& adjusted, const QString& sicode = kSicode) {
        exec(careDb(), QStringLiteral("insert into base_income (sicode, in_code, in_year, in_wol, "
                                      "`입금금액`, `조정금액`) values ('%1','%2','%3','%4',%5,%6)")
                           .arg(sicode, code, year, month, paid, adjusted));
    }
    std::vector<Expect> fetched(bool contractedOnly) {
        std::vector<Expect> out;
        for (const auto& d : facility::fetchDemands(*care, kSicode, contractedOnly))
            out.push_back({d.de_code, facility::amountOf(d, true), facility::amountOf(d, false)});
        return out;
    }
};

TEST_F(FacilityDemands, LatestMonthWithThatMonthsPayments) {
    // Billed 300,000, unpaid 50,000, paid 100,000 (in two payments, one with an adjustment).
    addMate(kSicode, "D01", "가", "사용중");
    bill("D01", "2024", "04", "300000", "50000");
    pay("D01", "2024", "04", "60000", "0");
    pay("D01", "2024", "04", "30000", "10000");
    // Paid more than billed.
    addMate(kSicode, "D02", "나", "사용중");
    bill("D02", "2024", "04", "100000", "0");
    pay("D02", "2024", "04", "150000", "0");
    // Billed for March and April: April's amounts with April's payments only.
    addMate(kSicode, "D03", "다", "사용중");
    bill("D03", "2024", "03", "500000", "0");
    bill("D03", "2024", "04", "200000", "30000");
    pay("D03", "2024", "03", "500000", "0");
    pay("D03", "2024", "04", "50000", "0");
    // Across a year end, and amounts beyond 32 bits.
    addMate(kSicode, "D04", "라", "사용중");
    bill("D04", "2023", "12", "999", "0");
    bill("D04", "2024", "01", "5000000000", "3000000000");
    // Missing values count as 0, also a payment whose adjustment is missing.
    addMate(kSicode, "D05", "마", "사용중");
    bill("D05", "2024", "04", "200000", "NULL");
    pay("D05", "2024", "04", "120000", "NULL");
    pay("D05", "2024", "04", "NULL", "-20000");
    // Discharged: only without the contract filter.
    addMate(kSicode, "D06", "바", "퇴소자");
    bill("D06", "2024", "04", "80000", "20000");
    // Billed but no longer in the beneficiary list: only without the contract filter.
    bill("D07", "2024", "04", "70000", "0");
    // Another facility's rows never count.
    bill("D01", "2024", "05", "999999", "0", "FAC0002");
    pay("D01", "2024", "04", "300000", "0", "FAC0002");

    EXPECT_EQ(fetched(false), (std::vector<Expect>{{"D01", 250000, 200000},
                                                   {"D02", 0, 0},
                                                   {"D03", 180000, 150000},
                                                   {"D04", 8000000000, 5000000000},
                                                   {"D05", 100000, 100000},
                                                   {"D06", 100000, 80000},
                                                   {"D07", 70000, 70000}}));
    EXPECT_EQ(fetched(true), (std::vector<Expect>{{"D01", 250000, 200000},
                                                  {"D02", 0, 0},
                                                  {"D03", 180000, 150000},
                                                  {"D04", 8000000000, 5000000000},
                                                  {"D05", 100000, 100000}}));
}

// ---------------------------------------------------------------- no facility code

// The login leaves UniCon without settings for a company without facility code: every
// care-facility operation ends at the connect, with its message, and reads nothing.
TEST(FacilityWithoutCode, ConnectMessageAndNothingRead) {
    MessageRecorder recorder;
    TDM dm(world().config, recorder);
    int waits = 0;
    dm.setWaiter([&](int) { ++waits; });
    Connection care(dm.UniCon);
    EXPECT_FALSE(dm.Fn_Dynamic_DB_Connect(care));
    EXPECT_EQ(recorder.texts(),
              (QStringList{"서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요."}));
    EXPECT_EQ(waits, 4);
}

}  // namespace
