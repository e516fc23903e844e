// The payer dialog, opened from the payer list, against the real service database.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/modal.h"
#include "payers/payer_dialog.h"
#include "payers/payer_queries.h"
#include "platform/sql/connection.h"
#include "platform/ui/date_edit.h"
#include "tests/gui/payer_gui_fixture.h"

using namespace payertest;
using platform::ui::MsgIcon;
using testsupport::baseDb;
using testsupport::exec;
using testsupport::rows;
using testsupport::scalar;

namespace {

const QString kSaved = QStringLiteral("저장이 완료되었습니다.");

class PayerDialog : public PayerGui {
protected:
    // Clicks `opener` on the list; `work` drives the dialog once it has loaded. Returns
    // whether a dialog was shown.
    bool runDialog(QPushButton* opener, const std::function<void(Tfrm001_001&)>& work) {
        bool shown = false;
        app::ScopedModalDriver driver([&](QWidget& w) {
            auto* d = qobject_cast<Tfrm001_001*>(&w);
            ASSERT_NE(d, nullptr);
            shown = true;
            EXPECT_TRUE(QTest::qWaitFor([d] { return !d->Timer1->isActive(); }, 5000));
            work(*d);
        });
        opener->click();
        settle();
        return shown;
    }
};

TEST_F(PayerDialog, NewPayersAreNumberedByTheServerAndTheListReloads) {
    Tfrm001* f = openList();
    for (int i = 1; i <= 10; ++i) {
        SCOPED_TRACE(i);
        recorder.clear();
        ASSERT_TRUE(runDialog(f->bt_NewMember, [&](Tfrm001_001& d) {
            EXPECT_EQ(d.txt_UserID->text(), "");
            EXPECT_FALSE(d.txt_UserID->isEnabled());
            EXPECT_TRUE(d.txt_UserName->isEnabled());
            EXPECT_TRUE(d.bt_save->isVisible());
            EXPECT_FALSE(d.bt_del->isVisible());
            EXPECT_FALSE(d.bt_del->isEnabled());
            d.txt_UserName->setText(QStringLiteral("사용자%1").arg(i));
            d.bt_save->click();
        }));
        EXPECT_EQ(frm001_001, nullptr);
        ASSERT_EQ(recorder.boxes().size(), 1u);
        EXPECT_EQ(recorder.boxes()[0].text, kSaved);
        EXPECT_EQ(recorder.boxes()[0].caption, "확인");
        EXPECT_EQ(recorder.boxes()[0].icon, MsgIcon::None);
        EXPECT_EQ(f->grd_List->recordCount(), i);
    }
    const auto stored = rows(baseDb(),
                             "select userid, username from cms_user where serviceid = 'S0001' "
                             "order by userid");
    ASSERT_EQ(stored.size(), 10u);
    EXPECT_EQ(stored[0], (QStringList{"0000000001", "사용자1"}));
    EXPECT_EQ(stored[1], (QStringList{"0000000002", "사용자2"}));
    EXPECT_EQ(stored[9], (QStringList{"0000000010", "사용자10"}));
}

TEST_F(PayerDialog, SaveWithTheInitialValues) {
    Tfrm001* f = openList();
    ASSERT_TRUE(runDialog(f->bt_NewMember, [&](Tfrm001_001& d) {
        EXPECT_EQ(d.windowTitle(), "사용자 정보 등록");
        EXPECT_EQ(d.cbbx_Group->count(), 26);
        EXPECT_EQ(d.cbbx_Group->itemText(25), "Z");
        EXPECT_EQ(d.cbbx_Group->currentText(), "A");
        EXPECT_EQ(d.cbbx_Bank->count(), 19);
        EXPECT_EQ(d.cbbx_Bank->currentText(), "(003)기업은행");
        EXPECT_EQ(d.cbbx_Bank->itemText(18), "(088)신한은행");
        EXPECT_EQ(d.date_date->text(), "2020-06-15");
        EXPECT_EQ(d.cbbx_UseYN->currentText(), "사용중");
        d.bt_save->click();
    }));
    EXPECT_EQ(rows(baseDb(),
                   "select serviceid, userid, username, groupname, bankcode, account, "
                   "accountname, birth, tel, memo, stat, recdatetime is not null from cms_user"),
              (std::vector<QStringList>{{"S0001", "0000000001", "", "A", "003", "", "",
                                         "2020-06-15", "", "", "등록대기", "1"}}));
}

TEST_F(PayerDialog, TypedValuesAreTrimmedAndAccountsKeepTheirDashes) {
    Tfrm001* f = openList();
    ASSERT_TRUE(runDialog(f->bt_NewMember, [&](Tfrm001_001& d) {
        d.txt_UserName->setText(QStringLiteral("  홍길동  "));
        d.cbbx_Group->setCurrentText(QStringLiteral("C"));
        d.cbbx_Bank->setCurrentIndex(18);
        d.txt_Account->setText(QStringLiteral(" 110-234-567890 "));
        d.txt_Owner->setText(QStringLiteral(" 홍부모 "));
        d.date_date->setText(QStringLiteral("1950-01-02"));
        d.txt_Tel->setText(QStringLiteral(" 010-1234-5678 "));
        d.mem_memo->setPlainText(QStringLiteral("\n 첫 줄\n둘째 줄 \n"));
        d.bt_save->click();
    }));
    EXPECT_EQ(rows(baseDb(),
                   "select username, groupname, bankcode, account, accountname, birth,"
                   " tel, memo from cms_user"),
              (std::vector<QStringList>{{"홍길동", "C", "088", "110-234-567890", "홍부모",
                                         "1950-01-02", "010-1234-5678", "첫 줄\n둘째 줄"}}));
    EXPECT_EQ(column(f->grd_List, "grd_List_Name"), QStringList{"홍길동"});
}

TEST_F(PayerDialog, FailedSaveKeepsTheDialogOpenAndStoresNothing) {
    Tfrm001* f = openList();
    ASSERT_TRUE(runDialog(f->bt_NewMember, [&](Tfrm001_001& d) {
        d.txt_UserName->setText(QString(51, u'가'));
        d.bt_save->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.txt_UserName->text(), QString(51, u'가'));
        d.close();
    }));
    EXPECT_EQ(recorder.texts(), QStringList{"(데이터베이스) 허용된 글자 길이를 초과했습니다."});
    EXPECT_EQ(recorder.boxes()[0].caption, "오류");
    EXPECT_EQ(recorder.boxes()[0].icon, MsgIcon::Error);
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_user"), "0");
}

