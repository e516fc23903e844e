// Values on the servers that are out of shape, through the forms that read them: a facility
// directory port that is not a number, resident numbers shorter than six characters, amounts
// that are NULL, empty or not numbers at all in the care-facility database, amounts beyond 32
// bits, and payer ids, amounts and service ids the request file cannot hold. Each must give a
// clear message or a clear value, no crash, and never a file or a stored amount made of them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRadioButton>
#include <QTest>

#include "app/clock.h"
#include "app/data_module.h"
#include "app/indicator.h"
#include "app/login_form.h"
#include "app/session.h"
#include "billing/request_form.h"
#include "facility/beneficiary_import.h"
#include "facility/bill_import.h"
#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/load_timer.h"
#include "tests/faults/fault_report.h"
#include "tests/faults/private_servers.h"
#include "tests/faults/row_sets.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using namespace testsupport;

namespace {

const QString kSicode = QStringLiteral("FAC0001");
const QString kSid = QStringLiteral("S1");
const QString kNotFetched = QStringLiteral("온돌봄 서버정보를 가져오지 못했습니다.");

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString iso(const QDate& d) {
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

class ServerValues : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        programDir = freshDir(QStringLiteral("program"));
        qputenv("PAYDESK_PROGRAM_DIR", programDir.toUtf8());
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([](int) {});
        dm->setClock(clock);
        DM = dm.get();
        app::session() = {};
        app::session().serviceid = kSid;
        app::session().sicode = kSicode;
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override {
        delete frmdlbbill;
        delete request.data();
        app::PR_Set_UI_IndicoatorOFF();
        settle();
        app::session() = {};
        DM = nullptr;
        dm.reset();
    }

    // The facility directory row of kSicode with its port as given (enciphered as the
    // operator's tools do), the other values pointing at this program's care database.
    void serverInfoWithPort(const QString& port, bool enciphered = true) {
        exec(wonjuDb(), QStringLiteral("delete from server_info"));
        const auto care = careDb();
        platform::sql::Connection c(wonjuDb());
        c.open();
        platform::sql::Query q(c);
        q.setSql(QStringLiteral(
                     "insert into server_info (sicode, Host, port, user, pw, db) values (:sicode, "
                     "hex(aes_encrypt(:host, :key)), %1, hex(aes_encrypt(:user, :key)), "
                     "hex(aes_encrypt(:pw, :key)), hex(aes_encrypt(:db, :key)))")
                     .arg(enciphered ? QStringLiteral("hex(aes_encrypt(:port, :key))")
                                     : QStringLiteral(":port")));
        q.setParam(QStringLiteral("sicode"), kSicode);
        q.setParam(QStringLiteral("host"), care.host);
        q.setParam(QStringLiteral("port"), port);
        q.setParam(QStringLiteral("user"), care.user);
        q.setParam(QStringLiteral("pw"), care.password);
        q.setParam(QStringLiteral("db"), care.database);
        q.setParam(QStringLiteral("key"), QStringLiteral("kx7315"));
        q.execute();
    }
    void configureUniCon() {
        serverInfoWithPort(QString::number(careDb().port));
        app::configureFacilityConnection(kSicode, nullptr);
        ASSERT_TRUE(dm->UniCon.isConfigured());
        recorder.clear();
    }

    Tfrm002& openRequest(const QDate& date) {
        request = new Tfrm002;
        request->show();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !request->Timer1->isActive(); }, 5000));
        request->date_Date->setDate(date);
        return *request;
    }
    QString amountOf(const QString& userid) {
        for (int r = 0; r < request->grd_Bill->recordCount(); ++r)
            if (request->grd_Bill->text(r, QStringLiteral("grd_Bill_ID")) == userid)
                return request->grd_Bill->text(r, QStringLiteral("grd_Bill_Amount"));
        return QStringLiteral("<no row>");
    }

    QString programDir;
    MessageRecorder recorder;
    app::FixedClock clock{QDateTime(QDate::currentDate().addDays(1), QTime(10, 0))};
    std::unique_ptr<TDM> dm;
    QPointer<Tfrm002> request;
};

