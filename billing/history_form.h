#pragma once

#include <QWidget>

#include "billing/billing_queries.h"

class QPushButton;
namespace platform::ui {
class CaptionCell;
class DataGrid;
class DateEdit;
class LoadTimer;
}  // namespace platform::ui

// "출금내역조회": the company's withdrawal requests between two request dates, with the
// amounts requested and withdrawn and the results, sortable and filterable; read only.
// An MDI child; one instance at most (frm003), freed when closed.
class Tfrm003 : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm003(QWidget* parent = nullptr);
    ~Tfrm003() override;

    platform::ui::DateEdit* date_from;
    platform::ui::DateEdit* date_To;
    platform::ui::DataGrid* grd_Bill;
    QPushButton* bt_NewMember;  // "엑셀 출력"
    platform::ui::LoadTimer* Timer1;

    // "엑셀 출력": the grid as shown, to an .xlsx file chosen in the save dialog.
    void bt_NewMemberClick();

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
    void date_fromPropertiesEditValueChanged(platform::ui::DateEdit* editor);
    void loadHistory();
    void pr_get_db_billHistory();
    void pr_set_grid_billHistory(const std::vector<billing::HistoryRow>& rows);

    bool placed_ = false;
};

// The open withdrawal history; empty while none is open.
extern Tfrm003* frm003;