// The loser of two simultaneous inserts is retried; when every attempt collides the user is
// told so plainly. The server raises the collisions through a trigger.
TEST_F(PayerDialog, EndlessCollisionsAreToldClearly) {
    platform::sql::Connection admin(baseDb());
    admin.open();
    admin.executeRaw(
        "create trigger collide before insert on cms_user for each row signal sqlstate '23000' "
        "set mysql_errno = 1062, message_text = 'Duplicate entry ''S0001-0000000001'' for key "
        "''PRIMARY'''");
    Tfrm001* f = openList();
    ASSERT_TRUE(runDialog(f->bt_NewMember, [&](Tfrm001_001& d) {
        d.txt_UserName->setText(QStringLiteral("동시"));
        d.bt_save->click();
        EXPECT_TRUE(d.isVisible());
        d.close();
    }));
    EXPECT_EQ(recorder.texts(), QStringList{payers::kInsertCollisionMessage});
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_user"), "0");
}

TEST_F(PayerDialog, CancelMarksThePayerAndUpdatesTheLabelsOnly) {
    exec(baseDb(),
         "insert into cms_user (serviceid, userid, username, groupname, bankcode, account, "
         "accountname, birth, tel, memo, stat, enddate) values "
         "('S0001','0000000001',' 홍길동 ','B','088','110-1','홍부모','1950-01-02','0101',"
         "'메모','등록완료','9999-99-99'),"
         "('S0001','0000000002','김철수','A','004','1','김','1960-01-01','','','등록완료',"
         "'9999-99-99')");
    Tfrm001* f = openList();
    ASSERT_EQ(f->lb_userid->text(), "0000000001");  // the leading blank sorts first

    ASSERT_TRUE(runDialog(f->bt_ModifyMember, [&](Tfrm001_001& d) {
        for (QWidget* e : d.editors())
            EXPECT_FALSE(e->isEnabled()) << e->objectName().toStdString();
        EXPECT_FALSE(d.bt_save->isVisible());
        EXPECT_TRUE(d.bt_del->isVisible());
        EXPECT_TRUE(d.bt_del->isEnabled());
        EXPECT_EQ(d.txt_UserID->text(), "0000000001");
        EXPECT_EQ(d.txt_UserName->text(), " 홍길동 ");
        EXPECT_EQ(d.cbbx_Group->currentText(), "B");
        EXPECT_EQ(d.cbbx_Bank->currentText(), "(088)신한은행");
        EXPECT_EQ(d.txt_Account->text(), "110-1");
        EXPECT_EQ(d.date_date->text(), "1950-01-02");
        EXPECT_EQ(d.mem_memo->toPlainText(), "메모");
        EXPECT_EQ(d.cbbx_UseYN->currentText(), "사용중지");
        d.bt_del->click();
    }));
    EXPECT_EQ(recorder.texts(), QStringList{kSaved});
    EXPECT_EQ(rows(baseDb(),
                   "select userid, stat, enddate, recdatetime is not null from "
                   "cms_user order by userid"),
              (std::vector<QStringList>{{"0000000001", "해지대기", "2020-06-15", "1"},
                                        {"0000000002", "등록완료", "9999-99-99", "0"}}));
    EXPECT_EQ(f->lb_stat->text(), "해지대기");
    EXPECT_EQ(f->lb_username->text(), "홍길동");  // trimmed copy of the editor
    EXPECT_EQ(f->lb_Bank->text(), "(088)신한은행");
    EXPECT_EQ(f->lb_birth->text(), "1950-01-02");
    EXPECT_EQ(f->lb_userid->text(), "0000000001");
    // Not reloaded: the cancelled payer stays listed although the filter now excludes it.
    EXPECT_EQ(f->grd_List->recordCount(), 2);

    // On a later day the later date is stored.
    clock.set(QDateTime(QDate(2020, 7, 1), QTime(9, 0)));
    ASSERT_TRUE(runDialog(f->bt_ModifyMember, [&](Tfrm001_001& d) { d.bt_del->click(); }));
    EXPECT_EQ(scalar(baseDb(), "select enddate from cms_user where userid = '0000000001'"),
              "2020-07-01");
}

