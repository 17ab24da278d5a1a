// The many-bids summary as CSV: UTF-8 with a byte-order mark, so that a
// spreadsheet opens it with its Chinese texts intact.
#ifndef BREVALT_SUMMARY_SUMMARY_CSV_H
#define BREVALT_SUMMARY_SUMMARY_CSV_H

#include <string>
#include <vector>

#include "summary/summary_row.h"

namespace brevalt {

// The file's bytes, lines ending in CR LF as RFC 4180 has them: the
// byte-order mark; a first line "时间戳时间：<stamped_at>" (the trusted time
// of the export, which the summary's receipt is compared with),
// "验证时间：<the run's trusted time>" and "项目：<project numbers>"; the column titles; one line
// per row, in the order given. Fields holding a comma, a quote or a line break are quoted. A text
// taken from the bid (file name, numbers, bidder, reason) that begins with "=",
// "+", "-", "@" or a tab gets a leading "'", so no spreadsheet runs it as a
// formula. Pure.
std::string SummaryCsv(const std::vector<SummaryRow>& rows, const std::u16string& stamped_at);

}  // namespace brevalt

#endif  // BREVALT_SUMMARY_SUMMARY_CSV_H
