// The main dialog showing the record of a run made elsewhere (a bid of the
// many-bids window), exactly as that run showed it.
#include <QCheckBox>

#include "app/brevalt_dlg.h"
#include "engine/result_copy.h"
#include "engine/verification_run.h"

namespace brevalt::app {

void CBrevaltDlg::ShowRecord(const CVerifyResult& record, IDialogSeam& shown) {
  if (IsBusy())
    return;
  run_->Result() = CopyOfResult(record);
  stored_record_ = true;
  // Refreshed from the record first, so the certificate viewers find the
  // certificates behind the rows; then every field and list as the run
  // showed them, which a later refresh could tell otherwise (the opening
  // time may have come since).
  run_->UpdateResultDisplay();
  for (int id : {kEditBidPath, kEditVerifyCode, kEditStepNetwork, kEditStepTimestamp,
                 kEditStepLocalClock, kEditStepRulesFile, kEditStepBidFormat, kEditStepSignature,
                 kStaticVerdict, kEditBidder, kStaticBidderValidity})
    SetControlText(id, shown.GetControlText(id));
  for (int id : {kListBidInfo, kListOpeners, kListMessages})
    SetListRows(id, shown.GetListRows(id));
  for (int id : {kCheckVerifyRules, kCheckWriteLog})
    static_cast<QCheckBox*>(Control(id))->setChecked(shown.IsChecked(id));
}

}  // namespace brevalt::app
