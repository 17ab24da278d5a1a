#include "summary/summary_sheet.h"

namespace brevalt {

SummarySheet SummarySheetOf(const std::vector<SummaryRow>& rows, const std::u16string& stamped_at) {
  SummarySheet sheet;
  sheet.projects = ProjectsOf(rows);
  sheet.stamped_at = stamped_at;
  sheet.run_time = RunTrustedTime(rows);
  for (const SummaryRow& row : rows) {
    sheet.passed += row.verdict == SummaryVerdict::kPassed;
    sheet.not_passed += row.verdict == SummaryVerdict::kNotPassed;
    sheet.not_verified += row.verdict == SummaryVerdict::kNotVerified;
    const std::string number = std::to_string(row.number);
    sheet.lines.push_back({std::u16string(number.begin(), number.end()), row.file_name, row.bidder,
                           VerdictText(row.verdict), row.code, row.reason, row.verdict});
  }
  return sheet;
}

}  // namespace brevalt
