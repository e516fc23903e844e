#pragma once

#include <QWidget>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

// The sign-up form: a new company chooses its login id and password, gives its business number
// and contact data, checks id and number for duplicates, agrees to the terms and is inserted
// into cms_company. Shown modally from the login form (app::showModal); frees itself on close.
class TfrmJoin : public QWidget {
    Q_OBJECT
public:
    explicit TfrmJoin(QWidget* parent = nullptr);
    ~TfrmJoin() override;

    // Page control with hidden tabs: entry fields, terms.
    QStackedWidget* pageControl;
    QWidget* cxTabSheet1;
    QWidget* cxTabSheet2;

    QLineEdit* txt_사용자아이디;
    QPushButton* bt_기관번호확인;
    QLineEdit* txt_비밀번호;
    QLineEdit* txt_비밀번호확인;
    QComboBox* cbbx_comptype;
    QLineEdit* txt_사업자번호;
    QPushButton* bt_사업자확인;
    QLineEdit* txt_사업자명;
    QLineEdit* txt_연락처;
    QLineEdit* txt_이메일;
    QLineEdit* txt_주소;
    QPushButton* cxButton3;  // member terms
    QCheckBox* ckbx_이용약관;
    QPushButton* cxButton2;  // personal-data notice
    QCheckBox* ckbx_개인정보;
    QPushButton* cxButton4;  // service terms
    QCheckBox* ckbx_서비스;
    QCheckBox* ckbx_전체;
    QPushButton* btnLogin;  // submits

    QPlainTextEdit* mm_이용약관;
    QPlainTextEdit* mm_개인정보약관;
    QPlainTextEdit* mm_서비스약관;
    QPushButton* cxButton1;  // back to page 1

    // The Enter key's way through page 1.
    std::vector<QWidget*> pv_FocusMove;

    static constexpr int kClientWidth = 805;
    static constexpr int kClientHeight = 571;

    void bt_기관번호확인Click();
    void bt_사업자확인Click();
    void btnLoginClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FormCreate();
    QWidget* buildEntryPage();
    QWidget* buildTermsPage();
    void pr_Set_UI_FocusMove(QWidget* from);
    void txt_사업자번호PropertiesEditValueChanged();
    void txt_시설연락처PropertiesEditValueChanged();
    void ckbx_전체PropertiesChange(bool checked);
    void showTerms(QPlainTextEdit* memo);
    void pr_Set_DB_Join();
    void notice(const QString& text, QWidget* focus);
};

// Empty while no sign-up form exists.
extern TfrmJoin* frmJoin;
