// Hostile and oversized input through the real forms, into the real server: SQL
// metacharacters (' " ; -- \ % _ and a NUL), injections, 1,000-character values and characters
// the euckr columns cannot hold, in every text field of the sign-up form, the payer dialog and
// the beneficiary grid. Each value is stored exactly as typed (trimmed where the form trims), or
// refused with a message and nothing stored; a sentinel row of another company must come
// through every case unchanged, so no value ever changed a statement.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "app/data_module.h"
#include "app/indicator.h"
#include "app/login_queries.h"
#include "app/session.h"
#include "facility/beneficiary_import.h"
#include "facility/facility_queries.h"
#include "payers/payer_dialog.h"
#include "platform/codepage/codepage.h"
#include "platform/sql/connection.h"
#include "platform/sql/query.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/load_timer.h"
#include "signup/join_form.h"
#include "tests/faults/fault_report.h"
#include "tests/faults/private_servers.h"
#include "tests/faults/row_sets.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using namespace testsupport;

namespace {

const QString kTooLong = QStringLiteral("(데이터베이스) 허용된 글자 길이를 초과했습니다.");
const QString kCannotHold = QStringLiteral("데이터베이스에 저장할 수 없는 문자가 있습니다");

struct Hostile {
    const char* what;
    QString value;
};

QString withNul(const char* before, const char* after) {
    return QString::fromUtf8(before) + QChar(0) + QString::fromUtf8(after);
}

// The values every text field gets, one at a time.
std::vector<Hostile> hostileValues() {
    return {
        {"quotes, ;, --, \\, % and _", QStringLiteral("'\" ; -- \\ %_")},
        {"an injection", QStringLiteral("x' or '1'='1")},
        {"a statement after a quote", QStringLiteral("a'); drop table cms_user; --")},
        {"a NUL inside", withNul("nul", "byte")},
        {"a backslash at the end", QStringLiteral("backslash\\")},
        {"blanks around", QStringLiteral("  앞뒤 공백  ")},
        {"1,000 Hangul syllables", QString(1000, QChar(0xAC00))},
        {"1,000 ASCII letters", QString(1000, u'a')},
        {"an emoji", QStringLiteral("웃음😀")},
        {"a rare Hanja (U+4E02)", QStringLiteral("한자丂")},
        {"a Hanja beyond the BMP (U+20000)", QStringLiteral("한자𠀀")},
    };
}

bool holdable(const QString& v) {
    QByteArray out;
    return platform::codepage::encodeEucKr(v, &out);
}

// Whether the column of `width` characters holds the value.
bool fits(const QString& v, int width) {
    return holdable(v) && v.size() <= width;
}

QString shownValue(const QString& v) {
    QString s = v;
    s.replace(QChar(0), QStringLiteral("\\0"));
    if (s.size() > 40) s = s.left(20) + QStringLiteral("…(%1 chars)").arg(v.size());
    return s;
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        // Rows of another company that every case must leave as they are.
        exec(baseDb(),
             QStringLiteral("insert into cms_company (id, pw, serviceid, compno, compname) values "
                            "('othercomp', 'pw', 'OTHER1', '9998887777', '다른회사');\n"
                            "insert into cms_user (serviceid, userid, username, tel, memo) values "
                            "('OTHER1','0000000001','남의사용자','0101112222','남의메모');\n"));
        sentinel = everything();
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([](int) {});
        DM = dm.get();
        app::session() = {};
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override {
        app::PR_Set_UI_IndicoatorOFF();
        settle();
        app::session() = {};
        DM = nullptr;
        dm.reset();
    }

    faults::Rows everything() {
        faults::Rows all = rows(baseDb(), QStringLiteral("select * from cms_company where "
                                                         "serviceid = 'OTHER1'"));
        for (const QStringList& r :
             rows(baseDb(), QStringLiteral("select * from cms_user where serviceid = 'OTHER1'")))
            all.push_back(r);
        return all;
    }
    // The other company's rows, and both tables, still there.
    bool sentinelIntact() {
        return faults::diff(sentinel, everything()).lost == 0 &&
               faults::diff(sentinel, everything()).added == 0;
    }

    // Reports one case: `stored` holds the row the case stored, or nothing.
    void report(const QString& form, const QString& field, const Hostile& h, bool mustStore,
                const std::optional<QStringList>& stored, const QStringList& expected,
                const std::function<bool()>& refusedAsItShould) {
        const bool intact = sentinelIntact();
        bool held = intact;
        QString happened;
        if (mustStore) {
            held = held && stored && *stored == expected;
            happened = stored ? (*stored == expected ? QStringLiteral("stored exactly")
                                                     : QStringLiteral("stored ALTERED: ") +
                                                           shownValue(stored->join(u'|')))
                              : QStringLiteral("NOT stored: ") + faults::shown(recorder);
        } else {
            const bool told = refusedAsItShould();
            held = held && !stored && told;
            happened = stored ? QStringLiteral("STORED: ") + shownValue(stored->join(u'|'))
                              : QStringLiteral("refused: ") + faults::shown(recorder);
        }
        if (!intact) happened += QStringLiteral("; the other company's rows CHANGED");
        faults::input(QStringLiteral("%1 %2 with %3").arg(form, field, QString::fromUtf8(h.what)),
                      mustStore ? QStringLiteral("stored exactly as typed (trimmed)")
                                : QStringLiteral("refused with a message, nothing stored"),
                      happened, held);
    }

    bool errorBox(const QString& text = {}) const {
        const auto boxes = recorder.boxes();
        return !boxes.empty() && boxes.back().icon == platform::ui::MsgIcon::Error &&
               boxes.back().caption == u"오류" &&
               (text.isEmpty() || boxes.back().text.contains(text));
    }
    bool warningBox() const {
        const auto boxes = recorder.boxes();
        return !boxes.empty() && boxes.back().icon == platform::ui::MsgIcon::Warning;
    }

    MessageRecorder recorder;
    std::unique_ptr<TDM> dm;
    faults::Rows sentinel;
};

// The sign-up form: eight text fields, checks for duplicates, the insert in a transaction.
TEST_F(BadInput, SignUpForm) {
    struct Field {
        const char* name;
        int width;  // characters of the column
        std::function<QLineEdit*(TfrmJoin&)> editor;
        const char* column;
    };
    const Field fields[] = {
        {"txt_사용자아이디", 50, [](TfrmJoin& f) { return f.txt_사용자아이디; }, "id"},
        {"txt_비밀번호", 50, [](TfrmJoin& f) { return f.txt_비밀번호; }, "pw"},
        {"txt_사업자번호", 10, [](TfrmJoin& f) { return f.txt_사업자번호; }, "compno"},
        {"txt_사업자명", 100, [](TfrmJoin& f) { return f.txt_사업자명; }, "compname"},
        {"txt_연락처", 20, [](TfrmJoin& f) { return f.txt_연락처; }, "tel"},
        {"txt_이메일", 100, [](TfrmJoin& f) { return f.txt_이메일; }, "email"},
        {"txt_주소", 200, [](TfrmJoin& f) { return f.txt_주소; }, "addr"},
    };
    // The business number is tested for exactly 10 characters: its hostile values have them.
    const std::vector<Hostile> compnos = {
        {"quotes, ;, --, \\, % and _", QStringLiteral("1'\";--\\%_9")},
        {"an injection", QStringLiteral("1' or '1'=")},
        {"a NUL inside", withNul("12345", "6789")},
        {"1,000 digits", QString(1000, u'1')},
        {"an emoji", QStringLiteral("12345678😀")},
        {"a rare Hanja (U+4E02)", QStringLiteral("123456789丂")},
    };
    for (const Field& field : fields) {
        const bool isCompno = QString::fromUtf8(field.column) == u"compno";
        for (const Hostile& h : isCompno ? compnos : hostileValues()) {
            recorder.clear();
            exec(baseDb(), QStringLiteral("delete from cms_company where serviceid <> 'OTHER1'"));
            QPointer<TfrmJoin> f = new TfrmJoin;
            f->show();
            f->txt_사용자아이디->setText(QStringLiteral("newcomp01"));
            f->txt_비밀번호->setText(QStringLiteral("pw1234"));
            f->cbbx_comptype->setCurrentIndex(1);
            f->txt_사업자번호->setText(QStringLiteral("1112233333"));
            f->txt_사업자명->setText(QStringLiteral("새회사"));
            f->txt_연락처->setText(QStringLiteral("0212345678"));
            f->txt_이메일->setText(QStringLiteral("new@paydesk.example"));
            f->txt_주소->setText(QStringLiteral("서울시"));
            field.editor(*f)->setText(h.value);
            f->txt_비밀번호확인->setText(f->txt_비밀번호->text());
            const QString typed = field.editor(*f)->text();
            f->bt_기관번호확인Click();
            if (f) f->bt_사업자확인Click();
            if (f) f->ckbx_전체->setChecked(true);
            if (f) f->btnLoginClick();
            settle();
            delete f.data();
            settle();

            const auto added = rows(baseDb(), QStringLiteral("select id, pw, compno, compname, "
                                                             "tel, email, addr from cms_company "
                                                             "where serviceid <> 'OTHER1'"));
            std::optional<QStringList> stored;
            if (!added.empty()) stored = added.front();
            QStringList expected = {
                QStringLiteral("newcomp01"),  QStringLiteral("pw1234"),
                QStringLiteral("1112233333"), QStringLiteral("새회사"),
                QStringLiteral("0212345678"), QStringLiteral("new@paydesk.example"),
                QStringLiteral("서울시")};
            const QStringList columns = {"id", "pw", "compno", "compname", "tel", "email", "addr"};
            const QString value = typed.trimmed();
            expected[columns.indexOf(QString::fromUtf8(field.column))] = value;
            // The form's own rules: an id of 6 characters or more, a number of exactly 10.
            bool formAccepts = true;
            if (QString::fromUtf8(field.column) == u"id") formAccepts = value.size() >= 6;
            if (isCompno) formAccepts = value.size() == 10;
            const bool mustStore = formAccepts && fits(value, field.width);
            report(QStringLiteral("sign-up"), QString::fromUtf8(field.name), h, mustStore, stored,
                   expected, [&] {
                       // The form's checks warn; a failure of a duplicate check or of the insert
                       // is an error box with the form's own text or the server's.
                       return errorBox() || warningBox();
                   });
        }
    }
}

// The payer dialog: five text fields, the insert numbered by the server in a transaction.
TEST_F(BadInput, PayerDialog) {
    app::session().serviceid = QStringLiteral("S1");
    struct Field {
        const char* name;
        int width;
        const char* column;
    };
    const Field fields[] = {{"txt_UserName", 50, "username"},
                            {"txt_Account", 30, "account"},
                            {"txt_Owner", 50, "accountname"},
                            {"txt_Tel", 20, "tel"},
                            {"mem_memo", 1000, "memo"}};
    for (const Field& field : fields) {
        for (const Hostile& h : hostileValues()) {
            recorder.clear();
            exec(baseDb(), QStringLiteral("delete from cms_user where serviceid = 'S1'"));
            QPointer<Tfrm001_001> d = new Tfrm001_001;
            d->show();
            ASSERT_TRUE(QTest::qWaitFor([&] { return !d->Timer1->isActive(); }, 5000));
            d->txt_UserName->setText(QStringLiteral("홍길동"));
            d->txt_Account->setText(QStringLiteral("110-1"));
            d->txt_Owner->setText(QStringLiteral("홍길동"));
            d->txt_Tel->setText(QStringLiteral("0101234"));
            d->mem_memo->setPlainText(QStringLiteral("메모"));
            QString typed;
            const QString column = QString::fromUtf8(field.column);
            if (column == u"memo") {
                d->mem_memo->setPlainText(h.value);
                typed = d->mem_memo->toPlainText();
            } else {
                QLineEdit* e = column == u"username"  ? d->txt_UserName
                               : column == u"account" ? d->txt_Account
                               : column == u"tel"     ? d->txt_Tel
                                                      : d->txt_Owner;
                e->setText(h.value);
                typed = e->text();
            }
            d->bt_save->click();
            settle();
            delete d.data();
            settle();

            const auto added = rows(baseDb(), QStringLiteral("select username, account, "
                                                             "accountname, tel, memo from "
                                                             "cms_user where serviceid = 'S1'"));
            std::optional<QStringList> stored;
            if (!added.empty()) stored = added.front();
            QStringList expected = {QStringLiteral("홍길동"), QStringLiteral("110-1"),
                                    QStringLiteral("홍길동"), QStringLiteral("0101234"),
                                    QStringLiteral("메모")};
            const QStringList columns = {"username", "account", "accountname", "tel", "memo"};
            const QString value = typed.trimmed();
            expected[columns.indexOf(column)] = value;
            const bool mustStore = fits(value, field.width);
            report(QStringLiteral("payer dialog"), QString::fromUtf8(field.name), h, mustStore,
                   stored, expected, [&] {
                       return errorBox(holdable(value) ? kTooLong : kCannotHold) &&
                              added.size() == 0;
                   });
        }
    }
}

// The beneficiary grid: three editable text cells, and the beneficiary's name from the
// care-facility database; the batch in one transaction.
TEST_F(BadInput, BeneficiaryGrid) {
    const QString sicode = QStringLiteral("FAC0001");
    exec(baseDb(), QStringLiteral("insert into cms_company (id, pw, serviceid, compno, sicode) "
                                  "values ('haengbok01','pw','S1','1208812345','FAC0001')"));
    addServerInfo(sicode);
    {
        platform::sql::Connection wonju(wonjuDb());
        wonju.open();
        const auto server = app::selectFacilityServer(wonju, sicode);
        ASSERT_TRUE(server);
        ASSERT_TRUE(app::applyFacilityServer(*server, dm->UniCon));
    }
    app::session().serviceid = QStringLiteral("S1");
    app::session().sicode = sicode;

    struct Field {
        const char* name;  // a grid column, or base_mate.m_name
        int width;
    };
    const Field fields[] = {
        {"grdUser_Tel", 20}, {"grdUser_Account", 30}, {"grdUser_AccountName", 50}, {"m_name", 50}};
    for (const Field& field : fields) {
        const QString column = QString::fromUtf8(field.name);
        for (const Hostile& h : hostileValues()) {
            const bool fromCare = column == u"m_name";
            // The care-facility column holds 50 characters of euckr: what it cannot hold never
            // comes from there.
            if (fromCare && !fits(h.value, 50)) continue;
            recorder.clear();
            exec(baseDb(), QStringLiteral("delete from cms_user where serviceid = 'S1'"));
            exec(careDb(), QStringLiteral("delete from base_mate"));
            {
                platform::sql::Connection care(careDb());
                care.open();
                platform::sql::Query q(care);
                q.setSql(
                    QStringLiteral("insert into base_mate (sicode, m_code, m_name, m_jumin1, "
                                   "m_phone1) values (:s, 'M001', :n, '450312', '')"));
                q.setParam(QStringLiteral("s"), sicode);
                q.setParam(QStringLiteral("n"), fromCare ? h.value : QStringLiteral("가영"));
                q.execute();
            }
            QPointer<Tfrmdlbuser> f = new Tfrmdlbuser;
            f->show();
            ASSERT_TRUE(QTest::qWaitFor([&] { return !f->Timer1->isActive(); }, 5000));
            platform::ui::DataGrid& g = *f->grdUser;
            ASSERT_EQ(g.recordCount(), 1);
            g.setValue(0, QStringLiteral("grdUser_Chk"), true);
            g.setValue(0, QStringLiteral("grdUser_Tel"), QStringLiteral("010-1234-5678"));
            g.setValue(0, QStringLiteral("grdUser_Bank"), QStringLiteral("국민은행"));
            g.setValue(0, QStringLiteral("grdUser_Account"), QStringLiteral("123-45"));
            g.setValue(0, QStringLiteral("grdUser_AccountName"), QStringLiteral("가영보호자"));
            if (!fromCare) g.setValue(0, column, h.value);
            facility::ImportRow row;
            row.name = g.text(0, QStringLiteral("grdUser_Name"));
            row.code = QStringLiteral("M001");
            row.tel = g.text(0, QStringLiteral("grdUser_Tel"));
            row.bank = g.text(0, QStringLiteral("grdUser_Bank"));
            row.account = g.text(0, QStringLiteral("grdUser_Account"));
            row.accountname = g.text(0, QStringLiteral("grdUser_AccountName"));
            row.birth = QStringLiteral("1945.03.12");
            f->btnSaveGridClick();
            settle();
            delete f.data();
            settle();

            const auto added = rows(baseDb(), QStringLiteral("select username, tel, account, "
                                                             "accountname from cms_user where "
                                                             "serviceid = 'S1'"));
            std::optional<QStringList> stored;
            if (!added.empty()) stored = added.front();
            // What the import stores for the row (its trimming and telephone rule), and whether
            // the row's checks let it through.
            const QString warning = facility::checkImportRow(row);
            const facility::NewBeneficiaryPayer p = facility::payerOfRow(row);
            const QStringList expected = {p.username, p.tel, p.account, p.accountname};
            const bool mustStore = warning.isEmpty() && fits(p.username, 50) && fits(p.tel, 20) &&
                                   fits(p.account, 30) && fits(p.accountname, 50);
            report(QStringLiteral("beneficiary grid"), column, h, mustStore, stored, expected,
                   [&] { return warning.isEmpty() ? errorBox() : warningBox(); });
        }
    }
}

}  // namespace
