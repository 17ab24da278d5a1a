// The printed summary's content as plain texts: everything its PDF shows,
// worked out from the rows here, so that drawing it needs nothing but the
// texts (and can live in a module of its own).
#ifndef BREVALT_SUMMARY_SUMMARY_SHEET_H
#define BREVALT_SUMMARY_SUMMARY_SHEET_H

#include <string>
#include <vector>

#include "summary/summary_row.h"

namespace brevalt {

struct SummarySheetLine {
  std::u16string number, file_name, bidder, verdict, code, reason;
  SummaryVerdict kind = SummaryVerdict::kNotVerified;  // chooses the verdict's colour
};

struct SummarySheet {
  std::u16string projects;    // ProjectsOf the rows
  std::u16string stamped_at;  // the export's trusted time
  std::u16string run_time;    // RunTrustedTime of the rows
  int passed = 0, not_passed = 0, not_verified = 0;
  std::vector<SummarySheetLine> lines;  // one per row, in order
};

SummarySheet SummarySheetOf(const std::vector<SummaryRow>& rows, const std::u16string& stamped_at);

}  // namespace brevalt

#endif  // BREVALT_SUMMARY_SUMMARY_SHEET_H
