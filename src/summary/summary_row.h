// One row of the many-bids table and of its exported summary: what one bid's
// run showed, reduced to the columns people read at an opening.
#ifndef BREVALT_SUMMARY_SUMMARY_ROW_H
#define BREVALT_SUMMARY_SUMMARY_ROW_H

#include <string>
#include <vector>

#include "platform/dialog_seam.h"
#include "record/verify_result.h"

namespace brevalt {

enum class SummaryVerdict { kNotVerified, kPassed, kNotPassed };

// What became of a bid's log and of its receipt.
enum class LogState { kNone, kNotWanted, kWritten, kFailed };
enum class ReceiptState { kNone, kPending, kWritten, kFailed };

struct SummaryRow {
  int number = 0;  // position in the table when it was filled, from 1
  std::u16string path;
  std::u16string file_name;
  std::u16string project;  // 项目编号, from the file name
  std::u16string package;  // 包组号, from the file name
  std::u16string bidder;   // as the bidder field shows it
  SummaryVerdict verdict = SummaryVerdict::kNotVerified;
  std::u16string code;          // verification code, whole
  std::u16string reason;        // detail of the first message row
  std::u16string trusted_time;  // trusted time of the run's step 2
  CTrustedAnchor anchor;        // that time on the boot clock, for the export's time
  LogState log = LogState::kNone;
  ReceiptState receipt = ReceiptState::kNone;
};

// "通过", "没通过", or "未验证" for a bid not (yet) verified.
std::u16string VerdictText(SummaryVerdict verdict);
// "已写", "不写", "写入失败", or empty before the run.
std::u16string LogStateText(LogState state);
// "已盖时间戳", "等待中", "无回执", or empty.
std::u16string ReceiptStateText(ReceiptState state);

// A row before its run: number, path and file name, and the numbers the bid
// file name rule reads; a name the rule refuses gets the choose command's
// warning as its reason and stays kNotVerified.
SummaryRow PendingRow(int number, const std::u16string& path);

// Fills row from a finished run: the verdict as the verdict field shows it,
// the bidder field, the record's code and trusted time, and as reason the
// detail of the first row of the message list; a failed run without a
// message row (pre-flight, trusted time, clock) gives its detail all the
// same, so no failed row is left without a reason.
void FillRowFromRun(SummaryRow& row, const CVerifyResult& result, IDialogSeam& shown);

// The project numbers of the rows, each once, in order, joined by "、".
std::u16string ProjectsOf(const std::vector<SummaryRow>& rows);
// The latest trusted time of the rows ("YYYY-MM-DD HH:MM:SS"); empty when no
// row obtained one.
std::u16string RunTrustedTime(const std::vector<SummaryRow>& rows);

}  // namespace brevalt

#endif  // BREVALT_SUMMARY_SUMMARY_ROW_H
