// Pictures of every form for the user guide (scripts/screenshots); not a test. Runs the
// program's own start-up (Korean toolkit texts, theme, the data module from the deployment
// configuration, real message boxes) under Xvfb against the demo servers, opens each form the
// way the user does (ribbon commands, the forms' buttons), waits for its load and saves what
// is on screen around the main window as docs/screenshots/<name>.png.
//
//   paydesk_screenshot_tour <output folder>
//
// The tour changes no stored data: dialogs are closed without saving. Exit code 1 when a
// picture could not be taken; the names of the missing ones are printed.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <functional>
#include <memory>

#include "app/data_module.h"
#include "app/deployment_config.h"
#include "app/indicator.h"
#include "app/login_form.h"
#include "app/main_window.h"
#include "app/modal.h"
#include "app/resources_init.h"
#include "app/session.h"
#include "app/startup.h"
#include "app/theme.h"
#include "billing/history_form.h"
#include "billing/request_form.h"
#include "documents/documents_form.h"
#include "facility/beneficiary_import.h"
#include "facility/bill_import.h"
#include "payers/consent_strip.h"
#include "payers/payer_dialog.h"
#include "payers/payer_list.h"
#include "platform/ui/data_grid.h"
#include "platform/ui/date_edit.h"
#include "platform/ui/grid_model.h"
#include "platform/ui/grid_view.h"
#include "platform/ui/load_timer.h"
#include "platform/ui/qt_message_service.h"
#include "signup/join_form.h"

namespace {

using Command = TfrmMain::Command;

// Lets the windows paint: events for `ms` milliseconds.
void pause(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

template <class F>
bool waitUntil(F done, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

template <class T>
bool waitForLoad(T* form) {
    return form && waitUntil([form] { return !form->Timer1->isActive(); }) &&
           waitUntil([] { return frmIndicator == nullptr; });
}

void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

class Tour {
public:
    Tour(QString out, app::DeploymentConfig config) : out_(std::move(out)), config_(config) {
        // Message boxes are answered like a user would, after their picture when one is asked
        // for: the default button, or the one named.
        auto* timer = new QTimer(qApp);
        QObject::connect(timer, &QTimer::timeout, [this] { answerBox(); });
        timer->start(150);
    }

    int run() {
        signUpAndDocuments();
        handEnteredCompany();
        facilityCompany();
        if (!missing_.isEmpty()) {
            std::fprintf(stderr, "screenshot tour: missing %s\n",
                         missing_.join(QStringLiteral(", ")).toUtf8().constData());
            return 1;
        }
        return 0;
    }

private:
    // --- runs of the program ----------------------------------------------------------------
    void start(const QStringList& arguments = {}) {
        app::session() = {};
        dm_ = std::make_unique<TDM>(config_, messages_);
        DM = dm_.get();
        main_ = new TfrmMain;
        app::openLoginForm(*main_, arguments);
        main_->show();
        (void)QTest::qWaitForWindowExposed(main_);
        pause(300);
    }
    void stop() {
        if (main_) {
            main_->close();
            waitUntil([this] { return !main_->isVisible(); });
            delete frmDocuments;
            delete main_.data();
        }
        pause(100);
        DM = nullptr;
        dm_.reset();
    }
    void logIn(const QString& id, const QString& pw) {
        if (!frmLogin) return;
        frmLogin->edt_id->setText(id);
        frmLogin->edt_pw->setText(pw);
        frmLogin->btnLogin->click();
        waitUntil([] { return frmLogin == nullptr; });
        pause(300);
    }
    void ribbon(Command c) {
        if (QToolButton* b = main_->ribbonButton(c)) b->click();
        pause(100);
    }

    // --- pictures --------------------------------------------------------------------------
    // Everything on screen around the main window: the dialogs, boxes and drop-downs over it
    // are in the picture.
    void shot(const QString& name) {
        pause(400);
        QRect area;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !w->isMinimized()) area |= w->frameGeometry();
        QScreen* screen = QGuiApplication::primaryScreen();
        area &= screen->geometry();
        const QPixmap picture =
            screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        const QString path = out_ + u'/' + name + QStringLiteral(".png");
        if (picture.isNull() || !picture.save(path, "PNG")) {
            missing_ << name;
            return;
        }
        std::printf("screenshot tour: %s\n", path.toUtf8().constData());
    }
    // The next message box is pictured as `name` and then answered with the button whose text
    // starts with `answer` (empty: its default button).
    void shotOfNextBox(const QString& name, const QString& answer = {}) {
        boxShot_ = name;
        boxAnswer_ = answer;
    }
    void answerBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || answering_) return;
        answering_ = true;
        if (!boxShot_.isEmpty()) {
            const QString name = boxShot_;
            boxShot_.clear();
            shot(name);
        }
        QAbstractButton* button = box->defaultButton();
        for (QAbstractButton* b : box->buttons())
            if (!boxAnswer_.isEmpty() && b->text().startsWith(boxAnswer_)) button = b;
        boxAnswer_.clear();
        if (button)
            button->click();
        else
            box->accept();
        answering_ = false;
    }

