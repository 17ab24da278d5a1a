// brevalt-cli --export: the summary of the files verified, written and
// stamped by the same code as the many-bids window's export.
#ifndef BREVALT_CLI_CLI_EXPORT_H
#define BREVALT_CLI_CLI_EXPORT_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/dialog_seam.h"
#include "record/verify_result.h"
#include "summary/summary_row.h"

namespace brevalt::cli {

// The summary row of one file: numbered from 1, filled from its run when it
// was verified; log and receipt as they went (receipt_rc a VerifyReceiptCode,
// or -1 when none was asked for).
SummaryRow CliSummaryRow(int number, const std::string& bid_path, bool verified,
                         const CVerifyResult& result, IDialogSeam& shown,
                         const std::optional<std::u16string>& log_file, bool log_wanted,
                         int receipt_rc);

// Writes rows to file (".csv" or ".pdf") and stamps it unless receipt is
// false; says on out where it went and on err what failed. True when written
// (and stamped, when a receipt was wanted).
bool ExportCliSummary(const std::string& file, const std::vector<SummaryRow>& rows, bool receipt,
                      std::ostream& out, std::ostream& err);

}  // namespace brevalt::cli

#endif  // BREVALT_CLI_CLI_EXPORT_H
