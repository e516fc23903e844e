// What each ribbon command opens: one line per form class, naming its global reference, e.g.
//     main.setMdiForm(TfrmMain::Command::Payers, frm001);          // MDI child
//     main.setWindowForm(TfrmMain::Command::ImportUsers, frmdlbuser);  // separate window
// The form's constructor takes the parent widget; the reference is filled at creation and
// cleared when the form is gone. "원격지원" needs no opener.
#include "app/main_window.h"
#include "billing/history_form.h"
#include "billing/request_form.h"
#include "facility/facility_openers.h"
#include "payers/payer_list.h"

namespace app {

void registerFormOpeners(TfrmMain& main) {
    main.setMdiForm(TfrmMain::Command::Payers, frm001);
    main.setMdiForm(TfrmMain::Command::Billing, frm002);
    main.setMdiForm(TfrmMain::Command::History, frm003);
    // The two care-facility imports, and the "온돌봄 연동" buttons of the payer list and the
    // request form.
    facility::registerFormOpeners(main);
}

}  // namespace app
