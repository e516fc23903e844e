// The billed-amount import driven through its named widgets against the real servers: the two
// option rows, the amounts in every matching row of the request grid, the form closing after
// each fetch, and the request form opened first when the ribbon is used without one.
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include "app/main_window.h"
#include "app/modal.h"
#include "billing/request_form.h"
#include "facility/bill_import.h"
#include "facility/facility_openers.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/load_timer.h"
#include "tests/gui/facility_gui_fixture.h"

using namespace facilitytest;
using namespace testsupport;
using platform::ui::MsgIcon;

namespace {

const QString kId = QStringLiteral("grd_Bill_ID");
const QString kAmount = QStringLiteral("grd_Bill_Amount");

class BillImport : public FacilityGui {
protected:
    void SetUp() override {
        FacilityGui::SetUp();
        // Payers in name order: 가영 and 가영둘 share M01, 나리 M02, 다현 M03 (discharged),
        // 라온 entered by hand, 마루 M09 billed nothing.
        addPayer("0000000001", "M01", "가영");
        addPayer("0000000002", "M01", "가영둘");
        addPayer("0000000003", "M02", "나리");
        addPayer("0000000004", "M03", "다현");
        addPayer("0000000005", QString(), "라온");
        addPayer("0000000006", "M09", "마루");
        addMate("M01", "가영", "사용중");
        addMate("M02", "나리", "사용중");
        addMate("M03", "다현", "퇴소자");
        addMate("M09", "마루", "사용중");
        // M01: 300,000 billed, 50,000 unpaid, 100,000 paid. M02 paid more than billed.
        // M03: March and April billed, April counts with April's payments only.
        bill("M01", "2024", "04", "300000", "50000");
        pay("M01", "2024", "04", "100000");
        bill("M02", "2024", "04", "100000", "0");
        pay("M02", "2024", "04", "120000");
        bill("M03", "2024", "03", "400000", "0");
        pay("M03", "2024", "03", "400000");
        bill("M03", "2024", "04", "90000", "10000");
        pay("M03", "2024", "04", "30000");
    }
    void TearDown() override {
        delete frmdlbbill;
        delete request.data();
        delete main.data();
        FacilityGui::TearDown();
    }

    // The request form of its default date with its list loaded, and stored amounts for the
    // hand-entered payer and the one billed nothing.
    Tfrm002& openRequest() {
        request = new Tfrm002;
        request->show();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !request->Timer1->isActive(); }, 5000));
        setAmount("0000000005", 15000);
        setAmount("0000000006", 7000);
        return *request;
    }
    int recordOf(const QString& userid) {
        for (int r = 0; r < grid().recordCount(); ++r)
            if (grid().text(r, kId) == userid) return r;
        ADD_FAILURE() << "no row " << userid.toStdString();
        return -1;
    }
    platform::ui::DataGrid& grid() { return *request->grd_Bill; }
    void setAmount(const QString& userid, qint64 amount) {
        grid().setValue(recordOf(userid), kAmount, amount);
    }
    QStringList amounts() { return columnTexts(grid(), kAmount); }

    // Opens the import from the request form's "온돌봄 연동", lets `choose` pick the options and
    // fetches. Returns whether the form was shown modally.
    bool fetchFromRequestForm(const std::function<void(Tfrmdlbbill&)>& choose = {}) {
        bool modal = false;
        app::ScopedModalDriver driver([&](QWidget& shown) {
            auto* f = qobject_cast<Tfrmdlbbill*>(&shown);
            ASSERT_NE(f, nullptr);
            modal = app::modalDepth() == 1;
            if (choose) choose(*f);
            QTest::mouseClick(f->btnSaveGrid, Qt::LeftButton);
        });
        QTest::mouseClick(request->cxButton3, Qt::LeftButton);
        settle();
        return modal;
    }
    QString storedRequests() { return scalar(baseDb(), "select count(*) from cms_bill"); }

    QPointer<Tfrm002> request;
    QPointer<TfrmMain> main;
};

TEST_F(BillImport, TheDialogAndItsOptions) {
    auto* f = new Tfrmdlbbill;
    EXPECT_EQ(f->windowTitle(), QStringLiteral("온돌봄 연동(청구)"));
    EXPECT_EQ(f->size(), QSize(381, 129));
    EXPECT_TRUE(f->rdo_BillAll->isChecked());
    EXPECT_FALSE(f->rdo_BillMonthly->isChecked());
    EXPECT_TRUE(f->rdo_UserAll->isChecked());
    EXPECT_FALSE(f->rdo_UserContracted->isChecked());
    // The two rows are separate choices.
    f->rdo_UserContracted->setChecked(true);
    EXPECT_TRUE(f->rdo_BillAll->isChecked());
    EXPECT_EQ(f->btnSaveGrid->text(), QStringLiteral("금액 가져오기"));
    EXPECT_EQ(frmdlbbill, f);
    delete f;
    EXPECT_EQ(frmdlbbill, nullptr);
}

