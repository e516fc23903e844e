// The beneficiary import driven through its named widgets against the real servers: the list
// with its registered marks and styles, the contract filter, selecting, the checks, the batch
// registration and the ways of opening it.
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

#include "app/main_window.h"
#include "app/modal.h"
#include "app/theme.h"
#include "facility/beneficiary_import.h"
#include "facility/facility_openers.h"
#include "facility/facility_queries.h"
#include "payers/payer_list.h"
#include "platform/ime/input_mode.h"
#include "platform/ui/load_timer.h"
#include "tests/gui/facility_gui_fixture.h"

using namespace facilitytest;
using namespace testsupport;
using platform::ui::MsgIcon;

namespace {

const QString kChk = QStringLiteral("grdUser_Chk");
const QString kExist = QStringLiteral("grdUser_Exist");
const QString kName = QStringLiteral("grdUser_Name");
const QString kTel = QStringLiteral("grdUser_Tel");
const QString kBank = QStringLiteral("grdUser_Bank");
const QString kAccount = QStringLiteral("grdUser_Account");
const QString kHolder = QStringLiteral("grdUser_AccountName");

class BeneficiaryImport : public FacilityGui {
protected:
    void TearDown() override {
        delete form.data();
        delete frm001;
        delete main.data();
        FacilityGui::TearDown();
    }

    // Opens the form as the ribbon does without a main window, and waits for its load.
    Tfrmdlbuser& open() {
        form = new Tfrmdlbuser;
        form->show();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !form->Timer1->isActive(); }, 5000));
        return *form;
    }
    platform::ui::DataGrid& grid() { return *form->grdUser; }
    int recordOf(const QString& name) {
        for (int r = 0; r < grid().recordCount(); ++r)
            if (grid().text(r, kName) == name) return r;
        ADD_FAILURE() << "no row " << name.toStdString();
        return -1;
    }
    // Completes a row's bank data as the user would leave it.
    void complete(const QString& name, const QString& bank = QStringLiteral("국민은행")) {
        const int r = recordOf(name);
        grid().setValue(r, kBank, bank);
        grid().setValue(r, kAccount, QStringLiteral("123-45-") + name);
        grid().setValue(r, kHolder, name + QStringLiteral("보호자"));
    }
    void tick(const QString& name) { clickCell(grid(), recordOf(name), kChk); }
    void clickSave() { QTest::mouseClick(form->btnSaveGrid, Qt::LeftButton); }
    QString payerCount() { return scalar(baseDb(), "select count(*) from cms_user"); }

    // Beneficiaries in name order: 가영 (registered), 나리 (second number only), 다현
    // (discharged, with a cancelled payer), 라온.
    void addFacility() {
        addMate("M01", "가영", "사용중", "450312", "010-1111-0001");
        addMate("M02", "나리", "사용중", "380101", "", "02-333-4444");
        addMate("M03", "다현", "퇴소자", "511225", "010-3333-0003");
        addMate("M04", "라온", "사용중", "", "010-4444-0004");
        addMate("M05", "마루", "사용중", "450312", "010", "", "FAC0002");
        addPayer("0000000001", "M01", "가영", "등록완료", "081", "777-1", "0105550001");
        addPayer("0000000002", "M03", "다현", "해지대기", "004", "888-3", "0105550003");
    }

    QPointer<Tfrmdlbuser> form;
    QPointer<TfrmMain> main;
};

