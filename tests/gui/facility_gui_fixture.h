// What the care-facility import tests share: company HB000001 with facility code FAC0001 logged
// in (session, UniCon configured from the facility directory as the login does), the data
// module on this test's servers with a recorder, and helpers for the care-facility data.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QTest>
#include <memory>

#include "app/clock.h"
#include "app/data_module.h"
#include "app/indicator.h"
#include "app/login_queries.h"
#include "app/session.h"
#include "facility/facility_openers.h"
#include "platform/sql/connection.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/grid_model.h"
#include "platform/ui/grid_view.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace facilitytest {

inline const QString kSicode = QStringLiteral("FAC0001");
inline const QString kSid = QStringLiteral("HB000001");
inline const QString kConnectFailed =
    QStringLiteral("서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요.");

class FacilityGui : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::resetAll();
        testsupport::exec(testsupport::baseDb(),
                          "insert into cms_company (id, pw, serviceid, comptype, compno, "
                          "compname, sicode) values ('haengbok01', 'pw1234', 'HB000001', "
                          "'개인사업자', '1208812345', '행복한요양원', 'FAC0001')");
        dm = std::make_unique<TDM>(testsupport::world().config, recorder);
        dm->setWaiter([this](int ms) {
            if (ms == 300) ++indicatorPauses;
        });
        dm->setClock(clock);
        DM = dm.get();
        app::session() = app::Session{};
        app::session().serviceid = kSid;
        app::session().sicode = kSicode;
        loginFacility();
        programDir = testsupport::freshDir(QStringLiteral("program"));
        qputenv("PAYDESK_PROGRAM_DIR", programDir.toUtf8());
        desktopDir = testsupport::freshDir(QStringLiteral("desktop"));
        qputenv("PAYDESK_DESKTOP_DIR", desktopDir.toUtf8());
        QApplication::setQuitOnLastWindowClosed(false);
        facility::installFormHooks();
    }
    void TearDown() override {
        app::PR_Set_UI_IndicoatorOFF();
        settle();
        app::session() = app::Session{};
        qunsetenv("PAYDESK_PROGRAM_DIR");
        qunsetenv("PAYDESK_DESKTOP_DIR");
        DM = nullptr;
        dm.reset();
    }

    // UniCon as the login leaves it for a company with a facility code.
    void loginFacility() {
        testsupport::addServerInfo(kSicode);
        platform::sql::Connection wonju(testsupport::wonjuDb());
        wonju.open();
        const auto server = app::selectFacilityServer(wonju, kSicode);
        ASSERT_TRUE(server);
        ASSERT_TRUE(app::applyFacilityServer(*server, dm->UniCon));
    }
    // A company without facility code: the login leaves UniCon without settings.
    void loginWithoutFacility() {
        app::session().sicode = QString();
        dm->UniCon = {};
    }

    // Lets closed windows go away.
    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    static void addMate(const QString& code, const QString& name, const QString& residence,
                        const QString& jumin = "450312", const QString& phone1 = "010-1111-2222",
                        const QString& phone2 = "", const QString& sicode = kSicode) {
        testsupport::exec(testsupport::careDb(),
                          QStringLiteral("insert into base_mate (sicode, m_code, m_name, "
                                         "m_regist, `성별`, m_jumin1, `등급`, m_phone1, m_phone2, "
                                         "`거주현황`) values ('%1','%2','%3','L%2','여','%4',"
                                         "'3등급','%5','%6','%7')")
                              .arg(sicode, code, name, jumin, phone1, phone2, residence));
    }
    // A payer of the company; `dlbid` null for one entered by hand.
    static void addPayer(const QString& userid, const QString& dlbid, const QString& name,
                         const QString& stat = QStringLiteral("등록완료"),
                         const QString& bankcode = QStringLiteral("003"),
                         const QString& account = QStringLiteral("111-22"),
                         const QString& tel = QStringLiteral("0109998888")) {
        testsupport::exec(
            testsupport::baseDb(),
            QStringLiteral("insert into cms_user (serviceid, userid, dlbid, username, bankcode, "
                           "account, accountname, tel, stat, startdate, enddate) values "
                           "('%1','%2',%3,'%4','%5','%6','%4보호자','%7','%8','2019-01-01',"
                           "'9999-99-99')")
                .arg(kSid, userid, dlbid.isNull() ? QStringLiteral("NULL") : "'" + dlbid + "'",
                     name, bankcode, account, tel, stat));
    }
    static void bill(const QString& code, const QString& year, const QString& month,
                     const QString& billed, const QString& unpaid) {
        testsupport::exec(
            testsupport::careDb(),
            QStringLiteral("insert into base_demand values ('%1','%2','%3','%4',%5,%6)")
                .arg(kSicode, code, year, month, billed, unpaid));
    }
    static void pay(const QString& code, const QString& year, const QString& month,
                    const QString& paid) {
        testsupport::exec(testsupport::careDb(),
                          QStringLiteral("insert into base_income (sicode, in_code, in_year, "
                                         "in_wol, `입금금액`, `조정금액`) values "
                                         "('%1','%2','%3','%4',%5,0)")
                              .arg(kSicode, code, year, month, paid));
    }

    // Clicks the header section of `column` as a user does.
    static void clickHeader(platform::ui::DataGrid& g, const QString& column) {
        QHeaderView* header = g.view()->horizontalHeader();
        const int c = g.columnIndex(column);
        const QPoint at(header->sectionViewportPosition(c) + header->sectionSize(c) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    // Clicks the cell of `record` in `column`.
    static void clickCell(platform::ui::DataGrid& g, int record, const QString& column) {
        const QModelIndex index = g.model()->index(record, g.columnIndex(column));
        const QRect rect = g.view()->visualRect(index);
        QTest::mouseClick(g.view()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static QStringList columnTexts(const platform::ui::DataGrid& g, const QString& column) {
        QStringList out;
        for (int r : g.visibleRecords()) out << g.text(r, column);
        return out;
    }

    testsupport::MessageRecorder recorder;
    app::FixedClock clock{QDateTime(QDate::currentDate(), QTime(10, 0))};
    std::unique_ptr<TDM> dm;
    int indicatorPauses = 0;
    QString programDir;
    QString desktopDir;
};

}  // namespace facilitytest
