// The application documents form against the real FTP server: rows per business type, the
// five downloads through the save dialog, failures, and the ribbon commands it disables.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <memory>

#include "app/data_module.h"
#include "app/indicator.h"
#include "app/main_window.h"
#include "app/session.h"
#include "documents/documents_form.h"
#include "store/vocabulary.h"
#include "tests/support/message_recorder.h"
#include "tests/support/test_env.h"

using namespace testsupport;
using platform::ui::MsgIcon;
using Command = TfrmMain::Command;

namespace {

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

class DocumentsForm : public ::testing::Test {
protected:
    void SetUp() override {
        resetFtp();
        dir = freshDir("downloads");
        qputenv("PAYDESK_DESKTOP_DIR", freshDir("desktop").toUtf8());
        dm = std::make_unique<TDM>(world().config, recorder);
        dm->setWaiter([](int) {});
        DM = dm.get();
        QApplication::setQuitOnLastWindowClosed(false);
        app::session() = {};
        main = new TfrmMain;
        main->show();
        main->showWorkingWindow();
    }
    void TearDown() override {
        delete frmDocuments;
        delete main.data();
        settle();
        app::session() = {};
        DM = nullptr;
        dm.reset();
    }

    TfrmDocuments* open(const QString& comptype) {
        app::session().comptype = comptype;
        TfrmDocuments* f = main->showWindowForm(frmDocuments);
        settle();
        return f;
    }

    MessageRecorder recorder;
    std::unique_ptr<TDM> dm;
    QPointer<TfrmMain> main;
    QString dir;
};

TEST_F(DocumentsForm, RowsPerBusinessType) {
    struct Case {
        const char* comptype;
        bool individual;
    } cases[] = {
        {"개인사업자", true}, {"법인사업자", false}, {"기타", false}, {"선택하세요.", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.comptype);
        TfrmDocuments* f = open(QString::fromUtf8(c.comptype));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->windowTitle(), "신청서");
        EXPECT_TRUE(f->isWindow());
        EXPECT_EQ(f->size(), QSize(542, 280));
        EXPECT_TRUE(f->cxButton1->isEnabled());
        EXPECT_EQ(f->bt_B->isEnabled(), !c.individual);
        EXPECT_EQ(f->pn_B->isVisible(), !c.individual);
        EXPECT_EQ(f->bt_G->isEnabled(), c.individual);
        EXPECT_EQ(f->pn_G->isVisible(), c.individual);
        EXPECT_EQ(f->pn_B->cursor().shape(), Qt::PointingHandCursor);
        f->close();
        settle();
        EXPECT_EQ(frmDocuments, nullptr);
    }
}

TEST_F(DocumentsForm, RibbonCommandsStayDisabledAfterTheFormIsClosed) {
    TfrmDocuments* f = open("기타");
    for (Command c : {Command::Payers, Command::Billing, Command::History})
        EXPECT_FALSE(main->ribbonButton(c)->isEnabled());
    for (Command c : {Command::RemoteSupport, Command::ImportUsers, Command::ImportBills})
        EXPECT_TRUE(main->ribbonButton(c)->isEnabled());
    f->close();
    settle();
    main->showWorkingWindow();
    main->hide();
    main->show();
    settle();
    for (Command c : {Command::Payers, Command::Billing, Command::History})
        EXPECT_FALSE(main->ribbonButton(c)->isEnabled());
}