TEST_F(ServerValues, FacilityPortThatIsNoPortNumber) {
    const struct {
        const char* what;
        QString port;
        bool enciphered;
    } ports[] = {
        {"letters", QStringLiteral("abc"), true},
        {"empty", QString(), true},
        {"0", QStringLiteral("0"), true},
        {"above 65535", QStringLiteral("70000"), true},
        {"negative", QStringLiteral("-3306"), true},
        {"digits and a letter", QStringLiteral("3306x"), true},
        {"beyond 32 bits", QStringLiteral("99999999999"), true},
        {"a value that does not decipher", QStringLiteral("NOTHEXATALL"), false},
    };
    for (const auto& p : ports) {
        recorder.clear();
        dm->UniCon = {};
        serverInfoWithPort(p.port, p.enciphered);
        app::configureFacilityConnection(kSicode, nullptr);
        const auto boxes = recorder.boxes();
        const bool warned = boxes.size() == 1 && boxes[0].icon == platform::ui::MsgIcon::Warning &&
                            boxes[0].caption == u"경고" && boxes[0].text.startsWith(kNotFetched);
        faults::input(
            QStringLiteral("server_info port %1").arg(QString::fromUtf8(p.what)),
            QStringLiteral("the warning \"%1\", UniCon left unconfigured").arg(kNotFetched),
            QStringLiteral("boxes %1; UniCon %2")
                .arg(faults::shown(recorder),
                     dm->UniCon.isConfigured()
                         ? QStringLiteral("CONFIGURED to port %1").arg(dm->UniCon.port)
                         : QStringLiteral("unconfigured")),
            warned && !dm->UniCon.isConfigured());
    }
    // The import that needs the connection then says it cannot connect, and lists nothing.
    recorder.clear();
    QPointer<Tfrmdlbuser> f = new Tfrmdlbuser;
    f->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f->Timer1->isActive(); }, 5000));
    faults::input(
        QStringLiteral("beneficiary import after an unusable server_info row"),
        QStringLiteral("the connect message, an empty grid, no crash"),
        QStringLiteral("boxes %1; %2 rows")
            .arg(faults::shown(recorder))
            .arg(f->grdUser->recordCount()),
        recorder.texts() == QStringList{QStringLiteral(
                                "서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요.")} &&
            f->grdUser->recordCount() == 0);
    delete f.data();
}

TEST_F(ServerValues, ResidentNumbersShorterThanSix) {
    configureUniCon();
    const struct {
        const char* code;
        const char* jumin;  // nullptr: NULL
        const char* birth;
    } mates[] = {{"M01", "450312", "1945.03.12"},
                 {"M02", "4503", ""},
                 {"M03", "", ""},
                 {"M04", nullptr, ""},
                 {"M05", "45a312", ""},
                 {"M06", "45031", ""},
                 {"M07", " 4503", ""}};
    for (const auto& m : mates)
        exec(careDb(), QStringLiteral("insert into base_mate (sicode, m_code, m_name, m_jumin1, "
                                      "m_phone1) values ('%1','%2','수급자%2',%3,'010-1234-5678')")
                           .arg(kSicode, QString::fromLatin1(m.code),
                                m.jumin ? QStringLiteral("'%1'").arg(QString::fromLatin1(m.jumin))
                                        : QStringLiteral("NULL")));
    QPointer<Tfrmdlbuser> f = new Tfrmdlbuser;
    f->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f->Timer1->isActive(); }, 5000));
    platform::ui::DataGrid& g = *f->grdUser;
    ASSERT_EQ(g.recordCount(), 7);
    for (int r = 0; r < g.recordCount(); ++r) {
        g.setValue(r, QStringLiteral("grdUser_Chk"), true);
        g.setValue(r, QStringLiteral("grdUser_Bank"), QStringLiteral("국민은행"));
        g.setValue(r, QStringLiteral("grdUser_Account"), QStringLiteral("123-45"));
        g.setValue(r, QStringLiteral("grdUser_AccountName"), QStringLiteral("보호자"));
    }
    recorder.clear();
    f->btnSaveGridClick();
    for (const auto& m : mates) {
        const QString code = QString::fromLatin1(m.code);
        QString shown;
        for (int r = 0; r < g.recordCount(); ++r)
            if (g.text(r, QStringLiteral("grdUser_userid")) == code)
                shown = g.text(r, QStringLiteral("grdUser_Birth"));
        const QString stored = scalar(
            baseDb(), QStringLiteral("select birth from cms_user where dlbid = '%1'").arg(code));
        const QString expected = QString::fromLatin1(m.birth);
        faults::input(QStringLiteral("m_jumin1 %1")
                          .arg(m.jumin ? QStringLiteral("\"%1\"").arg(QString::fromLatin1(m.jumin))
                                       : QStringLiteral("NULL")),
                      QStringLiteral("birth \"%1\" shown and stored \"%2\" (never half a date), "
                                     "no crash")
                          .arg(expected, QString(expected).replace(u'.', u'-')),
                      QStringLiteral("shown \"%1\", stored \"%2\"; boxes %3")
                          .arg(shown, stored, faults::shown(recorder)),
                      shown == expected && stored == QString(expected).replace(u'.', u'-'));
    }
    delete f.data();
}

