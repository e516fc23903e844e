#pragma once

#include <QColor>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <array>
#include <functional>
#include <map>

#include "app/form_utils.h"
#include "app/single_instance.h"

class QLabel;
class QPlainTextEdit;
class QToolButton;
namespace platform::ui {
class Ribbon;
}

class TfrmMain;
// The main window, the MDI frame of the whole program; cleared when it is destroyed.
extern TfrmMain* frmMain;

// The main window: MDI frame, ribbon, status bar, and home of the shared form utilities.
// Compact (365 × 600, only the login form) until a login turns it into the working window.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // The ribbon commands. The five that open forms run the opener registered for them.
    enum class Command { Payers, Billing, History, RemoteSupport, ImportUsers, ImportBills };

    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Always true: closing asks "▶ 프로그램을 종료하시겠습니까?".
    bool pb_CloseQuestion = true;

    // --- Opening forms -------------------------------------------------------------------
    // What a ribbon command does; an opener replaces the one before it.
    void setOpener(Command c, std::function<void()> opener);
    bool hasOpener(Command c) const;
    // Runs the command as its ribbon button does.
    void runCommand(Command c);

    // Registers an MDI form class for a command: the command creates `T` (constructor
    // `T(QWidget* parent = nullptr)`) when `ref` is empty, as an MDI child, and brings it to
    // the front. One line per form in registerFormOpeners (app/form_openers.cpp).
    template <class T>
    void setMdiForm(Command c, T*& ref) {
        setOpener(c, [this, &ref] { showMdiForm(ref); });
    }
    // The same for a form shown as a separate (non-modal) dialog-style window.
    template <class T>
    void setWindowForm(Command c, T*& ref) {
        setOpener(c, [this, &ref] { showWindowForm(ref); });
    }
    // Opens (or brings to the front) the single instance of an MDI form.
    template <class T>
    T* showMdiForm(T*& ref) {
        return app::showSingle(ref, [this] { return addMdiChild(new T); });
    }
    template <class T>
    T* showWindowForm(T*& ref) {
        return app::showSingle(ref, [this] {
            T* form = new T(this);
            form->setWindowFlag(Qt::Window);
            return form;
        });
    }
    // Puts `form` into the MDI area (not yet shown); the sub-window frees itself on close. A
    // form that called setWindowState(Qt::WindowMaximized) in its constructor opens maximised.
    template <class T>
    T* addMdiChild(T* form) {
        addMdiSubWindow(form);
        return form;
    }
    QMdiSubWindow* addMdiSubWindow(QWidget* form);
    QMdiArea* mdiArea() const { return mdiArea_; }

    // --- Working state (the login) --------------------------------------------------------
    // 1280 × 720 centred (maximised on a smaller screen), ribbon shown, status refreshed.
    void showWorkingWindow();
    // Status panels from the session; runs on every show.
    void FormShow();
    platform::ui::Ribbon* ribbon() const { return ribbon_; }
    // The ribbon button of a command ("사용자 관리", "CMS출금관리", "출금요청내역", ...).
    QToolButton* ribbonButton(Command c) const;
    // Status bar panels 0..4.
    QLabel* statusPanel(int index) const;

    // --- Shared form utilities (see app/form_utils.h) --------------------------------------
    QString pr_Get_Value_FormatStr(const QString& pr_Str, int pr_Length) const {
        return app::pr_Get_Value_FormatStr(pr_Str, pr_Length);
    }
    QString pr_Get_Value_FormatInt(const QString& pr_Str, int pr_Length) const {
        return app::pr_Get_Value_FormatInt(pr_Str, pr_Length);
    }
    QString Fn_Get_Code(const QString& Str, const QString& Delimiter1,
                        const QString& Delimiter2) const {
        return app::Fn_Get_Code(Str, Delimiter1, Delimiter2);
    }
    QString Fn_Get_Value_BankName(const QString& pr_BankCode) const {
        return app::Fn_Get_Value_BankName(pr_BankCode);
    }
    QString Fn_Get_ErrorType(const QString& Msg) const { return app::Fn_Get_ErrorType(Msg); }
    void pr_Set_UI_ImeMode(QWidget* frm) const { app::pr_Set_UI_ImeMode(frm); }
    void PR_Set_UI_IndicoatorOn();
    void PR_Set_UI_IndicoatorOFF();

    // The bank table as the hidden memo holds it (19 lines); also app::mem_BaseBank().
    QPlainTextEdit* mem_BaseBank = nullptr;
    QStringList bankLines() const { return app::mem_BaseBank(); }

    // Grid styles: row and cell backgrounds the forms' grids use.
    const QColor GridWhite;
    const QColor cxStyle출금금액;
    const QColor cxStyleUserExist;

    static constexpr int kCompactWidth = 365;
    static constexpr int kCompactHeight = 600;
    static constexpr int kWorkingWidth = 1280;
    static constexpr int kWorkingHeight = 720;
    // Design widths of the five status panels.
    static constexpr std::array<int, 5> kPanelWidths = {250, 200, 200, 250, 450};

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;

private:
    void FormCreate();
    void buildRibbon();
    void buildStatusBar();
    void remoteSupportClick();
    void closeMdiChildren();
    void centreOnScreen();

    QMdiArea* mdiArea_ = nullptr;
    platform::ui::Ribbon* ribbon_ = nullptr;
    std::map<Command, QToolButton*> buttons_;
    std::map<Command, std::function<void()>> openers_;
    std::array<QLabel*, 5> panels_{};
};

namespace app {
// Registers the form opener of every ribbon command; called by the main window's constructor.
void registerFormOpeners(TfrmMain& main);
}  // namespace app
