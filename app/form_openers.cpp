// What each ribbon command opens: one line per form class, naming its global reference, e.g.
//     main.setMdiForm(TfrmMain::Command::Payers, frm001);          // MDI child
//     main.setWindowForm(TfrmMain::Command::ImportUsers, frmdlbuser);  // separate window
// The form's constructor takes the parent widget; the reference is filled at creation and
// cleared when the form is gone. "원격지원" needs no opener.
#include "app/main_window.h"

namespace app {

void registerFormOpeners(TfrmMain& main) {
    (void)main;
}

}  // namespace app