TEST_F(ServerValues, BilledAmountsOutOfShape) {
    configureUniCon();
    // Payers of the care-facility codes, registered and billable on the date.
    const QDate date = QDate::currentDate().addDays(5);
    QStringList payers;
    for (int i = 1; i <= 9; ++i)
        payers << QStringLiteral(
                      "('S1','%1','M%2','수급자%2','004','123-%2','보호자','등록완료',"
                      "'2019-01-01','9999-99-99')")
                      .arg(faults::payerId(i))
                      .arg(i);
    exec(baseDb(), QStringLiteral("insert into cms_user (serviceid, userid, dlbid, username, "
                                  "bankcode, account, accountname, stat, startdate, enddate) "
                                  "values ") +
                       payers.join(u','));
    // NULL billed, NULL unpaid, NULL payment and adjustment; 2^32 and beyond; more than the
    // request file's 10 digits; the largest BIGINT twice (a sum beyond 64 bits).
    exec(careDb(),
         QStringLiteral(
             "insert into base_demand values "
             "('FAC0001','M1','2024','04',NULL,5000),('FAC0001','M2','2024','04',30000,NULL),"
             "('FAC0001','M3','2024','04',40000,0),('FAC0001','M4','2024','04',4294967296,0),"
             "('FAC0001','M5','2024','04',5000000000,0),('FAC0001','M6','2024','04',20000000000,0),"
             "('FAC0001','M7','2024','04',9223372036854775807,9223372036854775807);\n"
             "insert into base_income (sicode, in_code, in_year, in_wol, `입금금액`, `조정금액`) "
             "values "
             "('FAC0001','M3','2024','04',NULL,NULL),('FAC0001','M2','2024','04',1000,NULL);\n"));
    exec(baseDb(),
         QStringLiteral("insert into cms_bill (serviceid, userid, billdate, amount, stat) "
                        "values ('S1','%1','%2',777,'발송대기')")
             .arg(faults::payerId(9), iso(date)));
    Tfrm002& r = openRequest(date);
    ASSERT_EQ(r.grd_Bill->recordCount(), 9);
    recorder.clear();
    frmdlbbill = new Tfrmdlbbill;
    frmdlbbill->rdo_BillAll->setChecked(true);
    frmdlbbill->btnSaveGridClick();
    settle();
    const struct {
        int payer;
        const char* what;
        const char* amount;
    } expected[] = {{1, "NULL billed, 5,000 unpaid", "5000"},
                    {2, "30,000 billed, NULL unpaid, 1,000 paid with NULL adjustment", "29000"},
                    {3, "40,000 billed, NULL payment and adjustment", "40000"},
                    {4, "2^32 billed", "4294967296"},
                    {5, "5,000,000,000 billed", "5000000000"},
                    {6, "20,000,000,000 billed", "20000000000"},
                    {7, "the largest BIGINT billed and unpaid", "9223372036854775807"}};
    for (const auto& e : expected) {
        const QString got = amountOf(faults::payerId(e.payer));
        faults::input(QStringLiteral("base_demand/base_income: %1").arg(QString::fromUtf8(e.what)),
                      QStringLiteral("amount %1 in the request grid (NULL counts 0, no wrap)")
                          .arg(QString::fromLatin1(e.amount)),
                      QStringLiteral("amount %1; boxes %2").arg(got, faults::shown(recorder)),
                      got == QString::fromLatin1(e.amount) && recorder.boxes().empty());
    }

    // Registering: the amounts the request file cannot hold refuse the store; the date's
    // earlier request stays.
    const faults::Rows before =
        rows(baseDb(), QStringLiteral("select * from cms_bill order by userid"));
    recorder.clear();
    r.cxButton1Click();
    const faults::RowDiff d = faults::diff(
        before, rows(baseDb(), QStringLiteral("select * from cms_bill order by userid")));
    faults::lost(d.lost);
    const auto boxes = recorder.boxes();
    faults::input(QStringLiteral("registering amounts of 11 and 19 digits"),
                  QStringLiteral("refused with a warning naming the payer; the earlier request "
                                 "intact"),
                  QStringLiteral("boxes %1; %2 rows lost, %3 rows added")
                      .arg(faults::shown(recorder))
                      .arg(d.lost)
                      .arg(d.added),
                  boxes.size() == 1 && boxes[0].icon == platform::ui::MsgIcon::Warning &&
                      boxes[0].text.contains(QStringLiteral("수급자6")) && d.lost == 0 &&
                      d.added == 0);

    // Without the two: 2^32 and 5,000,000,000 are stored and written whole.
    for (int p : {6, 7}) {
        for (int row = 0; row < r.grd_Bill->recordCount(); ++row)
            if (r.grd_Bill->text(row, QStringLiteral("grd_Bill_ID")) == faults::payerId(p))
                r.grd_Bill->setValue(row, QStringLiteral("grd_Bill_Amount"), qint64(0));
    }
    recorder.clear();
    r.cxButton1Click();
    r.cxButton4Click();
    const QString file =
        programDir + u'/' + QString(iso(date)).remove(u'-') + QStringLiteral(".S1.pay");
    QFile f(file);
    const QByteArray content = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    faults::input(
        QStringLiteral("amounts of 2^32 and 5,000,000,000 registered and written"),
        QStringLiteral("stored and written whole, the total in the header"),
        QStringLiteral("boxes %1; file %2 bytes").arg(faults::shown(recorder)).arg(content.size()),
        recorder.texts() == QStringList{QStringLiteral("저장이 완료되었습니다.")} &&
            content.contains("4294967296") && content.contains("5000000000") &&
            content.contains("000009295042073"));
}

