#pragma once

#include <QDialog>
#include <vector>

#include "facility/facility_queries.h"

class QButtonGroup;
class QPushButton;
class QRadioButton;
class Tfrm002;
namespace platform::ui {
class CaptionCell;
}

// "온돌봄 연동(청구)": takes the amounts billed to the facility's beneficiaries in their latest
// month into "요청금액" of the withdrawal request form, for every payer row that carries the
// beneficiary's code. Stores nothing. A small fixed-size dialog centred on the main window;
// modal from the request form, non-modal from the ribbon. At most one instance (frmdlbbill);
// each fetch closes it.
//
// Used from the ribbon while no request form is open, the fetch opens the request form (at its
// default date), loads its list at once and then applies the amounts, so that they land where
// the user sees them. A request form just opened whose list has not loaded yet is loaded first
// in the same way, so its load cannot replace the amounts afterwards.
class Tfrmdlbbill : public QDialog {
    Q_OBJECT
public:
    explicit Tfrmdlbbill(QWidget* parent = nullptr);
    ~Tfrmdlbbill() override;

    platform::ui::CaptionCell* lb_Unpaid;  // "미납금 포함여부"
    QRadioButton* rdo_BillAll;             // "전월 미납금 포함"
    QRadioButton* rdo_BillMonthly;         // "당월 요금만"
    platform::ui::CaptionCell* lb_Target;  // "대상 수급자"
    QRadioButton* rdo_UserAll;             // "전체 수급자"
    QRadioButton* rdo_UserContracted;      // "계약중인 수급자"
    QPushButton* btnSaveGrid;              // "금액 가져오기"

    // "금액 가져오기": fetch, apply, close.
    void btnSaveGridClick();

    static constexpr int kClientWidth = 381;
    static constexpr int kClientHeight = 129;
    // Shown when no request form can be opened to take the amounts; nothing changed.
    static inline const QString kNoRequestForm =
        QStringLiteral("청구금액을 넣을 출금관리 화면을 열 수 없습니다.");

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void FormClose();
    void pr_get_db_demand();
    void pr_set_grid_billAmount(const std::vector<facility::Demand>& demands);
    // The open request form with its list loaded; opened first when there is none.
    Tfrm002* requestForm();
    void showError(const QString& message);

    QButtonGroup* billGroup_;
    QButtonGroup* userGroup_;
};

// The open billed-amount import; empty while none is open.
extern Tfrmdlbbill* frmdlbbill;
