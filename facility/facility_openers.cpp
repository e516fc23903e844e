#include "facility/facility_openers.h"

#include "app/main_window.h"
#include "app/modal.h"
#include "app/single_instance.h"
#include "billing/request_form.h"
#include "facility/beneficiary_import.h"
#include "facility/bill_import.h"
#include "payers/payer_list.h"

namespace facility {

namespace {

// The existing instance (one that is only waiting to be deleted counts as gone), else a new
// one centred on the main window.
template <class T>
T* instance(T*& ref) {
    if (ref && app::isClosing(ref)) app::discardClosed(ref);
    if (!ref) new T(frmMain);
    return ref;
}

}  // namespace

void showBeneficiaryImportModal() {
    Tfrmdlbuser* form = instance(frmdlbuser);
    form->hide();
    app::showModal(form);
}

void showBillImportModal() {
    Tfrmdlbbill* form = instance(frmdlbbill);
    form->hide();
    app::showModal(form);
}

void installFormHooks() {
    payers::openBeneficiaryImport = [] { showBeneficiaryImportModal(); };
    Tfrm002::setCareLinkOpener([](Tfrm002&) { showBillImportModal(); });
}

void registerFormOpeners(TfrmMain& main) {
    main.setWindowForm(TfrmMain::Command::ImportUsers, frmdlbuser);
    main.setWindowForm(TfrmMain::Command::ImportBills, frmdlbbill);
    installFormHooks();
}

}  // namespace facility