TEST_F(ServerValues, StoredRequestsTheFileCannotHold) {
    const QDate date = QDate::currentDate().addDays(5);
    const QString file = QString(iso(date)).remove(u'-') + QStringLiteral(".S1.pay");
    const QByteArray earlier = "the earlier request file\r\n";
    const struct {
        const char* what;
        QString userid;
        QString amount;
        QString serviceid;
    } cases[] = {
        {"a payer id of 21 bytes", QString(21, u'1'), QStringLiteral("1000"), kSid},
        {"a payer id of 11 Hangul (22 bytes)", QString(11, QChar(0xAC00)), QStringLiteral("1000"),
         kSid},
        {"an amount of 11 digits", faults::payerId(1), QStringLiteral("12345678901"), kSid},
        {"the largest BIGINT", faults::payerId(1), QStringLiteral("9223372036854775807"), kSid},
        {"a service id with a path", faults::payerId(1), QStringLiteral("1000"),
         QStringLiteral("../S1")},
        {"a service id longer than 8", faults::payerId(1), QStringLiteral("1000"),
         QStringLiteral("S1234567890")},
    };
    for (const auto& k : cases) {
        resetDatabases();
        exec(baseDb(),
             QStringLiteral(
                 "insert into cms_user (serviceid, userid, username, stat, startdate, "
                 "enddate) values ('%1','%2','홍길동','등록완료','2019-01-01','9999-99-99'),"
                 "('%1','%4','김영희','등록완료','2019-01-01','9999-99-99');\n"
                 "insert into cms_bill (serviceid, userid, billdate, amount, stat) "
                 "values ('%1','%2','%3',%5,'발송대기'),('%1','%4','%3',2000,'발송대기');\n")
                 .arg(k.serviceid, k.userid, iso(date), faults::payerId(2), k.amount));
        QDir(programDir).removeRecursively();
        QDir().mkpath(programDir + QStringLiteral("/sub"));
        QFile e(programDir + u'/' + file);
        ASSERT_TRUE(e.open(QIODevice::WriteOnly));
        e.write(earlier);
        e.close();
        const QStringList before =
            QDir(world().workDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        app::session().serviceid = k.serviceid;
        QDir::setCurrent(programDir + QStringLiteral("/sub"));
        Tfrm002& r = openRequest(date);
        recorder.clear();
        r.cxButton4Click();
        QFile after(programDir + u'/' + file);
        const QByteArray now = after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray();
        const QStringList inProgram = QDir(programDir).entryList(QDir::Files);
        const QStringList inWork =
            QDir(world().workDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const auto boxes = recorder.boxes();
        faults::input(QStringLiteral("request file with %1").arg(QString::fromUtf8(k.what)),
                      QStringLiteral("a warning, no file written, the earlier one intact"),
                      QStringLiteral("boxes %1; program folder %2")
                          .arg(faults::shown(recorder), inProgram.join(u',')),
                      boxes.size() == 1 && boxes[0].icon == platform::ui::MsgIcon::Warning &&
                          now == earlier && inProgram == QStringList{file} && inWork == before);
        delete request.data();
        settle();
    }
    QDir::setCurrent(world().workDir);
}

}  // namespace
