// The verification log: a plain-text report of one run, written in the ANSI
// code page (GBK) with LF line ends to <per-user data folder>/Log/<bid file
// name>.txt. It prints what the dialog shows, read back through the seam.
#ifndef BREVALT_LOG_VERIFY_LOG_H
#define BREVALT_LOG_VERIFY_LOG_H

#include <string>
#include <string_view>

#include "log/replace_file.h"
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

// Why no log was written (kLogNoFolder, kLogWriteFailed), for a caller that
// reports it.
struct VerifyLogFailure {
  std::u16string path;     // the log file, the Log folder, or empty without a data folder
  ReplaceFailure replace;  // errno, and what became of the bid file's earlier log
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
// earlier log of the same bid file (ReplaceFileContent: never a partial
// file). When this run's log cannot be written, the earlier log is removed,
// or overwritten with a short notice that this run's log is missing, so it
// never passes for this run's. Returns a VerifyLogCode; on success *written
// (when not null) receives the log's path, on kLogNoFolder and
// kLogWriteFailed *failure (when not null) says why. Reports nothing to the
// user. Called on the verification worker as a run's last step; the record
// must stay unchanged until it returns.
int WriteVerifyLog(const CVerifyResult& result, IDialogSeam& dialog,
                   std::u16string* written = nullptr, VerifyLogFailure* failure = nullptr);

}  // namespace brevalt

#endif  // BREVALT_LOG_VERIFY_LOG_H
