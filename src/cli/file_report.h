// What brevalt-cli prints for one verified file: the JSON line or the
// report the log holds with a one-line summary. Everything is read from the
// record and from what the in-memory dialog shows, as the log writer reads it.
#ifndef BREVALT_CLI_FILE_REPORT_H
#define BREVALT_CLI_FILE_REPORT_H

#include <optional>
#include <string>

#include "log/verify_log.h"
#include "platform/memory_dialog.h"
#include "record/verify_result.h"

namespace brevalt::cli {

// What the front end knows about one file besides the record and the dialog.
struct FileRun {
  std::string bid_path;                         // the absolute path verified, UTF-8
  bool verified = false;                        // false when the name was refused
  std::optional<std::u16string> log_file;       // the log written, if any
  std::optional<VerifyLogFailure> log_failure;  // why a wanted log was not written
  std::optional<std::string> bidder_chain;      // see BidderChainOf
  int failed_step = 0;                          // see FailedStep; 0 for none
  std::optional<std::string> cause;             // see CauseOf
  std::optional<std::string> sm3;               // see FileSm3Of
};

// True when the verdict shown (control 1016) is "通过".
bool Passed(MemoryDialog& dialog);

// One JSON object on one line (no line end), UTF-8, with exactly the keys of
// docs/verification.md.
std::string JsonLine(const CVerifyResult& result, MemoryDialog& dialog, const FileRun& run);

// The report the log holds, in UTF-8, the anchor files of the two trust
// folders, then SummaryLine. A file that was not verified gets the summary
// only.
std::string HumanReport(const CVerifyResult& result, MemoryDialog& dialog, const FileRun& run);

// One line (no line end) saying that the log was not written, why (the
// system's text for the errno) and what became of the bid file's earlier log.
std::string LogFailureText(const VerifyLogFailure& failure);

// One line ending in a line end: the path, the verdict, the message row's
// detail, the failed step and its cause, the bidder chain, the log written.
std::string SummaryLine(const CVerifyResult& result, MemoryDialog& dialog, const FileRun& run);

}  // namespace brevalt::cli

#endif  // BREVALT_CLI_FILE_REPORT_H
