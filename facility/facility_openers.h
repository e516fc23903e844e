#pragma once

class TfrmMain;

// How the two care-facility imports are opened: from the ribbon of the main window
// (non-modal), from the payer list's "온돌봄 연동" (beneficiaries, modal) and from the request
// form's "온돌봄 연동" (billed amounts, modal). Each creates the form when no instance exists.
namespace facility {

// Registers the ribbon commands "수급자 가져오기" and "청구내역 가져오기" on `main` and the
// buttons of the payer list and the request form (installFormHooks).
void registerFormOpeners(TfrmMain& main);
// What the "온돌봄 연동" buttons of the payer list and the request form open.
void installFormHooks();

// Creates frmdlbuser when none exists, makes it invisible and shows it modally.
void showBeneficiaryImportModal();
// Creates frmdlbbill when none exists and shows it modally.
void showBillImportModal();

}  // namespace facility