TEST_F(BeneficiaryImport, ListsTheFacilityWithRegisteredMarksAndStyles) {
    addFacility();
    Tfrmdlbuser& f = open();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("온돌봄 연동(수급자)"));
    EXPECT_EQ(f.size(), QSize(1079, 465));
    EXPECT_EQ(f.cbbx_Contract->currentText(), QStringLiteral("전체"));
    EXPECT_FALSE(f.cbbx_Contract->isEditable());
    EXPECT_FALSE(grid().isColumnVisible("grdUser_userid"));
    EXPECT_TRUE(recorder.empty());

    EXPECT_EQ(columnTexts(grid(), kName), (QStringList{"가영", "나리", "다현", "라온"}));
    EXPECT_EQ(columnTexts(grid(), "grdUser_Seq"), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(columnTexts(grid(), "grdUser_Birth"),
              (QStringList{"1945.03.12", "1938.01.01", "1951.12.25", ""}));
    EXPECT_EQ(columnTexts(grid(), "grdUser_Contract"),
              (QStringList{"이용중", "이용중", "퇴소자", "이용중"}));
    EXPECT_EQ(columnTexts(grid(), "grdUser_LicNum"), (QStringList{"LM01", "LM02", "LM03", "LM04"}));
    EXPECT_EQ(columnTexts(grid(), "grdUser_userid"), (QStringList{"M01", "M02", "M03", "M04"}));
    EXPECT_EQ(grid().footerText(kName), QStringLiteral("4 명"));

    // 가영 is registered: the payer's data replaces the facility's. 다현's payer is cancelled,
    // so she can be registered again with the facility's number.
    EXPECT_EQ(columnTexts(grid(), kExist), (QStringList{"true", "false", "false", "false"}));
    EXPECT_EQ(columnTexts(grid(), kChk), (QStringList{"false", "false", "false", "false"}));
    EXPECT_EQ(columnTexts(grid(), kTel),
              (QStringList{"0105550001", "02-333-4444", "010-3333-0003", "010-4444-0004"}));
    EXPECT_EQ(columnTexts(grid(), kBank), (QStringList{"하나은행", "", "", ""}));
    EXPECT_EQ(columnTexts(grid(), kAccount), (QStringList{"777-1", "", "", ""}));
    EXPECT_EQ(columnTexts(grid(), kHolder), (QStringList{"가영보호자", "", "", ""}));

    // Registered rows in the registered colour, the four editable columns pale pink, the rest
    // white.
    for (const QString& c : {kName, kTel, kBank, kAccount, kHolder})
        EXPECT_EQ(grid().backgroundOf(recordOf("가영"), c), app::theme::cxStyleUserExist);
    for (const QString& c : {kTel, kBank, kAccount, kHolder})
        EXPECT_EQ(grid().backgroundOf(recordOf("나리"), c), QColor(0xFD, 0xF0, 0xF0));
    EXPECT_EQ(grid().backgroundOf(recordOf("나리"), kName), QColor(Qt::white));

    // The bank drop-down offers the 19 names of the bank table in its order.
    const auto& bankColumn = grid().column(grid().columnIndex(kBank));
    ASSERT_EQ(bankColumn.items.size(), 19);
    EXPECT_EQ(bankColumn.items.front(), QStringLiteral("기업은행"));
    EXPECT_EQ(bankColumn.items.back(), QStringLiteral("신한은행"));
}