    // --- the tour --------------------------------------------------------------------------

    // A new company: the login, both pages of the sign-up form, and after the first login the
    // application documents.
    void signUpAndDocuments() {
        start();
        if (frmLogin) {
            frmLogin->edt_id->setText(QStringLiteral("saessak01"));
            frmLogin->edt_pw->setFocus();
        }
        shot(QStringLiteral("login"));
        if (frmLogin) {
            app::ScopedModalDriver driver([this](QWidget& w) {
                auto* f = qobject_cast<TfrmJoin*>(&w);
                if (!f) return;
                (void)QTest::qWaitForWindowExposed(f);
                f->txt_사용자아이디->setText(QStringLiteral("haneul001"));
                f->txt_비밀번호->setText(QStringLiteral("secret1"));
                f->txt_비밀번호확인->setText(QStringLiteral("secret1"));
                f->cbbx_comptype->setCurrentIndex(1);
                f->txt_사업자번호->setText(QStringLiteral("2148655021"));
                f->txt_사업자명->setFocus();
                type(f->txt_사업자명, QStringLiteral("하늘요양원"));
                shot(QStringLiteral("signup_entry"));
                f->cxButton3->click();
                shot(QStringLiteral("signup_terms"));
                f->close();
            });
            frmLogin->bt_Join->click();
            pause(200);
        }
        logIn(QStringLiteral("saessak01"), QStringLiteral("demo1234"));
        if (frmDocuments) {
            (void)QTest::qWaitForWindowExposed(frmDocuments);
            shot(QStringLiteral("documents"));
        } else {
            missing_ << QStringLiteral("documents");
        }
        stop();
    }

    // A company without a facility code: payer list with details and history, the payer dialog in
    // both modes, the request form open and closed for entries, the history with a filter
    // drop-down, the busy indicator and a message box.
    void handEnteredCompany() {
        start();
        logIn(QStringLiteral("pureun001"), QStringLiteral("demo1234"));
        shot(QStringLiteral("main_window"));

        ribbon(Command::Payers);
        if (waitForLoad(frm001)) {
            Tfrm001* list = frm001;
            // 강민호: two requests, one with its result, and a scanned consent form.
            list->grd_List->setFocusedRecord(0);
            waitUntil([] { return frmIndicator == nullptr; });
            shot(QStringLiteral("payer_list"));

            app::ScopedModalDriver newPayer([this](QWidget& w) {
                auto* d = qobject_cast<Tfrm001_001*>(&w);
                if (!d) return;
                (void)QTest::qWaitForWindowExposed(d);
                d->txt_UserName->setFocus();
                type(d->txt_UserName, QStringLiteral("홍지아"));
                d->cbbx_Group->setCurrentIndex(1);
                d->txt_Account->setText(QStringLiteral("110-456-789012"));
                d->txt_Owner->setFocus();
                type(d->txt_Owner, QStringLiteral("홍지아"));
                d->txt_Tel->setText(QStringLiteral("010-1234-5678"));
                shot(QStringLiteral("payer_dialog_new"));
                d->close();
            });
            list->bt_NewMember->click();
            pause(200);
        } else {
            missing_ << QStringLiteral("payer_list");
        }
        if (frm001) {
            app::ScopedModalDriver cancelPayer([this](QWidget& w) {
                auto* d = qobject_cast<Tfrm001_001*>(&w);
                if (!d || !waitForLoad(d)) return;
                shot(QStringLiteral("payer_dialog_cancel"));
                d->close();
            });
            frm001->bt_ModifyMember->click();
            pause(200);
            frm001->close();
            pause(100);
        }

        ribbon(Command::Billing);
        if (waitForLoad(frm002)) {
            Tfrm002* f = frm002;
            // Two amounts typed for tomorrow, the cell editor still open on the second.
            platform::ui::DataGrid* g = f->grd_Bill;
            const int amount = g->columnIndex(QStringLiteral("grd_Bill_Amount"));
            g->setValue(0, amount, qint64(120000));
            const QModelIndex index = g->model()->index(1, amount);
            g->view()->setFocus();
            g->view()->setCurrentIndex(index);
            g->view()->edit(index);
            if (auto* e = qobject_cast<QLineEdit*>(g->view()->indexWidget(index))) {
                e->selectAll();
                type(e, QStringLiteral("95000"));
            }
            shot(QStringLiteral("request_form_editable"));
            g->postEdit();
            // A past date with its results: read only.
            f->date_Date->setDate(QDate(2026, 11, 25));
            waitUntil([] { return frmIndicator == nullptr; });
            g->setFocusedRecord(0);
            shot(QStringLiteral("request_form_locked"));
            f->close();
            pause(100);
        } else {
            missing_ << QStringLiteral("request_form_editable");
        }

        ribbon(Command::History);
        if (waitForLoad(frm003)) {
            Tfrm003* f = frm003;
            f->date_from->setDate(QDate(2026, 10, 1));
            f->date_To->setDate(QDate(2026, 12, 31));
            waitUntil([] { return frmIndicator == nullptr; });
            shot(QStringLiteral("history"));
            // The filter drop-down of the result column, as its header button opens it.
            f->grd_Bill->showFilterPopup(QStringLiteral("grd_Bill_Result"));
            if (waitUntil([] { return QApplication::activePopupWidget() != nullptr; })) {
                shot(QStringLiteral("history_filter"));
                QApplication::activePopupWidget()->close();
            } else {
                missing_ << QStringLiteral("history_filter");
            }
        } else {
            missing_ << QStringLiteral("history");
        }

        // The busy indicator as a load shows it.
        DM->setWaiter([](int) {});
        app::PR_Set_UI_IndicoatorOn();
        shot(QStringLiteral("busy_indicator"));
        app::PR_Set_UI_IndicoatorOFF();

        // Closing the program asks first: the picture, then "예".
        shotOfNextBox(QStringLiteral("message_box"), QStringLiteral("예"));
        stop();
    }