TEST_F(DocumentsForm, EveryOfferedDocumentDownloadsThroughTheSaveDialog) {
    struct Case {
        const char* comptype;
        std::function<void(TfrmDocuments*)> click;
        QString name;
    };
    const Case cases[] = {
        {"기타", [](TfrmDocuments* f) { f->cxButton1->click(); }, store::kDocApplication},
        {"기타", [](TfrmDocuments* f) { f->bt_B->click(); }, store::kDocCorporateCheck},
        {"기타", [](TfrmDocuments* f) { QTest::mouseClick(f->pn_B, Qt::LeftButton); },
         store::kDocCorporateSample},
        {"개인사업자", [](TfrmDocuments* f) { f->bt_G->click(); }, store::kDocIndividualCheck},
        {"개인사업자", [](TfrmDocuments* f) { QTest::mouseClick(f->pn_G, Qt::LeftButton); },
         store::kDocIndividualSample},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        TfrmDocuments* f = open(QString::fromUtf8(c.comptype));
        recorder.clear();
        const QString path = dir + u'/' + c.name;
        recorder.queueFile(path);
        c.click(f);
        ASSERT_EQ(recorder.entries().size(), 1u) << recorder.texts().join(" | ").toStdString();
        const auto& dialog = recorder.entries()[0];
        EXPECT_EQ(dialog.kind, MessageRecorder::Entry::Kind::SaveFile);
        EXPECT_EQ(dialog.text, c.name);
        EXPECT_TRUE(dialog.filter.contains("*.DOC"));
        EXPECT_EQ(readFile(path), documentContent(c.name));
        EXPECT_EQ(frmIndicator, nullptr);
        f->close();
        settle();
    }
}

TEST_F(DocumentsForm, DownloadReplacesAnExistingLocalFileWithoutAQuestion) {
    TfrmDocuments* f = open("법인사업자");
    const QString path = dir + "/mine.DOC";
    writeFile(path, QByteArray(4096, 'o'));
    recorder.queueFile(path);
    f->cxButton1->click();
    EXPECT_EQ(recorder.boxes().size(), 0u);
    EXPECT_EQ(readFile(path), documentContent(store::kDocApplication));
}

TEST_F(DocumentsForm, CancelledSaveDialogTransfersNothing) {
    TfrmDocuments* f = open("법인사업자");
    DM->FTP.port = 1;  // a transfer would fail loudly
    f->cxButton1->click();
    ASSERT_EQ(recorder.entries().size(), 1u);
    EXPECT_EQ(recorder.entries()[0].kind, MessageRecorder::Entry::Kind::SaveFile);
    EXPECT_TRUE(QDir(dir).isEmpty());
}

TEST_F(DocumentsForm, RefusedFtpLoginIsReported) {
    TfrmDocuments* f = open("법인사업자");
    DM->FTP.password = "wrong";
    const QString path = dir + "/keep.DOC";
    writeFile(path, "earlier");
    recorder.queueFile(path);
    f->bt_B->click();
    ASSERT_EQ(recorder.texts(), QStringList{"파일 서버 연결에 실패했습니다."});
    EXPECT_EQ(recorder.last().icon, MsgIcon::None);
    EXPECT_EQ(readFile(path), "earlier");
    EXPECT_EQ(frmIndicator, nullptr);
}

TEST_F(DocumentsForm, MissingDocumentShowsTheErrorAndKeepsTheLocalFile) {
    QFile::remove(world().ftpHome + "/DEBITON/신청서/" + store::kDocCorporateSample);
    TfrmDocuments* f = open("법인사업자");
    const QString path = dir + "/keep.DOC";
    writeFile(path, "earlier");
    recorder.queueFile(path);
    QTest::mouseClick(f->pn_B, Qt::LeftButton);
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.last().icon, MsgIcon::Error);
    EXPECT_EQ(recorder.last().caption, "오류");
    EXPECT_FALSE(recorder.last().text.isEmpty());
    EXPECT_EQ(readFile(path), "earlier");
    EXPECT_EQ(frmIndicator, nullptr);
}

TEST_F(DocumentsForm, UnwritableTargetShowsTheError) {
    TfrmDocuments* f = open("개인사업자");
    recorder.queueFile(dir + "/no/such/folder/x.DOC");
    f->bt_G->click();
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(recorder.last().caption, "오류");
    EXPECT_TRUE(recorder.last().text.contains("저장할 수 없습니다"))
        << recorder.last().text.toStdString();
}

TEST_F(DocumentsForm, ClickWhereTheHiddenLinkWasDoesNothing) {
    TfrmDocuments* f = open("개인사업자");
    const QPoint where = f->pn_B->geometry().center();
    QTest::mouseClick(f, Qt::LeftButton, {}, where);
    QTest::mouseClick(f->pn_B, Qt::LeftButton);
    EXPECT_TRUE(recorder.empty());
}

}  // namespace
