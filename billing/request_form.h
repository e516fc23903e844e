#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "billing/billing_queries.h"

class QLabel;
class QLineEdit;
class QPushButton;
namespace platform::ui {
class DataGrid;
class DateEdit;
class LoadTimer;
}  // namespace platform::ui

// "출금관리": the withdrawal request of one date. Lists the registered payers whose period
// covers the date with the amounts already requested and the results, takes the amounts,
// registers them before the day's deadline and writes the request file of the date.
// An MDI child; one instance at most (frm002), freed when closed.
class Tfrm002 : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm002(QWidget* parent = nullptr);
    ~Tfrm002() override;

    platform::ui::DateEdit* date_Date;  // the withdrawal date, text "YYYY-MM-DD"
    QLineEdit* cxTextEdit1;             // the deadline time "16:00:00"
    platform::ui::DataGrid* grd_Bill;
    QPushButton* cxButton3;  // "온돌봄 연동"
    QPushButton* cxButton4;  // "출금신청파일생성"
    QPushButton* cxButton1;  // "출금요청 등록하기"
    platform::ui::LoadTimer* Timer1;

    // Reloads the list of the chosen date (timer, date change).
    void bt_ListRefreshClick();
    // "출금요청 등록하기": deadline check by the server clock, then the store.
    void cxButton1Click();
    // "온돌봄 연동": opens the billed-amount import through the registered opener.
    void cxButton3Click();
    // "출금신청파일생성": the request file of the chosen date from the stored requests.
    void cxButton4Click();

    // --- For the billed-amount import (Tfrmdlbbill) -----------------------------------------
    // One fetched amount per beneficiary code (`de_code`), in the order fetched.
    using BilledAmount = std::pair<QString, qint64>;
    // Sets "요청금액" of every grid row whose care-facility code (grd_Bill_dlbid) equals a
    // fetched code: the amount when above 0, else 0. Rows without a match keep their amounts,
    // codes without a row are skipped, and an empty code matches nothing (hand-entered payers
    // have none). One update of the grid; works while the grid is read only, too. Nothing is
    // stored. Returns the number of rows set.
    int applyBilledAmounts(const std::vector<BilledAmount>& amounts);

    // What "온돌봄 연동" opens: the billed-amount import shown modally (app::showModal). It
    // lives in facility/, which registers it here, so this form does not depend on it.
    using CareLinkOpener = std::function<void(Tfrm002& form)>;
    static void setCareLinkOpener(CareLinkOpener opener);

    static constexpr int kWidth = 1250;
    static constexpr int kHeight = 530;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void Timer1Timer();
    void date_DatePropertiesChange();
    void pr_get_db_billList();
    void pr_set_grid_billList(const billing::BillList& list);
    void pr_save_db_bill();
    std::vector<billing::StoreRow> gridRows() const;

    bool placed_ = false;
    QString loadedDate_;  // the date whose list the grid holds; "" when its load failed
};

// The open withdrawal request form; empty while none is open.
extern Tfrm002* frm002;