TEST_F(PayerDialog, StatusComboShowsStoppedForEveryStoredStatus) {
    const QStringList statuses{"등록대기", "등록요청", "등록완료", "해지대기", "해지완료"};
    for (int i = 0; i < statuses.size(); ++i)
        addPayer(QStringLiteral("%1").arg(i + 1, 10, 10, QChar(u'0')), QString::number(i), "A",
                 statuses[i]);
    Tfrm001* f = openList();
    f->ckbx_UseYN->setChecked(true);
    for (int r = 0; r < f->grd_List->recordCount(); ++r) {
        f->grd_List->setFocusedRecord(r);
        SCOPED_TRACE(f->lb_stat->text().toStdString());
        ASSERT_TRUE(runDialog(f->bt_ModifyMember, [&](Tfrm001_001& d) {
            EXPECT_EQ(d.cbbx_UseYN->currentText(), "사용중지");
            d.close();
        }));
    }
}

TEST_F(PayerDialog, CancelWithNoPayerFocusedCannotCancelAnything) {
    Tfrm001* f = openList();
    ASSERT_EQ(f->grd_List->recordCount(), 0);
    ASSERT_TRUE(runDialog(f->bt_ModifyMember, [&](Tfrm001_001& d) {
        EXPECT_EQ(d.txt_UserID->text(), "");
        EXPECT_TRUE(d.bt_del->isVisible());
        EXPECT_FALSE(d.bt_del->isEnabled());
        EXPECT_FALSE(d.bt_save->isVisible());
        d.bt_del->click();  // disabled: no effect
        d.close();
    }));
    EXPECT_TRUE(recorder.empty());
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_user"), "0");
}

TEST_F(PayerDialog, CancellingAPayerThatIsGoneSaysSoAndChangesNothing) {
    addPayer("0000000001", "가영");
    addPayer("0000000002", "나리");
    Tfrm001* f = openList();
    ASSERT_EQ(f->lb_userid->text(), "0000000001");
    ASSERT_TRUE(runDialog(f->bt_ModifyMember, [&](Tfrm001_001& d) {
        exec(baseDb(), "delete from cms_user where userid = '0000000001'");
        d.bt_del->click();
        EXPECT_TRUE(d.isVisible());
        d.close();
    }));
    EXPECT_EQ(recorder.texts(), QStringList{Tfrm001_001::kPayerMissing});
    EXPECT_EQ(recorder.boxes()[0].icon, MsgIcon::Error);
    EXPECT_EQ(f->lb_stat->text(), "등록완료");
    EXPECT_EQ(rows(baseDb(), "select userid, stat from cms_user"),
              (std::vector<QStringList>{{"0000000002", "등록완료"}}));
}

TEST_F(PayerDialog, OnlyOneDialogExists) {
    Tfrm001* f = openList();
    std::vector<QPointer<Tfrm001_001>> shown;
    app::ScopedModalDriver leaveOpen(
        [&](QWidget& w) { shown.emplace_back(qobject_cast<Tfrm001_001*>(&w)); });
    f->bt_NewMember->click();
    f->bt_ModifyMember->click();
    settle();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].isNull());
    ASSERT_FALSE(shown[1].isNull());
    EXPECT_EQ(frm001_001, shown[1].data());
    delete frm001_001;
    EXPECT_EQ(frm001_001, nullptr);
}

}  // namespace
