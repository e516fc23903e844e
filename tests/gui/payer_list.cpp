// The payer list and detail against the real service database.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "payers/consent_strip.h"
#include "tests/gui/payer_gui_fixture.h"

using namespace payertest;
using testsupport::baseDb;
using testsupport::exec;

namespace {

class PayerList : public PayerGui {};

TEST_F(PayerList, StatusFilterAndSortOrders) {
    addPayer("0000000001", "다현", "B", "등록완료");
    addPayer("0000000002", "가영", "C", "등록대기");
    addPayer("0000000003", "나리", "A", "등록요청");
    addPayer("0000000004", "라온", "A", "해지대기");
    addPayer("0000000005", "마루", "B", "해지완료");
    addPayer("0000000009", "남의", "A", "등록완료", "OTHER");

    Tfrm001* f = openList();
    EXPECT_EQ(f->cbbx_Stat->currentText(), "이름순");
    EXPECT_FALSE(f->ckbx_UseYN->isChecked());
    EXPECT_EQ(column(f->grd_List, "grd_List_Name"), (QStringList{"가영", "나리", "다현"}));
    EXPECT_EQ(column(f->grd_List, "grd_List_Seq"), (QStringList{"1", "2", "3"}));

    f->ckbx_UseYN->setChecked(true);
    EXPECT_EQ(column(f->grd_List, "grd_List_Name"),
              (QStringList{"가영", "나리", "다현", "라온", "마루"}));
    EXPECT_EQ(column(f->grd_List, "grd_List_ID"),
              (QStringList{"0000000002", "0000000003", "0000000001", "0000000004", "0000000005"}));

    f->cbbx_Stat->setCurrentIndex(1);  // 그룹순
    EXPECT_EQ(column(f->grd_List, "grd_List_Group"), (QStringList{"A", "A", "B", "B", "C"}));
    EXPECT_EQ(column(f->grd_List, "grd_List_Seq"), (QStringList{"1", "2", "3", "4", "5"}));

    f->ckbx_UseYN->setChecked(false);
    EXPECT_EQ(column(f->grd_List, "grd_List_Name"), (QStringList{"나리", "다현", "가영"}));
    EXPECT_TRUE(recorder.empty()) << recorder.texts().join('|').toStdString();
}

TEST_F(PayerList, FooterCountsThePayers) {
    exec(baseDb(),
         "insert into cms_user (serviceid, userid, username, stat) select 'S0001', "
         "lpad(seq, 10, '0'), concat('사용자', seq), '등록완료' from seq_1_to_1234");
    Tfrm001* f = openList();
    EXPECT_EQ(f->grd_List->recordCount(), 1234);
    EXPECT_EQ(f->grd_List->footerText("grd_List_Seq"), "1,234 건");
}

TEST_F(PayerList, CompanyWithoutPayersShowsNothing) {
    addPayer("0000000001", "남의", "A", "등록완료", "OTHER");
    Tfrm001* f = openList();
    EXPECT_EQ(f->grd_List->recordCount(), 0);
    EXPECT_EQ(f->grd_List->footerText("grd_List_Seq"), "0 건");
    for (QLabel* l : {f->lb_userid, f->lb_username, f->lb_Groupname, f->lb_Bank, f->lb_Account,
                      f->lb_Owner, f->lb_birth, f->lb_tel, f->lb_stat, f->lb_memo})
        EXPECT_EQ(l->text(), "") << l->objectName().toStdString();
    EXPECT_EQ(f->grd_Bill->recordCount(), 0);
    EXPECT_TRUE(f->consentStrip->images().isEmpty());
    EXPECT_TRUE(recorder.empty());
}

TEST_F(PayerList, EmptiedListClearsTheDetail) {
    addPayer("0000000001", "라온", "A", "해지대기");
    Tfrm001* f = openList();
    f->ckbx_UseYN->setChecked(true);
    ASSERT_EQ(f->lb_userid->text(), "0000000001");
    f->ckbx_UseYN->setChecked(false);
    EXPECT_EQ(f->grd_List->recordCount(), 0);
    EXPECT_EQ(f->lb_userid->text(), "");
    EXPECT_EQ(f->lb_stat->text(), "");
    EXPECT_EQ(f->grd_List->footerText("grd_List_Seq"), "0 건");
}

TEST_F(PayerList, DetailShowsTheStoredValuesAndTheBankLine) {
    exec(baseDb(),
         "insert into cms_user (serviceid, userid, username, groupname, bankcode, account, "
         "accountname, birth, tel, memo, stat) values "
         "('S0001','0000000001',' 홍길동 ','A ','004','123-45-678 ',' 홍부모','1950-01-02',"
         "'01012345678',' 첫 줄\n둘째 줄 ','등록완료'),"
         "('S0001','0000000002','김철수','B','999','1','김','1960-03-04','','','등록대기')");
    Tfrm001* f = openList();
    // The list shows trimmed values (sorted as stored: the leading blank first), the detail
    // block the stored ones.
    EXPECT_EQ(column(f->grd_List, "grd_List_Name"), (QStringList{"홍길동", "김철수"}));
    ASSERT_EQ(f->grd_List->focusedRecord(), 0);
    EXPECT_EQ(f->lb_userid->text(), "0000000001");
    EXPECT_EQ(f->lb_username->text(), " 홍길동 ");
    EXPECT_EQ(f->lb_Groupname->text(), "A ");
    EXPECT_EQ(f->lb_Bank->text(), "(004)국민은행");
    EXPECT_EQ(f->lb_Account->text(), "123-45-678 ");
    EXPECT_EQ(f->lb_Owner->text(), " 홍부모");
    EXPECT_EQ(f->lb_birth->text(), "1950-01-02");
    EXPECT_EQ(f->lb_tel->text(), "01012345678");
    EXPECT_EQ(f->lb_stat->text(), "등록완료");
    EXPECT_EQ(f->lb_memo->text(), " 첫 줄\n둘째 줄 ");

    f->grd_List->setFocusedRecord(1);
    EXPECT_EQ(f->lb_userid->text(), "0000000002");
    EXPECT_EQ(f->lb_Bank->text(), "");  // code 999 is in no line of the bank table
    EXPECT_EQ(f->lb_stat->text(), "등록대기");
    EXPECT_TRUE(recorder.empty()) << recorder.texts().join('|').toStdString();
}

TEST_F(PayerList, HistoryIsNewestFirstWithDotsAndZeros) {
    exec(baseDb(),
         "insert into cms_user (serviceid, userid, username, bankcode, account, accountname, stat)"
         " values ('S0001','0000000001','김철수','088','111-222','김부모','등록완료'),"
         "('S0001','0000000002','이영희','777','9','이','등록완료');\n"
         "insert into cms_bill (serviceid, userid, billdate, amount) values "
         "('S0001','0000000001','2020-01-25', 1234567),('S0001','0000000001','2020-03-25', NULL),"
         "('S0001','0000000001','2020-02-25', 20000),('S0001','0000000002','2020-02-25', 500);\n"
         "insert into cms_bill_his (serviceid, userid, billdate, resultamount, resultname) values "
         "('S0001','0000000001','2020-01-25', 1234567, ' 출금완료 '),"
         "('S0001','0000000002','2020-02-25', 500, '정상')");
    Tfrm001* f = openList();
    f->grd_List->setFocusedRecord(0);  // 김철수
    ASSERT_EQ(f->lb_userid->text(), "0000000001");
    const auto* g = f->grd_Bill;
    EXPECT_EQ(column(g, "grd_Bill_BillDate"),
              (QStringList{"2020.03.25", "2020.02.25", "2020.01.25"}));
    EXPECT_EQ(column(g, "grd_Bill_Amount"), (QStringList{"0", "20,000", "1,234,567"}));
    EXPECT_EQ(column(g, "grd_Bill_ResultAmount"), (QStringList{"0", "0", "1,234,567"}));
    EXPECT_EQ(column(g, "grd_Bill_Result"), (QStringList{"", "", "출금완료"}));
    EXPECT_EQ(column(g, "grd_Bill_BankName"), (QStringList{"신한은행", "신한은행", "신한은행"}));
    EXPECT_EQ(column(g, "grd_Bill_Account"), (QStringList{"111-222", "111-222", "111-222"}));
    EXPECT_EQ(column(g, "grd_Bill_AccountName"), (QStringList{"김부모", "김부모", "김부모"}));
    for (const char* hidden : {"grd_Bill_ID", "grd_Bill_User", "grd_Bill_Bankcode"})
        EXPECT_FALSE(g->isColumnVisible(hidden)) << hidden;
    EXPECT_EQ(g->text(0, "grd_Bill_Bankcode"), "088");

    f->grd_List->setFocusedRecord(1);  // 이영희, bank code in no line
    EXPECT_EQ(column(g, "grd_Bill_BankName"), (QStringList{""}));
    EXPECT_EQ(column(g, "grd_Bill_Result"), (QStringList{"정상"}));
}

TEST_F(PayerList, PayerWithoutRequestsHasAnEmptyHistory) {
    addPayer("0000000001", "가영");
    Tfrm001* f = openList();
    EXPECT_EQ(f->lb_userid->text(), "0000000001");
    EXPECT_EQ(f->grd_Bill->recordCount(), 0);
}

TEST_F(PayerList, ButtonsFollowTheFacilityLink) {
    const struct {
        const char* sicode;
        bool newVisible;
    } cases[] = {{"", true}, {"FAC01", false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.sicode);
        app::session().sicode = QString::fromUtf8(k.sicode);
        Tfrm001* f = openList();
        EXPECT_EQ(f->bt_NewMember->isVisible(), k.newVisible);
        EXPECT_EQ(f->bt_newmember_dlb->isVisible(), !k.newVisible);
        delete f;
    }
}

TEST_F(PayerList, CareFacilityButtonRunsTheImportHook) {
    app::session().sicode = QStringLiteral("FAC01");
    int opened = 0;
    payers::openBeneficiaryImport = [&] { ++opened; };
    Tfrm001* f = openList();
    f->bt_newmember_dlb->click();
    EXPECT_EQ(opened, 1);
    payers::openBeneficiaryImport = nullptr;
    f->bt_newmember_dlb->click();  // nothing set: nothing happens
    EXPECT_EQ(opened, 1);
}

TEST_F(PayerList, LayoutAndTexts) {
    Tfrm001* f = openList();
    EXPECT_EQ(f->windowTitle(), "사용자 관리");
    EXPECT_EQ(f->cxPageControl1->count(), 2);
    EXPECT_EQ(f->cxPageControl1->tabText(0), "출금요청 기록");
    EXPECT_EQ(f->cxPageControl1->tabText(1), "출금동의서 자료");
    EXPECT_EQ(f->cxPageControl1->currentIndex(), 0);
    EXPECT_EQ(f->bt_Download->text(), "이용신청서 다운로드");
    EXPECT_EQ(f->bt_ModifyMember->text(), "사용자 해지");
    EXPECT_EQ(f->ckbx_UseYN->text(), "해지사용자 포함");
    const QStringList captions = [&] {
        QStringList c;
        for (int i = 0; i < f->grd_Bill->columnCount(); ++i)
            if (f->grd_Bill->isColumnVisible(f->grd_Bill->column(i).name))
                c << f->grd_Bill->column(i).caption;
        return c;
    }();
    EXPECT_EQ(captions, (QStringList{"요청일자", "출금은행", "계좌번호", "예금주명", "요청금액",
                                     "출금금액", "결과"}));
}

TEST_F(PayerList, DatabaseErrorIsShownTranslatedAndKeepsWhatWasShown) {
    addPayer("0000000001", "가영");
    addPayer("0000000002", "나리");
    Tfrm001* f = openList();
    ASSERT_EQ(f->lb_userid->text(), "0000000001");
    exec(baseDb(), "alter table cms_user change column username username_x varchar(50)");
    f->ckbx_UseYN->setChecked(true);
    ASSERT_FALSE(recorder.boxes().empty());
    EXPECT_EQ(recorder.boxes().front().caption, "오류");
    EXPECT_EQ(recorder.boxes().front().icon, platform::ui::MsgIcon::Error);
    EXPECT_EQ(recorder.texts().front(), "(데이터베이스) 알 수 없는 칼럼이 사용 되었습니다.");
    EXPECT_EQ(f->grd_List->recordCount(), 2);
    EXPECT_EQ(f->lb_userid->text(), "0000000001");
}

TEST_F(PayerList, NoDatabaseConnectionLeavesTheListAsItWas) {
    addPayer("0000000001", "가영");
    Tfrm001* f = openList();
    dm->UniBase.port = 1;
    f->ckbx_UseYN->setChecked(true);
    EXPECT_EQ(recorder.texts(),
              QStringList{"서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요."});
    EXPECT_EQ(f->grd_List->recordCount(), 1);
    EXPECT_EQ(f->lb_userid->text(), "0000000001");
}

TEST_F(PayerList, RibbonCommandOpensOneInstanceAtTheTopLeft) {
    qputenv("PAYDESK_DESKTOP_DIR", testsupport::freshDir(QStringLiteral("desktop")).toUtf8());
    std::unique_ptr<TfrmMain> main(new TfrmMain);
    main->show();
    main->runCommand(TfrmMain::Command::Payers);
    ASSERT_NE(frm001, nullptr);
    QPointer<Tfrm001> first = frm001;
    EXPECT_TRUE(QTest::qWaitFor([&] { return first && !first->Timer1->isActive(); }, 5000));
    auto* sub = qobject_cast<QMdiSubWindow*>(app::formWindow(first));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->geometry(), QRect(0, 0, Tfrm001::kWidth, Tfrm001::kHeight));
    EXPECT_TRUE(sub->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(sub->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(sub->windowFlags() & Qt::WindowMaximizeButtonHint);
    main->runCommand(TfrmMain::Command::Payers);
    EXPECT_EQ(frm001, first.data());
    EXPECT_EQ(main->mdiArea()->subWindowList().size(), 1);
    sub->close();
    settle();
    EXPECT_EQ(frm001, nullptr);
    EXPECT_TRUE(first.isNull());
    main->runCommand(TfrmMain::Command::Payers);
    EXPECT_NE(frm001, nullptr);
    EXPECT_NE(frm001, first.data());
}

}  // namespace
