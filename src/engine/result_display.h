// What the main dialog shows of a verification result: the step fields, the
// verdict, the verification code, the bidder line and the three lists. The
// decisions are made here, toolkit-free, and written through the dialog seam;
// a front end only draws what the seam receives (and the verdict colour and
// font, see below).
#ifndef BREVALT_ENGINE_RESULT_DISPLAY_H
#define BREVALT_ENGINE_RESULT_DISPLAY_H

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dialog_seam.h"
#include "record/verify_result.h"
#include "timestamp/trusted_clock.h"

namespace brevalt {

// Text colour of the verdict (static 1016). The bidder validity (static 1019)
// is always drawn blue.
enum class VerdictColour { kRed, kBlue };

// Blue only when the five step states (network, local clock, rules file, bid
// format, signature) are all StepPassed; red otherwise, whatever the verdict
// text says. Step 2 has no state and takes no part. Pure; any thread.
VerdictColour VerdictColourOf(const CVerifyResult& result);

// Edit 1017: empty without a bidder name; the name alone when it equals the
// unit; otherwise name + "  单位： " + unit. Pure.
std::u16string BidderLineText(const CVerifyResult& result);

// One opener certificate that has a readable holder name.
struct OpenerEntry {
  std::size_t cert_index;  // position in result.OpenerCerts
  std::u16string name;     // holder name (certificate attribute 20), PlainText
  bool valid;              // IsCertStillValid
};

// The certificates of result.OpenerCerts, in order, that are present and
// whose holder name the PKI library delivers; the others are left out. Used
// by the openers list and the log, so both number the same rows.
std::vector<OpenerEntry> ReadableOpeners(const CVerifyResult& result);

// Rewrites the result controls from a record. Keeps which certificate each
// row of the openers list shows, so a viewer shows the certificate of the row
// the user picked even when a nameless certificate was skipped.
//
// Thread: any thread may call any member (the mapping is locked); the caller
// must keep the record unchanged for the duration of a call.
class CResultDisplay {
 public:
  // Every result control: 1008 code, 1011 trusted time, the five step marks
  // 1010 and 1012..1015, 1016 verdict (empty text when FinalResult is empty;
  // the front end draws a non-empty verdict in the 25-unit bold "宋体" font
  // and the colour of VerdictColourOf), 1017 bidder line, 1019 "有效"/"无效"
  // (empty without BidderCert); then the three lists in the order messages,
  // bid information, openers. Unless step 1 failed this decides whether the
  // bid may be opened (see FillOpenerList) and writes result.MayOpen.
  void UpdateResultDisplay(CVerifyResult& result, IDialogSeam& dialog,
                           const BeforeRequest& before_request = {});

  // List 1029: one row (category, detail, nature, advice) when ErrorCategory
  // is 1..5; no row otherwise.
  static void FillMessageList(const CVerifyResult& result, IDialogSeam& dialog);
  // List 1004: "招标单位", "项目编号", "项目名称", "开标时间", each only when
  // its value is not empty, then "是否可以开标" when MayOpen >= 0 ("√" for
  // 1, "×" for 2, "未知" otherwise).
  static void FillBidInfoList(const CVerifyResult& result, IDialogSeam& dialog);
  // List 1006: empty when step 1 failed. Otherwise asks DecideMayOpen (which
  // sets result.MayOpen; it reads the record's trusted-time anchor, or makes a
  // request after before_request) and, only when the bid may be opened now,
  // one row per readable opener: number from 0, name, "有效"/"无效".
  void FillOpenerList(CVerifyResult& result, IDialogSeam& dialog,
                      const BeforeRequest& before_request = {});

  // The position in OpenerCerts of the certificate shown in row of list
  // 1006 as last filled; -1 when the row does not exist.
  int OpenerCertIndex(int row) const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::size_t> opener_rows_;  // row -> index into OpenerCerts
};

}  // namespace brevalt

#endif  // BREVALT_ENGINE_RESULT_DISPLAY_H
