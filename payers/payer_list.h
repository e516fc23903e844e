#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "payers/payer_queries.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
namespace platform::ui {
class DataGrid;
class LoadTimer;
}  // namespace platform::ui
namespace payers {
class ConsentStrip;
}

namespace payers {
// What "온돌봄 연동" runs: the beneficiary import sets it to create frmdlbuser when none exists,
// make it invisible and show it modally. While it is empty the button does nothing.
extern std::function<void()> openBeneficiaryImport;
}  // namespace payers

// "사용자 관리": the company's payers, the focused payer's details, withdrawal history and
// consent images. An MDI child of the main window; at most one instance (frm001).
class Tfrm001 : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm001(QWidget* parent = nullptr);
    ~Tfrm001() override;

    // Reloads the list with the current filter and sort order.
    void pr_get_db_userList();
    // Reloads the history of the payer in the focused list row.
    void pr_Get_DB_Bankhis();
    // Rebuilds the consent images of a payer (empty id: only clears them).
    void pr_get_ftp_imageList(const QString& userid);

    QComboBox* cbbx_Stat;
    QCheckBox* ckbx_UseYN;
    platform::ui::DataGrid* grd_List;
    QPushButton* bt_NewMember;
    QPushButton* bt_newmember_dlb;
    QPushButton* bt_Download;
    QPushButton* bt_ModifyMember;

    QLabel* lb_userid;
    QLabel* lb_username;
    QLabel* lb_Groupname;
    QLabel* lb_Bank;
    QLabel* lb_Account;
    QLabel* lb_Owner;
    QLabel* lb_birth;
    QLabel* lb_tel;
    QLabel* lb_stat;
    QLabel* lb_memo;

    QTabWidget* cxPageControl1;
    platform::ui::DataGrid* grd_Bill;
    payers::ConsentStrip* consentStrip;
    platform::ui::LoadTimer* Timer1;

    static constexpr int kWidth = 1250;
    static constexpr int kHeight = 530;
    static constexpr int kLeftPanelWidth = 437;

protected:
    bool event(QEvent* e) override;

private:
    void FormCreate();
    void Timer1Timer();
    void cbbx_StatPropertiesChange();
    void ckbx_UseYNPropertiesChange();
    void grd_ListFocusedRecordChanged(int record);
    void bt_NewMemberClick();
    void bt_ModifyMemberClick();
    void bt_newmember_dlbClick();
    void bt_DownloadClick();

    void pr_set_grid_userList(const std::vector<payers::Payer>& rows);
    void pr_get_db_userInfo();
    void pr_set_label_userInfo(const std::optional<payers::Payer>& payer);
    void pr_set_grid_bankhis(const std::vector<payers::BillHistoryRow>& rows);
    // The payer id of the focused list row, "" when none is focused.
    QString focusedUserId() const;
    void showDbError(const QString& message);

    QWidget* buildLeftPanel();
    QWidget* buildRightPanel();

    bool placed_ = false;
};

// Empty while no payer list is open.
extern Tfrm001* frm001;
