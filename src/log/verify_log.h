// The verification log: a plain-text report of one run, written in the ANSI
// code page (GBK) with LF line ends to <per-user data folder>/Log/<bid file
// name>.txt. It prints what the dialog shows, read back through the seam.
#ifndef BREVALT_LOG_VERIFY_LOG_H
#define BREVALT_LOG_VERIFY_LOG_H

#include <string>
#include <string_view>

#include "platform/dialog_seam.h"
#include "record/verify_result.h"

namespace brevalt {

// Results of WriteVerifyLog.
enum VerifyLogCode : int {
  kLogWritten = 0,
  kLogNotWanted = 1,    // box 1030 "写日志" is not checked
  kLogNoFolder = 2,     // the Log folder neither exists nor can be created
  kLogNoFileName = 3,   // BidFileName is empty
  kLogWriteFailed = 4,  // the file could not be created or written
};

// Text in the ANSI code page; a character it cannot represent becomes "?".
std::string WideToAnsiString(std::u16string_view text);

// The report's bytes: the record's path, code, trusted time, bidder name and
// openers (listed only when MayOpen is StepPassed), and what the seam shows in
// box 1007, the step fields, the verdict, the bidder validity and lists 1004
// and 1029. Only its own texts break lines: every text it takes has its
// control characters replaced (PlainText). Reads the seam, never writes it.
// Any thread.
std::string ComposeVerifyLog(const CVerifyResult& result, IDialogSeam& dialog);

// The Log folder of the per-user data folder; empty when the platform names
// no data folder.
std::u16string VerifyLogFolder();

// When box 1030 is checked, writes ComposeVerifyLog to the Log folder
// (created, one level, when missing) as BidFileName + ".txt", replacing an
// earlier log of the same bid file. The report goes to a temporary file in
// the same folder first and is renamed into place, so a failed write leaves
// the earlier log as it was and no partial file. Returns a VerifyLogCode;
// on success *written (when not null) receives the log's path. Reports
// nothing to the user. Called on the verification worker as a run's last
// step; the record must stay unchanged until it returns.
int WriteVerifyLog(const CVerifyResult& result, IDialogSeam& dialog,
                   std::u16string* written = nullptr);

}  // namespace brevalt

#endif  // BREVALT_LOG_VERIFY_LOG_H
