#pragma once

#include <QColor>
#include <QDialog>
#include <vector>

#include "facility/facility_queries.h"

class QComboBox;
class QLabel;
class QPushButton;
namespace platform::ui {
class DataGrid;
class LoadTimer;
}  // namespace platform::ui

// "온돌봄 연동(수급자)": lists the beneficiaries of the company's care facility, marks those
// already registered as payers, and registers the ticked ones with their bank data as payers
// "등록대기" in one batch. A fixed-size dialog centred on the main window; modal from the payer
// list, non-modal from the ribbon. At most one instance (frmdlbuser); it frees itself when
// closed.
class Tfrmdlbuser : public QDialog {
    Q_OBJECT
public:
    explicit Tfrmdlbuser(QWidget* parent = nullptr);
    ~Tfrmdlbuser() override;

    QLabel* lb_Contract;
    QComboBox* cbbx_Contract;  // "전체", "이용중", "퇴소자"
    platform::ui::DataGrid* grdUser;
    QPushButton* btnSaveGrid;  // "선택된 수급자 일괄등록"
    platform::ui::LoadTimer* Timer1;

    // "선택된 수급자 일괄등록": checks the ticked rows, then stores them in one transaction.
    void btnSaveGridClick();
    // Header click on "선택": ticks (or unticks) every unregistered row at once.
    void grdUser_ChkHeaderClick();

    static constexpr int kClientWidth = 1079;
    static constexpr int kClientHeight = 465;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void Timer1Timer();
    void cbbx_ContractPropertiesChange();
    void grdUser_ChkPropertiesChange(int record);
    QColor grdUserStylesGetContentStyle(int record) const;

    void pr_get_db_mateList();
    void pr_set_grid_mateList(const std::vector<facility::Beneficiary>& mates);
    void pr_set_grid_registered(const std::vector<facility::RegisteredPayer>& payers);
    // The grid row as the batch reads it.
    facility::ImportRow importRowOf(int record) const;
    void showError(const QString& message);
};

// The open beneficiary import; empty while none is open.
extern Tfrmdlbuser* frmdlbuser;