    // The care facility, started by the care-facility product with its facility code: the
    // consent images of a payer and both imports.
    void facilityCompany() {
        start({QStringLiteral("FAC0001")});
        ribbon(Command::Payers);
        if (waitForLoad(frm001)) {
            // 김영수 (first by name) has two scanned pages of the consent form.
            frm001->grd_List->setFocusedRecord(0);
            waitUntil([] { return frmIndicator == nullptr; });
            frm001->cxPageControl1->setCurrentIndex(1);
            shot(QStringLiteral("consent_strip"));
            frm001->cxPageControl1->setCurrentIndex(0);
            app::ScopedModalDriver driver([this](QWidget& w) {
                auto* f = qobject_cast<Tfrmdlbuser*>(&w);
                if (!f || !waitForLoad(f)) return;
                shot(QStringLiteral("beneficiary_import"));
                f->close();
            });
            frm001->bt_newmember_dlb->click();
            pause(200);
            frm001->close();
            pause(100);
        } else {
            missing_ << QStringLiteral("beneficiary_import");
        }
        ribbon(Command::Billing);
        if (waitForLoad(frm002)) {
            app::ScopedModalDriver driver([this](QWidget& w) {
                auto* f = qobject_cast<Tfrmdlbbill*>(&w);
                if (!f) return;
                (void)QTest::qWaitForWindowExposed(f);
                shot(QStringLiteral("bill_import"));
                f->btnSaveGrid->click();
            });
            frm002->cxButton3->click();
            waitUntil([] { return frmIndicator == nullptr && frmdlbbill == nullptr; });
            shot(QStringLiteral("request_form_billed"));
        } else {
            missing_ << QStringLiteral("bill_import");
        }
        stop();
    }

    QString out_;
    app::DeploymentConfig config_;
    platform::ui::QtMessageService messages_;
    std::unique_ptr<TDM> dm_;
    QPointer<TfrmMain> main_;
    QString boxShot_;
    QString boxAnswer_;
    bool answering_ = false;
    QStringList missing_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: paydesk_screenshot_tour <output folder>\n");
        return 2;
    }
    app::installKoreanTranslations(app);
    QApplication::setApplicationName(QStringLiteral("PAYDESK"));
    QApplication::setApplicationDisplayName(QStringLiteral("PAYDESK 출금서비스"));
    app::initResources();
    app::theme::apply(app);
    QApplication::setQuitOnLastWindowClosed(false);

    app::DeploymentConfig config;
    try {
        config = app::DeploymentConfig::load(app::DeploymentConfig::defaultPath());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "screenshot tour: %s\n", e.what());
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);
    return Tour(out, config).run();
}
