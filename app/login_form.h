#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The login form: an MDI child of the main window, created at start-up, visible and
// maximised. The right-hand login panel (349 px) is all that shows in the compact main window.
class TfrmLogin : public QWidget {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget* parent = nullptr);
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

protected:
    void resizeEvent(QResizeEvent* e) override;
};

// Empty once the login form has closed.
extern TfrmLogin* frmLogin;