TEST_F(BillImport, AmountsLandInEveryMatchingRowAndNothingIsStored) {
    Tfrm002& r = openRequest();
    // 가영, 가영둘, 나리, 다현, 라온, 마루
    ASSERT_EQ(columnTexts(grid(), kId), (QStringList{"0000000001", "0000000002", "0000000003",
                                                     "0000000004", "0000000005", "0000000006"}));
    EXPECT_TRUE(fetchFromRequestForm());
    EXPECT_EQ(amounts(), (QStringList{"250000", "250000", "0", "70000", "15000", "7000"}));
    EXPECT_EQ(grid().displayText(recordOf("0000000001"), kAmount), QStringLiteral("250,000"));
    EXPECT_EQ(frmdlbbill, nullptr) << "the form closes after the fetch";
    EXPECT_EQ(storedRequests(), "0");
    EXPECT_TRUE(recorder.empty());
    EXPECT_EQ(frmIndicator, nullptr);
    EXPECT_EQ(frm002, &r);
}

TEST_F(BillImport, MonthlyChargesOnlyAndContractedBeneficiariesOnly) {
    openRequest();
    struct Case {
        const char* what;
        bool monthly;
        bool contracted;
        QStringList amounts;
    };
    const Case cases[] = {
        {"this month only", true, false, {"200000", "200000", "0", "60000", "15000", "7000"}},
        // The discharged beneficiary's payer keeps the amount it had.
        {"under contract", false, true, {"250000", "250000", "0", "4444", "15000", "7000"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        setAmount("0000000004", 4444);
        fetchFromRequestForm([&](Tfrmdlbbill& f) {
            if (k.monthly) QTest::mouseClick(f.rdo_BillMonthly, Qt::LeftButton);
            if (k.contracted) QTest::mouseClick(f.rdo_UserContracted, Qt::LeftButton);
        });
        EXPECT_EQ(amounts(), k.amounts);
    }
}

TEST_F(BillImport, AReadOnlyGridStillReceivesTheAmounts) {
    Tfrm002& r = openRequest();
    r.date_Date->setDate(QDate::currentDate().addDays(-1));
    ASSERT_FALSE(grid().cellSelect()) << "a past date is read only";
    fetchFromRequestForm();
    EXPECT_EQ(grid().text(recordOf("0000000001"), kAmount), QStringLiteral("250000"));
}

TEST_F(BillImport, FromTheRibbonWithoutRequestFormOpensItFirst) {
    main = new TfrmMain;
    facility::registerFormOpeners(*main);
    main->show();
    ASSERT_EQ(frm002, nullptr);

    main->runCommand(TfrmMain::Command::ImportBills);
    QPointer<Tfrmdlbbill> f = frmdlbbill;
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->isModal());
    main->runCommand(TfrmMain::Command::ImportBills);
    EXPECT_EQ(frmdlbbill, f.data()) << "one instance";

    QTest::mouseClick(f->btnSaveGrid, Qt::LeftButton);
    settle();
    EXPECT_FALSE(f);
    ASSERT_TRUE(frm002);
    request = frm002;
    EXPECT_TRUE(request->isVisible());
    EXPECT_EQ(request->date_Date->text(),
              QDate::currentDate().addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    EXPECT_EQ(amounts(), (QStringList{"250000", "250000", "0", "70000", "0", "0"}));
    // No later load replaces them.
    QTest::qWait(300);
    EXPECT_FALSE(request->Timer1->isActive());
    EXPECT_EQ(amounts(), (QStringList{"250000", "250000", "0", "70000", "0", "0"}));
    EXPECT_TRUE(recorder.empty());
}

TEST_F(BillImport, CompanyWithoutFacilityCodeGetsTheConnectMessageAndNothingChanges) {
    loginWithoutFacility();
    openRequest();
    const QStringList before = amounts();
    fetchFromRequestForm();
    EXPECT_EQ(recorder.texts(), QStringList{kConnectFailed});
    EXPECT_EQ(amounts(), before);
    EXPECT_EQ(frmdlbbill, nullptr);
}

TEST_F(BillImport, AnErrorIsShownAndTheFormCloses) {
    openRequest();
    const QStringList before = amounts();
    exec(careDb(), "drop table base_income");
    fetchFromRequestForm();
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.last().icon, MsgIcon::Error);
    EXPECT_EQ(recorder.last().caption, QStringLiteral("오류"));
    EXPECT_TRUE(recorder.last().text.contains(QStringLiteral("base_income")))
        << recorder.last().text.toStdString();
    EXPECT_EQ(amounts(), before);
    EXPECT_EQ(frmdlbbill, nullptr);
    EXPECT_EQ(frmIndicator, nullptr);
}

}  // namespace
