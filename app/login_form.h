#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TfrmMain;

// The login form: an MDI child of the main window, created at start-up, visible and
// maximised. The right-hand login panel (349 px) is all that shows in the compact main window.
// A successful login fills the session record, turns the main window into the working window,
// closes this form, and configures UniCon for a company with a facility code.
class TfrmLogin : public QWidget {
    Q_OBJECT
public:
    // `arguments` are the program's command-line arguments without the program itself; the
    // first one, when present, is a facility code whose company logs in automatically.
    explicit TfrmLogin(QWidget* parent = nullptr);
    explicit TfrmLogin(QStringList arguments, QWidget* parent = nullptr);
    ~TfrmLogin() override;

    QLineEdit* edt_id;
    QLineEdit* edt_pw;
    QCheckBox* ckbx_Logininfo;
    QPushButton* btnLogin;
    QPushButton* bt_Join;
    QLabel* lb_Limit1;
    QWidget* main_Panel1;
    QLabel* m_Image1;

    static constexpr int kPanelWidth = 349;

    // Prefills the boxes (command line or info.ini) and logs in when both are filled. Runs
    // once: at start-up before the main window is first shown (app::openLoginForm), else at the
    // form's first show.
    void FormShow();
    // One login attempt, as the button, Enter in the password box and FormShow make it.
    void btnLoginClick();
    // Opens the sign-up form modally.
    void bt_JoinClick();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FormCreate();
    void buildWidgets();
    void edt_idKeyPress();
    void edt_pwKeyPress();
    bool pr_Get_DB_Login();
    void pr_Set_UI_LoggedIn();
    void closeLoginForm();

    QStringList arguments_;
    bool formShown_ = false;
    bool closed_ = false;
};

// Empty once the login form has closed.
extern TfrmLogin* frmLogin;

namespace app {

// Start-up: creates frmLogin as a maximised MDI child of `main` and runs its show handler at
// once, so that an automatic login completes before the main window is first shown.
TfrmLogin* openLoginForm(TfrmMain& main, const QStringList& arguments);

// What the login writes beside the program: the last id (info.ini, [login] id) and the build
// string in the other program's settings (ini/torvo.ini, only when that file exists).
QString infoIniPath();
QString torvoIniPath();
// Writes [paydesk.exe] ver=<build string> when the file exists; keeps every other byte.
// Returns false when the file exists but cannot be written.
bool recordBuildString();

// Reads the facility's care-facility server from the facility directory into DM->UniCon.
// Warns "온돌봄 서버정보를 가져오지 못했습니다." when the directory has no usable row; database
// errors leave UniCon unconfigured without a message.
void configureFacilityConnection(const QString& sicode, QWidget* messageParent);

}  // namespace app
