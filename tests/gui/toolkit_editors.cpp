// Date editor, caption cells, load timer and the real message boxes and file dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "platform/ui/caption_cell.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/load_timer.h"
#include "platform/ui/qt_message_service.h"

using namespace platform::ui;

namespace {

struct DateEditTest : ::testing::Test {
    void SetUp() override {
        edit = std::make_unique<DateEdit>();
        edit->resize(160, 26);
        edit->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(edit.get()));
    }
    DatePopup* openPopup() {
        QTest::mouseClick(edit->dropDownButton(), Qt::LeftButton);
        QApplication::processEvents();
        return edit->findChild<DatePopup*>("datePopup");
    }
    std::unique_ptr<DateEdit> edit;
};

TEST_F(DateEditTest, DropDownShowsTodayAndClearAndClearEmpties) {
    edit->setDate(QDate(2024, 5, 2));
    QSignalSpy changed(edit.get(), &DateEdit::dateChanged);
    DatePopup* popup = openPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    auto* today = popup->findChild<QPushButton*>("btnToday");
    auto* clear = popup->findChild<QPushButton*>("btnClear");
    ASSERT_TRUE(today && clear);
    EXPECT_EQ(today->text(), QStringLiteral("오늘"));
    EXPECT_EQ(clear->text(), QStringLiteral("삭제"));
    QTest::mouseClick(clear, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(edit->isEmpty());
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(edit->lineEdit()->text(), QString());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_FALSE(changed.first().at(0).toDate().isValid());

    popup = openPopup();
    ASSERT_NE(popup, nullptr);
    QTest::mouseClick(popup->findChild<QPushButton*>("btnToday"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(edit->date(), QDate::currentDate());
}

TEST_F(DateEditTest, FormsCanDropTheButtons) {
    edit->setButtons(DateEdit::NoButtons);
    DatePopup* popup = openPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->findChild<QPushButton*>("btnToday"), nullptr);
    EXPECT_EQ(popup->findChild<QPushButton*>("btnClear"), nullptr);
    // A day picked in the calendar is taken.
    popup->calendar()->setSelectedDate(QDate(2024, 5, 31));
    emit popup->calendar()->clicked(QDate(2024, 5, 31));
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), QStringLiteral("2024-05-31"));
}

TEST_F(DateEditTest, TextIsAlwaysYearMonthDayWithDashes) {
    edit->setDisplayFormat(QStringLiteral("YYYY.MM.DD"));
    edit->setDate(QDate(2024, 5, 1));
    EXPECT_EQ(edit->lineEdit()->text(), QStringLiteral("2024.05.01"));
    EXPECT_EQ(edit->text(), QStringLiteral("2024-05-01"));

    struct Case {
        const char* typed;
        const char* text;  // what text() reads back
    } cases[] = {
        {"2024.12.25", "2024-12-25"},
        {"2024-02-29", "2024-02-29"},
        {"20240301", "2024-03-01"},
        {"2023-02-29", "2024-03-01"},  // no such day: the previous value stays
        {"2024.1", "2024-03-01"},      // incomplete
        {"", ""},                      // emptied
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        edit->lineEdit()->setFocus();
        edit->lineEdit()->selectAll();
        QTest::keyClick(edit->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(edit->lineEdit(), QString::fromUtf8(c.typed));
        QTest::keyClick(edit->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.text));
    }
    QTest::keyClicks(edit->lineEdit(), "ab");
    EXPECT_EQ(edit->lineEdit()->text(), QString()) << "letters are not taken";
}

TEST_F(DateEditTest, DisabledNotificationsFireNothing) {
    QSignalSpy changed(edit.get(), &DateEdit::dateChanged);
    edit->setNotificationsEnabled(false);
    edit->setDate(QDate(2024, 5, 2));
    edit->clear();
    edit->setText(QStringLiteral("2024-06-01"));
    EXPECT_EQ(changed.count(), 0);
    edit->setNotificationsEnabled(true);
    // The forms' way: switch the editor off, set the value, switch it on again.
    edit->setEnabled(false);
    edit->setDate(QDate(2024, 7, 1));
    edit->setEnabled(true);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(edit->text(), QStringLiteral("2024-07-01"));
    edit->setDate(QDate(2024, 7, 1));
    EXPECT_EQ(changed.count(), 0) << "same value: no change";
    edit->setDate(QDate(2024, 7, 2));
    EXPECT_EQ(changed.count(), 1);
}

