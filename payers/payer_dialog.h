#pragma once

#include <QDialog>
#include <QList>
#include <optional>

#include "payers/payer_queries.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
namespace platform::ui {
class DateEdit;
class LoadTimer;
}  // namespace platform::ui

// "사용자 정보 등록": adds a payer numbered by the server (new mode) or marks the focused payer
// for cancellation (cancel mode). The payer list chooses the mode before showing it modally.
// At most one instance (frm001_001); it frees itself when it closes.
class Tfrm001_001 : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm001_001(QWidget* parent = nullptr);
    ~Tfrm001_001() override;

    QLineEdit* txt_UserID;
    QLineEdit* txt_UserName;
    QComboBox* cbbx_Group;
    QComboBox* cbbx_Bank;
    QLineEdit* txt_Account;
    QLineEdit* txt_Owner;
    platform::ui::DateEdit* date_date;
    QLineEdit* txt_Tel;
    QComboBox* cbbx_UseYN;
    QPlainTextEdit* mem_memo;
    QPushButton* bt_save;
    QPushButton* bt_del;
    platform::ui::LoadTimer* Timer1;

    // The ten editors, in the order of the layout (payer id first).
    QList<QWidget*> editors() const;

    static constexpr int kClientWidth = 794;
    static constexpr int kClientHeight = 248;
    // Shown when the payer to cancel is no longer stored; nothing was changed.
    static inline const QString kPayerMissing =
        QStringLiteral("해지할 사용자 정보를 찾을 수 없습니다.\r해지되지 않았습니다.");

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void FormShow();
    void Timer1Timer();
    void bt_saveClick();
    void bt_delClick();

    void pr_get_db_userInfo();
    void pr_set_edit_userInfo(const std::optional<payers::Payer>& payer);
    void pr_save_db_user();
    void pr_cancel_db_user();
    void showDbError(const QString& message);
};

// Empty while no payer dialog exists.
extern Tfrm001_001* frm001_001;
