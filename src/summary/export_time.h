// The trusted time at which a summary is exported.
#ifndef BREVALT_SUMMARY_EXPORT_TIME_H
#define BREVALT_SUMMARY_EXPORT_TIME_H

#include <string>
#include <vector>

#include "summary/summary_row.h"

namespace brevalt {

// The trusted time now ("YYYY-MM-DD HH:MM:SS"): read without a request from
// the clock that the run's latest time-stamp answer anchored while that is
// young, otherwise asked of the authorities once. A summary records it as
// its "时间戳时间" and its receipt, asked right after, is judged against it:
// the run's own time would refuse the receipt of any summary exported more
// than a few minutes after the run. Empty when no authority answers (the
// summary is still written; its receipt cannot check). Blocks up to the
// trusted-time budget.
std::u16string ExportTrustedTime(const std::vector<SummaryRow>& rows);

}  // namespace brevalt

#endif  // BREVALT_SUMMARY_EXPORT_TIME_H