TEST(CaptionCell, GivesItsBuddyTheCaptionAsAccessibleName) {
    QWidget form;
    auto* id = new QLineEdit(&form);
    auto* cell = new CaptionCell(QStringLiteral("아이디"), &form);
    cell->setBuddy(id);
    EXPECT_EQ(id->accessibleName(), QStringLiteral("아이디"));
    cell->setText(QStringLiteral("사용자아이디"));
    EXPECT_EQ(id->accessibleName(), QStringLiteral("사용자아이디"));
    // A date editor reads its caption on the box that takes the typing as well.
    auto* date = new DateEdit(&form);
    setCaption(date, QStringLiteral("출금 일자"));
    EXPECT_EQ(date->accessibleName(), QStringLiteral("출금 일자"));
    EXPECT_EQ(date->lineEdit()->accessibleName(), QStringLiteral("출금 일자"));
}

TEST(LoadTimer, FiresOnceAfterTheFormIsShown) {
    QWidget form;
    auto* timer = new LoadTimer(&form);
    int loads = 0;
    QObject::connect(timer, &QTimer::timeout, [&] { ++loads; });
    EXPECT_EQ(timer->objectName(), QStringLiteral("Timer1"));
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_FALSE(timer->isActive()) << "inactive until shown";
    QTest::qWait(150);
    EXPECT_EQ(loads, 0);
    form.show();
    EXPECT_TRUE(timer->isActive());
    QTest::qWait(400);
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(timer->isActive());
    form.hide();
    form.show();
    QTest::qWait(250);
    EXPECT_EQ(loads, 2) << "one load per showing";
}

// Runs `check` on the modal window that opens next, then lets `close` end it.
template <class W>
void whenOpen(std::function<void(W*)> check) {
    QTimer::singleShot(0, [check] {
        W* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w)
            for (QWidget* top : QApplication::topLevelWidgets())
                if ((w = qobject_cast<W*>(top)) && w->isVisible()) break;
        ASSERT_NE(w, nullptr);
        check(w);
    });
}

TEST(QtMessageService, BoxesCarryIconCaptionTextAndKoreanButtons) {
    QtMessageService messages;
    struct Case {
        MsgIcon icon;
        QMessageBox::Icon qtIcon;
        MsgButtons buttons;
        QStringList buttonTexts;
        const char* press;
        MsgResult expected;
    } cases[] = {
        {MsgIcon::Question,
         QMessageBox::Question,
         MsgButtons::YesNo,
         {"예(&Y)", "아니요(&N)"},
         "아니요(&N)",
         MsgResult::No},
        {MsgIcon::Question,
         QMessageBox::Question,
         MsgButtons::YesNo,
         {"예(&Y)", "아니요(&N)"},
         "예(&Y)",
         MsgResult::Yes},
        {MsgIcon::Error, QMessageBox::Critical, MsgButtons::Ok, {"확인"}, "확인", MsgResult::Ok},
        {MsgIcon::Warning,
         QMessageBox::Warning,
         MsgButtons::OkCancel,
         {"확인", "취소"},
         "취소",
         MsgResult::Cancel},
        {MsgIcon::None, QMessageBox::NoIcon, MsgButtons::Ok, {"확인"}, "확인", MsgResult::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press);
        whenOpen<QMessageBox>([&c](QMessageBox* box) {
            EXPECT_EQ(box->icon(), c.qtIcon);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("확인"));
            EXPECT_EQ(box->text(), QStringLiteral("▶ 프로그램을 종료하시겠습니까?"));
            QStringList texts;
            QAbstractButton* press = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                texts << b->text();
                if (b->text() == QString::fromUtf8(c.press)) press = b;
            }
            texts.sort();
            QStringList expected = c.buttonTexts;
            expected.sort();
            EXPECT_EQ(texts, expected);
            ASSERT_NE(press, nullptr);
            press->click();
        });
        EXPECT_EQ(messages.show(nullptr, c.icon, QStringLiteral("확인"),
                                QStringLiteral("▶ 프로그램을 종료하시겠습니까?"), c.buttons),
                  c.expected);
    }
}

TEST(QtMessageService, SaveDialogTakesTheFilterAndPresetName) {
    QtMessageService messages;
    const QString dir = QDir::temp().filePath(QStringLiteral("paydesk_dialog_test"));
    QDir().mkpath(dir);
    whenOpen<QFileDialog>([&](QFileDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("저장"));
        EXPECT_EQ(d->nameFilters(), QStringList({"JPG (*.JPG)"}));
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
        static_cast<QDialog*>(d)->accept();
    });
    const QString chosen =
        messages.saveFile(nullptr, QStringLiteral("저장"), dir + QStringLiteral("/동의서.JPG"),
                          QStringLiteral("JPG|*.JPG"));
    EXPECT_EQ(chosen, dir + QStringLiteral("/동의서.JPG"));

    whenOpen<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_EQ(messages.openFile(nullptr, QStringLiteral("열기"), dir, QStringLiteral("JPG|*.JPG")),
              QString())
        << "cancel gives an empty path";
}

}  // namespace