TEST_F(BeneficiaryImport, ContractFilterReloadsAndDiscardsWhatWasTyped) {
    addFacility();
    Tfrmdlbuser& f = open();
    complete("나리");
    tick("나리");

    struct Case {
        int index;
        QStringList names;
        QStringList contract;
    };
    const Case cases[] = {
        {1, {"가영", "나리", "라온"}, {"이용중", "이용중", "이용중"}},
        {2, {"다현"}, {"퇴소자"}},
        {0, {"가영", "나리", "다현", "라온"}, {"이용중", "이용중", "퇴소자", "이용중"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.index);
        indicatorPauses = 0;
        f.cbbx_Contract->setCurrentIndex(k.index);
        EXPECT_EQ(indicatorPauses, 1);
        EXPECT_EQ(columnTexts(grid(), kName), k.names);
        EXPECT_EQ(columnTexts(grid(), "grdUser_Contract"), k.contract);
    }
    EXPECT_EQ(grid().text(recordOf("나리"), kAccount), QString());
    EXPECT_FALSE(grid().isChecked(recordOf("나리"), kChk));
    EXPECT_TRUE(grid().isChecked(recordOf("가영"), kExist));
}

TEST_F(BeneficiaryImport, HeaderClickSelectsEveryUnregisteredRowAndRegisteredOnesNever) {
    addFacility();
    open();
    ASSERT_TRUE(grid().isChecked(0, kExist)) << "the first row must be registered here";

    for (int click = 1; click <= 2; ++click) {
        SCOPED_TRACE(click);
        clickHeader(grid(), kChk);
        EXPECT_EQ(columnTexts(grid(), kChk), (QStringList{"false", "true", "true", "true"}));
    }

    // Ticking a registered row by mouse or keyboard leaves it unticked.
    clickCell(grid(), recordOf("가영"), kChk);
    EXPECT_FALSE(grid().isChecked(recordOf("가영"), kChk));
    const QModelIndex index = grid().model()->index(recordOf("가영"), grid().columnIndex(kChk));
    grid().view()->setCurrentIndex(index);
    QTest::keyClick(grid().view(), Qt::Key_Space);
    EXPECT_FALSE(grid().isChecked(recordOf("가영"), kChk));
    // An unregistered row toggles.
    clickCell(grid(), recordOf("라온"), kChk);
    EXPECT_FALSE(grid().isChecked(recordOf("라온"), kChk));
}

TEST_F(BeneficiaryImport, HeaderClickOnAnUnregisteredFirstRowToggles) {
    addMate("M01", "가영", "사용중");
    addMate("M02", "나리", "사용중");
    addMate("M03", "다현", "사용중");
    addPayer("0000000001", "M03", "다현");
    open();
    clickHeader(grid(), kChk);
    EXPECT_EQ(columnTexts(grid(), kChk), (QStringList{"true", "true", "false"}));
    clickHeader(grid(), kChk);
    EXPECT_EQ(columnTexts(grid(), kChk), (QStringList{"false", "false", "false"}));
}

TEST_F(BeneficiaryImport, ChecksNameTheBeneficiaryAndStoreNothing) {
    addMate("M01", "가영", "사용중", "450312", "", "");
    addMate("M02", "나리", "사용중");
    addMate("M03", "다현", "사용중");
    open();

    // Nothing selected.
    clickSave();
    EXPECT_EQ(recorder.texts(), QStringList{facility::kSelectOne});
    EXPECT_EQ(recorder.last().caption, QStringLiteral("확인"));
    EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);

    struct Case {
        const char* what;
        void (*spoil)(platform::ui::DataGrid& g, int row);
        QString expected;
    };
    const Case cases[] = {
        {"no telephone", [](platform::ui::DataGrid&, int) {}, "가영 연락처를 입력하세요."},
        {"telephone without digits",
         [](platform::ui::DataGrid& g, int r) { g.setValue(r, "grdUser_Tel", "없음"); },
         "가영 연락처를 확인하세요."},
        {"telephone beyond 64 bits",
         [](platform::ui::DataGrid& g, int r) {
             g.setValue(r, "grdUser_Tel", "99999-99999-99999-99999");
         },
         "가영 연락처를 확인하세요."},
        {"no bank",
         [](platform::ui::DataGrid& g, int r) {
             g.setValue(r, "grdUser_Tel", "010-1234-5678");
             g.setValue(r, "grdUser_Bank", "");
         },
         "가영 출금 은행을 입력하세요."},
        {"no account",
         [](platform::ui::DataGrid& g, int r) {
             g.setValue(r, "grdUser_Tel", "010-1234-5678");
             g.setValue(r, "grdUser_Account", "");
         },
         "가영 출금 계좌번호를 입력하세요."},
        {"no holder",
         [](platform::ui::DataGrid& g, int r) {
             g.setValue(r, "grdUser_Tel", "010-1234-5678");
             g.setValue(r, "grdUser_AccountName", " ");
         },
         "가영 예금주명을 입력하세요."},
    };
    tick("가영");
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        complete("가영");
        grid().setValue(recordOf("가영"), kTel, QString());
        k.spoil(grid(), recordOf("가영"));
        recorder.clear();
        clickSave();
        EXPECT_EQ(recorder.texts(), QStringList{k.expected});
        EXPECT_EQ(recorder.last().caption, QStringLiteral("확인"));
        EXPECT_EQ(grid().focusedRecord(), recordOf("가영"));
    }

    // Two selected rows of which the second lacks an account: the second is named.
    grid().setValue(recordOf("가영"), kTel, QStringLiteral("010-1234-5678"));
    complete("가영");
    tick("나리");
    complete("나리");
    grid().setValue(recordOf("나리"), kAccount, QString());
    recorder.clear();
    clickSave();
    EXPECT_EQ(recorder.texts(), QStringList{"나리 출금 계좌번호를 입력하세요."});
    EXPECT_EQ(payerCount(), "0");
    EXPECT_FALSE(grid().isChecked(recordOf("가영"), kExist));
}

