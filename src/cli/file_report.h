// What brevalt-cli prints for one verified file: the JSON line or the
// report the log holds with a one-line summary. Everything is read from the
// record and from what the in-memory dialog shows, as the log writer reads it.
#ifndef BREVALT_CLI_FILE_REPORT_H
#define BREVALT_CLI_FILE_REPORT_H

#include <optional>
#include <string>

#include "platform/memory_dialog.h"
#include "record/verify_result.h"

namespace brevalt::cli {

// What the front end knows about one file besides the record and the dialog.
struct FileRun {
  std::string bid_path;                     // the absolute path verified, UTF-8
  bool verified = false;                    // false when the name was refused
  std::optional<std::u16string> log_file;   // the log written, if any
  std::optional<std::string> bidder_chain;  // see BidderChainOf
  std::optional<std::string> sm3;           // see FileSm3Of
};

// True when the verdict shown (control 1016) is "通过".
bool Passed(MemoryDialog& dialog);

// One JSON object on one line (no line end), UTF-8, with exactly the keys of
// docs/verification.md.
std::string JsonLine(const CVerifyResult& result, MemoryDialog& dialog, const FileRun& run);

// The report the log holds, in UTF-8, then a one-line summary ending in a
// line end. A file that was not verified gets the summary only.
std::string HumanReport(const CVerifyResult& result, MemoryDialog& dialog, const FileRun& run);

}  // namespace brevalt::cli

#endif  // BREVALT_CLI_FILE_REPORT_H
