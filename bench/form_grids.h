#pragma once

#include <QString>
#include <vector>

#include "billing/billing_queries.h"
#include "payers/payer_queries.h"

namespace platform::ui {
class DataGrid;
}

// The list grids of the payer list (grd_List) and of the withdrawal request form (grd_Bill),
// built and filled as those forms build and fill them, so the benchmark can time a load and
// its grid fill without the forms' timers, busy indicator and follow-up loads.
namespace bench {

void buildPayerGrid(platform::ui::DataGrid* grid);
void fillPayerGrid(platform::ui::DataGrid* grid, const std::vector<payers::Payer>& rows);

void buildRequestGrid(platform::ui::DataGrid* grid);
void fillRequestGrid(platform::ui::DataGrid* grid, const billing::BillList& list,
                     const QString& billDate);

}  // namespace bench