TEST_F(BeneficiaryImport, EmptyGridSaysThereIsNothing) {
    open();
    EXPECT_EQ(grid().recordCount(), 0);
    clickSave();
    EXPECT_EQ(recorder.texts(), QStringList{facility::kNoBeneficiaries});
    EXPECT_EQ(recorder.last().caption, QStringLiteral("확인"));
}

TEST_F(BeneficiaryImport, BatchRegistersInGridOrderAndReloadsThePayerList) {
    addMate("M11", "가나", "사용중", "450312", "010-1234-5678");
    addMate("M12", "나다", "사용중", "500101", "(02)123-4567");
    addMate("M13", "다라", "사용중", "331010", "010 9876 5432");
    addMate("M14", "라마", "사용중");
    addPayer("0000000041", QString(), "기존", "등록완료");
    auto* list = new Tfrm001;
    list->show();
    ASSERT_TRUE(QTest::qWaitFor([list] { return !list->Timer1->isActive(); }, 5000));
    ASSERT_EQ(list->grd_List->recordCount(), 1);
    recorder.clear();

    open();
    for (const char* name : {"가나", "나다", "다라"}) {
        tick(QString::fromUtf8(name));
        complete(QString::fromUtf8(name));
    }
    grid().setValue(recordOf("나다"), kBank, QStringLiteral("우체국"));

    // The account holder is typed in Hangul input, as the user would.
    const QModelIndex holder = grid().model()->index(recordOf("다라"), grid().columnIndex(kHolder));
    grid().view()->setCurrentIndex(holder);
    grid().view()->edit(holder);
    auto* editor = qobject_cast<QLineEdit*>(grid().view()->indexWidget(holder));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(platform::ime::inputMode(editor), platform::ime::InputMode::Hangul);
    editor->selectAll();
    editor->insert(QStringLiteral("다라아들"));  // typed; the editor is still open at the click

    clickSave();
    EXPECT_EQ(recorder.texts(), QStringList{facility::kSaved});
    EXPECT_EQ(recorder.last().caption, QStringLiteral("성공"));
    EXPECT_EQ(recorder.last().icon, MsgIcon::Information);
    EXPECT_EQ(rows(baseDb(),
                   "select userid, dlbid, username, bankcode, account, accountname, birth, tel, "
                   "stat, startdate, enddate, groupname, memo from cms_user where userid > "
                   "'0000000041' order by userid"),
              (std::vector<QStringList>{
                  {"0000000042", "M11", "가나", "004", "123-45-가나", "가나보호자", "1945-03-12",
                   "01012345678", "등록대기", "9999-99-99", "9999-99-99", "", ""},
                  {"0000000043", "M12", "나다", "071", "123-45-나다", "나다보호자", "1950-01-01",
                   "021234567", "등록대기", "9999-99-99", "9999-99-99", "", ""},
                  {"0000000044", "M13", "다라", "004", "123-45-다라", "다라아들", "1933-10-10",
                   "010 9876 5432", "등록대기", "9999-99-99", "9999-99-99", "", ""},
              }));

    // The rows are registered now, without a reload; the open payer list was reloaded.
    EXPECT_EQ(columnTexts(grid(), kExist), (QStringList{"true", "true", "true", "false"}));
    EXPECT_EQ(columnTexts(grid(), kChk), (QStringList{"false", "false", "false", "false"}));
    EXPECT_EQ(grid().backgroundOf(recordOf("가나"), kName), app::theme::cxStyleUserExist);
    EXPECT_EQ(list->grd_List->recordCount(), 4);
    tick("가나");
    EXPECT_FALSE(grid().isChecked(recordOf("가나"), kChk));
}

