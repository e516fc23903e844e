// The sign-up form against the real service database: duplicate checks and their buttons,
// the submit's tests in their order, the stored row, the terms page and the keyboard rules.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <functional>
#include <memory>

#include "app/data_module.h"
#include "app/single_instance.h"
#include "platform/ime/input_mode.h"
#include "signup/join_form.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using platform::ui::MsgIcon;

namespace {

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class JoinForm : public ::testing::Test {
protected:
    void SetUp() override {
        resetDatabases();
        exec(baseDb(),
             "insert into cms_company (id, pw, compno, compname) values "
             "('taken01', 'x', '1112223333', '기존기관')");
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([](int) {});
        DM = dm.get();
        QApplication::setQuitOnLastWindowClosed(false);
        app::trackInstance(frmJoin, new TfrmJoin);
        f = frmJoin;
        f->show();
        QApplication::setActiveWindow(f);
        settle();
    }
    void TearDown() override {
        delete f.data();
        settle();
        DM = nullptr;
        dm.reset();
    }

    // Key by key, as typed; characters outside ASCII arrive as the key's text, as an input
    // method delivers them.
    static void keys(QWidget* w, const QString& text) {
        for (QChar c : text) {
            if (c.unicode() < 127) {
                QTest::keyClick(w, c.toLatin1());
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
            QApplication::sendEvent(w, &release);
        }
    }
    static void type(QLineEdit* e, const QString& text) {
        e->setFocus();
        e->clear();
        keys(e, text);
    }
    // Leaves the field as the user does (the value is committed).
    void leave(QLineEdit* e) {
        e->setFocus();
        f->txt_주소->setFocus();
        settle();
    }

    // Fills every field so that the submit passes, with both checks done.
    void fillValid() {
        type(f->txt_사용자아이디, " newcomp01");
        f->bt_기관번호확인->click();
        type(f->txt_비밀번호, "secret1 ");
        type(f->txt_비밀번호확인, "secret1 ");
        type(f->txt_사업자번호, "123-45-67890");
        leave(f->txt_사업자번호);
        f->bt_사업자확인->click();
        type(f->txt_사업자명, "새봄요양센터 ");
        type(f->txt_연락처, "02-123-4567");
        type(f->txt_이메일, "admin@saebom.example");
        leave(f->txt_이메일);
        type(f->txt_주소, " 서울특별시 중구 세종대로 110");
        f->ckbx_전체->setChecked(true);
        ASSERT_TRUE(f->bt_기관번호확인->isHidden());
        ASSERT_TRUE(f->bt_사업자확인->isHidden());
        recorder.clear();
    }

    void expectNotice(const QString& text, QWidget* focus) {
        ASSERT_FALSE(recorder.empty());
        EXPECT_EQ(recorder.last().text, text);
        EXPECT_EQ(recorder.last().icon, MsgIcon::Warning);
        EXPECT_EQ(recorder.last().caption, "알림");
        if (focus) {
            EXPECT_EQ(f->focusWidget(), focus) << text.toStdString();
        }
    }

    QString companies() const { return scalar(baseDb(), "select count(*) from cms_company"); }

    MessageRecorder recorder;
    std::unique_ptr<TDM> dm;
    QPointer<TfrmJoin> f;
};

TEST_F(JoinForm, StartsOnTheEntryPageWithEverythingEmpty) {
    EXPECT_EQ(f->windowTitle(), "회원가입");
    EXPECT_EQ(f->size(), QSize(805, 571));
    EXPECT_TRUE(f->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(f->pageControl->currentWidget(), f->cxTabSheet1);
    EXPECT_EQ(f->cbbx_comptype->currentText(), "선택하세요.");
    EXPECT_EQ(f->cbbx_comptype->count(), 4);
    EXPECT_FALSE(f->cbbx_comptype->isEditable());
    EXPECT_EQ(QApplication::focusWidget(), f->txt_사용자아이디);
    EXPECT_TRUE(f->bt_기관번호확인->isVisible());
    EXPECT_TRUE(f->bt_사업자확인->isVisible());
    using platform::ime::InputMode;
    EXPECT_EQ(platform::ime::inputMode(f->txt_사용자아이디), InputMode::Alpha);
    EXPECT_EQ(platform::ime::inputMode(f->txt_비밀번호), InputMode::Alpha);
    EXPECT_EQ(platform::ime::inputMode(f->txt_이메일), InputMode::Alpha);
    EXPECT_EQ(platform::ime::inputMode(f->txt_사업자명), InputMode::Hangul);
    EXPECT_EQ(platform::ime::inputMode(f->txt_주소), InputMode::Hangul);
    EXPECT_EQ(platform::ime::inputMode(f->txt_연락처), InputMode::Hangul);
}

TEST_F(JoinForm, UserIdCheck) {
    struct Case {
        const char* id;
        const char* message;  // "" = free
    } cases[] = {
        {"", "사용자 아이디를 입력하지 않았습니다."},
        {"      ", "사용자 아이디를 입력하지 않았습니다."},
        {"abc12", "사용자 아이디를 6글자 이상 입력하세요."},
        {" abc12 ", "사용자 아이디를 6글자 이상 입력하세요."},
        {"taken01", "이미 등록된 사용자아이디 입니다."},
        {" taken01 ", "이미 등록된 사용자아이디 입니다."},
        {"free001", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        recorder.clear();
        type(f->txt_사용자아이디, QString::fromUtf8(c.id));
        f->bt_기관번호확인->click();
        if (*c.message) {
            expectNotice(QString::fromUtf8(c.message), f->txt_사용자아이디);
            EXPECT_FALSE(f->bt_기관번호확인->isHidden());
        } else {
            EXPECT_TRUE(recorder.empty());
            EXPECT_TRUE(f->bt_기관번호확인->isHidden());
            EXPECT_EQ(f->focusWidget(), f->txt_비밀번호);
        }
    }
}

TEST_F(JoinForm, BusinessNumberLosesItsDashesAndIsChecked) {
    type(f->txt_사업자번호, "123-45-67890");
    leave(f->txt_사업자번호);
    EXPECT_EQ(f->txt_사업자번호->text(), "1234567890");
    EXPECT_FALSE(f->bt_사업자확인->isHidden());
    f->bt_사업자확인->click();
    EXPECT_TRUE(recorder.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_TRUE(f->bt_사업자확인->isHidden());
    EXPECT_EQ(f->focusWidget(), f->txt_사업자명);

    struct Case {
        const char* compno;
        const char* message;
    } cases[] = {
        {"", "사업자번호를 입력하지 않았습니다."},
        {"123456789", "사업자번호를 10자리로 입력하세요."},
        {"12345678901", "사업자번호를 10자리로 입력하세요."},
        {"1112223333", "이미 등록된 사업자번호 입니다."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.compno);
        recorder.clear();
        type(f->txt_사업자번호, QString::fromUtf8(c.compno));
        f->bt_사업자확인->click();
        expectNotice(QString::fromUtf8(c.message), f->txt_사업자번호);
        EXPECT_FALSE(f->bt_사업자확인->isHidden());
    }
}

TEST_F(JoinForm, TelephoneLosesItsDashesWhenTelephoneOrEmailIsCommitted) {
    type(f->txt_연락처, "010-1234-5678");
    leave(f->txt_연락처);
    EXPECT_EQ(f->txt_연락처->text(), "01012345678");
    type(f->txt_이메일, "a-b@x-y.example");
    f->txt_연락처->setText("02-555-0101");
    leave(f->txt_이메일);
    EXPECT_EQ(f->txt_연락처->text(), "025550101");
    EXPECT_EQ(f->txt_이메일->text(), "a-b@x-y.example");
}

TEST_F(JoinForm, ChangingACheckedValueAsksForTheCheckAgain) {
    fillValid();
    QTest::keyClicks(f->txt_사용자아이디, "x");
    EXPECT_FALSE(f->bt_기관번호확인->isHidden());
    f->btnLogin->click();
    ASSERT_EQ(recorder.texts().size(), 1);
    expectNotice("사용자 아이디 중복확인을 하지 않았습니다.", f->bt_기관번호확인);

    f->bt_기관번호확인->click();
    QTest::keyClicks(f->txt_사업자번호, "0");
    EXPECT_FALSE(f->bt_사업자확인->isHidden());
    recorder.clear();
    f->btnLogin->click();
    expectNotice("사업자번호 중복확인을 하지 않았습니다.", f->bt_사업자확인);
    EXPECT_EQ(companies(), "1");
}

TEST_F(JoinForm, AllTermsBox) {
    f->ckbx_전체->setChecked(true);
    EXPECT_TRUE(f->ckbx_이용약관->isChecked());
    EXPECT_TRUE(f->ckbx_개인정보->isChecked());
    EXPECT_TRUE(f->ckbx_서비스->isChecked());
    f->ckbx_전체->setChecked(false);
    EXPECT_FALSE(f->ckbx_이용약관->isChecked());
    EXPECT_FALSE(f->ckbx_개인정보->isChecked());
    EXPECT_FALSE(f->ckbx_서비스->isChecked());

    fillValid();
    QTest::mouseClick(f->ckbx_개인정보, Qt::LeftButton);
    EXPECT_FALSE(f->ckbx_개인정보->isChecked());
    EXPECT_TRUE(f->ckbx_전체->isChecked());
    f->btnLogin->click();
    expectNotice("이용약관에 모두 동의하셔야 가입가능합니다.", nullptr);
    EXPECT_EQ(companies(), "1");
    // Ticking the three one by one is as good as the "all" box.
    f->ckbx_전체->setChecked(false);
    for (QCheckBox* c : {f->ckbx_이용약관, f->ckbx_개인정보, f->ckbx_서비스}) c->setChecked(true);
    EXPECT_FALSE(f->ckbx_전체->isChecked());
    recorder.clear();
    f->btnLogin->click();
    EXPECT_EQ(recorder.texts(), QStringList{"가입이 완료되었습니다."});
}

// Each submit stops at the first failing test; mending it leads to the next one.
TEST_F(JoinForm, SubmitTestsRunInTheirOrder) {
    struct Step {
        std::function<void()> mend;  // what the user does before the submit
        const char* message;
        std::function<QWidget*()> focus;  // where the focus must be afterwards
    };
    const std::vector<Step> steps = {
        {[] {}, "사용자 아이디를 입력하지 않았습니다.",
         [&]() -> QWidget* { return f->txt_사용자아이디; }},
        {[&] { type(f->txt_사용자아이디, "abc12"); }, "사용자 아이디를 6자리 이상 입력하세요.",
         [&]() -> QWidget* { return f->txt_사용자아이디; }},
        {[&] { type(f->txt_사용자아이디, "newcomp01"); },
         "사용자 아이디 중복확인을 하지 않았습니다.",
         [&]() -> QWidget* { return f->bt_기관번호확인; }},
        {[&] { f->bt_기관번호확인->click(); }, "비밀번호를 입력 하지 않았습니다.",
         [&]() -> QWidget* { return f->txt_비밀번호; }},
        {[&] { type(f->txt_비밀번호, "pw1234"); }, "비밀번호 확인을 입력 하지 않았습니다.",
         [&]() -> QWidget* { return f->txt_비밀번호확인; }},
        {[&] { type(f->txt_비밀번호확인, "pw12345"); }, "비밀번호와 비밀번호 확인 값이 다릅니다.",
         [&]() -> QWidget* { return f->txt_비밀번호확인; }},
        {[&] { type(f->txt_비밀번호확인, "pw1234"); }, "사업자번호를 입력하지 않았습니다.",
         [&]() -> QWidget* { return f->txt_사업자번호; }},
        {[&] { type(f->txt_사업자번호, "123456789"); }, "사업자번호를 10자리 이상 입력하세요.",
         [&]() -> QWidget* { return f->txt_사업자번호; }},
        {[&] { type(f->txt_사업자번호, "1234567890"); }, "사업자번호 중복확인을 하지 않았습니다.",
         [&]() -> QWidget* { return f->bt_사업자확인; }},
        {[&] { f->bt_사업자확인->click(); }, "이용약관에 모두 동의하셔야 가입가능합니다.",
         []() -> QWidget* { return nullptr; }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.message);
        s.mend();
        recorder.clear();
        f->btnLogin->click();
        ASSERT_EQ(recorder.texts(), QStringList{QString::fromUtf8(s.message)});
        expectNotice(QString::fromUtf8(s.message), s.focus());
    }
    EXPECT_EQ(companies(), "1");
}

TEST_F(JoinForm, SignUpStoresTrimmedValuesAndCloses) {
    fillValid();
    f->btnLogin->click();
    settle();
    ASSERT_EQ(recorder.texts(), QStringList{"가입이 완료되었습니다."});
    EXPECT_EQ(recorder.last().icon, MsgIcon::Information);
    EXPECT_EQ(recorder.last().caption, "확인");
    EXPECT_TRUE(f.isNull());
    EXPECT_EQ(frmJoin, nullptr);
    const auto r = rows(baseDb(),
                        "select id, pw, serviceid, apikey, comptype, compno, compname, sitype, "
                        "sicode, tel, addr, email from cms_company where id = 'newcomp01'");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0], (QStringList{"newcomp01", "secret1", "", "", "선택하세요.", "1234567890",
                                 "새봄요양센터", "", "", "021234567",
                                 "서울특별시 중구 세종대로 110", "admin@saebom.example"}));
}

TEST_F(JoinForm, ChosenBusinessTypeIsStored) {
    fillValid();
    f->cbbx_comptype->setCurrentText("개인사업자");
    f->btnLogin->click();
    EXPECT_EQ(scalar(baseDb(), "select comptype from cms_company where id = 'newcomp01'"),
              "개인사업자");
}

// Another client signed up with the same business number after the check: the insert fails,
// nothing is stored, the form stays with its fields.
TEST_F(JoinForm, FailedInsertStoresNothingAndKeepsTheForm) {
    fillValid();
    exec(baseDb(),
         "insert into cms_company (id, pw, compno) values ('other001', 'x', '1234567890')");
    f->btnLogin->click();
    settle();
    ASSERT_EQ(recorder.texts().size(), 1);
    EXPECT_EQ(recorder.last().icon, MsgIcon::Error);
    EXPECT_EQ(recorder.last().caption, "오류");
    EXPECT_TRUE(recorder.last().text.contains("Duplicate entry", Qt::CaseInsensitive));
    ASSERT_FALSE(f.isNull());
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->txt_사용자아이디->text(), " newcomp01");
    EXPECT_EQ(companies(), "2");
    EXPECT_EQ(scalar(baseDb(), "select count(*) from cms_company where id = 'newcomp01'"), "0");
}

TEST_F(JoinForm, CheckErrorsAreReportedAndTheButtonKeepsItsState) {
    exec(baseDb(), "drop table cms_company");
    type(f->txt_사용자아이디, "free001");
    f->bt_기관번호확인->click();
    ASSERT_EQ(recorder.texts(), QStringList{"[#316] Exception Error"});
    EXPECT_EQ(recorder.last().icon, MsgIcon::Error);
    EXPECT_EQ(recorder.last().caption, "오류");
    EXPECT_FALSE(f->bt_기관번호확인->isHidden());

    recorder.clear();
    DM->UniBase.port = 1;
    type(f->txt_사업자번호, "1234567890");
    f->bt_사업자확인->click();
    EXPECT_EQ(recorder.texts(),
              QStringList{"서버와 연결 실패!!\r네트워크(인터넷) 연결상태를 확인하세요."});
    EXPECT_FALSE(f->bt_사업자확인->isHidden());
}

TEST_F(JoinForm, EnterWalksTheFocusOrderSkippingConfirmedButtons) {
    type(f->txt_사용자아이디, "free001");
    QTest::keyClick(f->txt_사용자아이디, Qt::Key_Return);
    EXPECT_EQ(f->focusWidget(), f->bt_기관번호확인);
    // Enter on the focused check button runs the check.
    QTest::keyClick(f->bt_기관번호확인, Qt::Key_Return);
    EXPECT_TRUE(f->bt_기관번호확인->isHidden());
    EXPECT_EQ(f->focusWidget(), f->txt_비밀번호);

    f->txt_사용자아이디->setFocus();
    QTest::keyClick(f->txt_사용자아이디, Qt::Key_Enter);
    EXPECT_EQ(f->focusWidget(), f->txt_비밀번호);
    QTest::keyClick(f->txt_비밀번호, Qt::Key_Return);
    EXPECT_EQ(f->focusWidget(), f->txt_비밀번호확인);
    QTest::keyClick(f->txt_비밀번호확인, Qt::Key_Return);
    EXPECT_EQ(f->focusWidget(), f->txt_사업자번호);
    QTest::keyClick(f->txt_사업자번호, Qt::Key_Return);
    EXPECT_EQ(f->focusWidget(), f->bt_사업자확인);
    f->bt_사업자확인->hide();
    f->txt_사업자번호->setFocus();
    QTest::keyClick(f->txt_사업자번호, Qt::Key_Return);
    EXPECT_EQ(f->focusWidget(), f->txt_사업자명);
    for (QLineEdit* next : {f->txt_연락처, f->txt_이메일, f->txt_주소}) {
        QTest::keyClick(f->focusWidget(), Qt::Key_Return);
        EXPECT_EQ(f->focusWidget(), next);
    }
    QTest::keyClick(f->txt_주소, Qt::Key_Return);
    EXPECT_EQ(f->focusWidget(), f->txt_주소);
    // Enter never submits and never types.
    EXPECT_TRUE(recorder.empty());
    EXPECT_TRUE(f->txt_사업자명->text().isEmpty());
}

TEST_F(JoinForm, PasswordFieldsTakeAsciiOnly) {
    for (QLineEdit* e : {f->txt_비밀번호, f->txt_비밀번호확인}) {
        type(e, QStringLiteral("ab한c~é1"));
        EXPECT_EQ(e->text(), "abc~1");
        EXPECT_EQ(e->echoMode(), QLineEdit::Password);
        // Pasted text follows the same rule.
        e->insert(QStringLiteral("x비밀"));
        EXPECT_EQ(e->text(), "abc~1");
        e->insert(QStringLiteral("Z9!"));
        EXPECT_EQ(e->text(), "abc~1Z9!");
    }
    type(f->txt_사업자명, QStringLiteral("새봄"));
    EXPECT_EQ(f->txt_사업자명->text(), "새봄");
}

TEST_F(JoinForm, TermsPageShowsOneTextAtATime) {
    struct Case {
        QPushButton* TfrmJoin::*view;
        QPlainTextEdit* TfrmJoin::*memo;
        const char* firstLine;
    } cases[] = {
        {&TfrmJoin::cxButton3, &TfrmJoin::mm_이용약관, "회원약관"},
        {&TfrmJoin::cxButton2, &TfrmJoin::mm_개인정보약관,
         "ㆍ수집하는 개인정보의 항목 및 수집방법"},
        {&TfrmJoin::cxButton4, &TfrmJoin::mm_서비스약관, "서비스 이용약관"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstLine);
        (f->*c.view)->click();
        EXPECT_EQ(f->pageControl->currentWidget(), f->cxTabSheet2);
        QPlainTextEdit* shown = f->*c.memo;
        for (QPlainTextEdit* m : {f->mm_이용약관, f->mm_개인정보약관, f->mm_서비스약관})
            EXPECT_EQ(m->isVisible(), m == shown);
        const QString text = shown->toPlainText();
        EXPECT_EQ(text.section(u'\n', 0, 0), QString::fromUtf8(c.firstLine));
        EXPECT_GT(text.size(), 800);
        EXPECT_TRUE(shown->isReadOnly());
        shown->setFocus();
        keys(shown, QStringLiteral("abc 가"));
        QTest::keyClick(shown, Qt::Key_Delete);
        QTest::keyClick(shown, Qt::Key_Backspace);
        EXPECT_EQ(shown->toPlainText(), text);
        f->cxButton1->click();
        EXPECT_EQ(f->pageControl->currentWidget(), f->cxTabSheet1);
    }
}

}  // namespace