TEST_F(BeneficiaryImport, AFailureOnTheThirdInsertStoresNone) {
    addMate("M11", "가나", "사용중");
    addMate("M12", "나다", "사용중");
    addMate("M13", "다라", "사용중");
    addPayer("0000000041", QString(), "기존", "등록완료");
    open();
    clickHeader(grid(), kChk);
    for (const char* name : {"가나", "나다", "다라"}) complete(QString::fromUtf8(name));
    grid().setValue(recordOf("다라"), kAccount, QString(31, u'1'));  // more than the column holds

    clickSave();
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.last().icon, MsgIcon::Error);
    EXPECT_EQ(recorder.last().caption, QStringLiteral("오류"));
    EXPECT_EQ(recorder.last().text,
              QStringLiteral("(데이터베이스) 허용된 글자 길이를 초과했습니다."));
    EXPECT_EQ(rows(baseDb(), "select userid from cms_user"),
              (std::vector<QStringList>{{"0000000041"}}));
    EXPECT_EQ(columnTexts(grid(), kChk), (QStringList{"true", "true", "true"}));
    EXPECT_EQ(columnTexts(grid(), kExist), (QStringList{"false", "false", "false"}));
    EXPECT_EQ(frmIndicator, nullptr);
}

TEST_F(BeneficiaryImport, ModalFromThePayerListNonModalFromTheRibbon) {
    addFacility();
    main = new TfrmMain;
    facility::registerFormOpeners(*main);
    main->show();

    // The payer list's "온돌봄 연동" shows it modally.
    auto* list = new Tfrm001;
    list->show();
    ASSERT_TRUE(QTest::qWaitFor([list] { return !list->Timer1->isActive(); }, 5000));
    bool driven = false;
    {
        app::ScopedModalDriver driver([&](QWidget& shown) {
            driven = true;
            EXPECT_EQ(&shown, frmdlbuser);
            EXPECT_EQ(app::modalDepth(), 1);
            EXPECT_EQ(shown.parentWidget(), main.data());
            auto* f = static_cast<Tfrmdlbuser*>(&shown);
            EXPECT_TRUE(QTest::qWaitFor([f] { return !f->Timer1->isActive(); }, 5000));
            EXPECT_EQ(f->grdUser->recordCount(), 4);
            shown.close();
        });
        QTest::mouseClick(list->bt_newmember_dlb, Qt::LeftButton);
    }
    EXPECT_TRUE(driven);
    settle();
    EXPECT_EQ(frmdlbuser, nullptr);

    // The ribbon's "수급자 가져오기" shows it as a window of its own, one at a time.
    main->runCommand(TfrmMain::Command::ImportUsers);
    QPointer<Tfrmdlbuser> first = frmdlbuser;
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    EXPECT_TRUE(first->isWindow());
    main->runCommand(TfrmMain::Command::ImportUsers);
    EXPECT_EQ(frmdlbuser, first.data());
    first->close();
    settle();
    EXPECT_FALSE(first);
    EXPECT_EQ(frmdlbuser, nullptr);
    main->runCommand(TfrmMain::Command::ImportUsers);
    ASSERT_TRUE(frmdlbuser);
    form = frmdlbuser;
    EXPECT_TRUE(recorder.empty());
}

TEST_F(BeneficiaryImport, CompanyWithoutFacilityCodeGetsTheConnectMessageAndNothing) {
    addFacility();
    loginWithoutFacility();
    open();
    EXPECT_EQ(recorder.texts(), QStringList{kConnectFailed});
    EXPECT_EQ(grid().recordCount(), 0);
    clickSave();
    EXPECT_EQ(recorder.texts().back(), facility::kNoBeneficiaries);
    EXPECT_EQ(payerCount(), "2");
}

}  // namespace
