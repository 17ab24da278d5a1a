#include "summary/summary_row.h"

#include <algorithm>
#include <filesystem>

#include "config/text_convert.h"
#include "engine/bid_file_name.h"
#include "platform/plain_text.h"

namespace brevalt {

std::u16string VerdictText(SummaryVerdict verdict) {
  switch (verdict) {
    case SummaryVerdict::kPassed:
      return u"通过";
    case SummaryVerdict::kNotPassed:
      return u"没通过";
    case SummaryVerdict::kNotVerified:
      break;
  }
  return u"未验证";
}

std::u16string LogStateText(LogState state) {
  switch (state) {
    case LogState::kWritten:
      return u"已写";
    case LogState::kNotWanted:
      return u"不写";
    case LogState::kFailed:
      return u"写入失败";
    case LogState::kNone:
      break;
  }
  return u"";
}

std::u16string ReceiptStateText(ReceiptState state) {
  switch (state) {
    case ReceiptState::kWritten:
      return u"已盖时间戳";
    case ReceiptState::kPending:
      return u"等待中";
    case ReceiptState::kFailed:
      return u"无回执";
    case ReceiptState::kNone:
      break;
  }
  return u"";
}

SummaryRow PendingRow(int number, const std::u16string& path) {
  SummaryRow row;
  row.number = number;
  row.path = path;
  row.file_name =
      PlainText(Utf8ToWide(std::filesystem::path(WideToUtf8(path)).filename().string()));
  if (!ParseBidFileName(path, &row.project, &row.package))
    row.reason = kBidFileNameWarning;
  row.project = PlainText(row.project);
  row.package = PlainText(row.package);
  return row;
}

void FillRowFromRun(SummaryRow& row, const CVerifyResult& result, IDialogSeam& shown) {
  row.verdict = shown.GetControlText(kStaticVerdict) == u"通过" ? SummaryVerdict::kPassed
                                                                : SummaryVerdict::kNotPassed;
  row.bidder = shown.GetControlText(kEditBidder);
  row.code = result.VerifyCode;
  row.trusted_time = result.TimestampTimeText;
  row.anchor = result.TrustedAnchor;
  const std::vector<ListRow> messages = shown.GetListRows(kListMessages);
  if (!messages.empty() && messages.front().size() > 1)
    row.reason = messages.front()[1];
  else if (row.verdict == SummaryVerdict::kNotPassed)
    row.reason = PlainText(result.ErrorDetail);
  else
    row.reason.clear();
}

std::u16string ProjectsOf(const std::vector<SummaryRow>& rows) {
  std::vector<std::u16string> seen;
  std::u16string joined;
  for (const SummaryRow& row : rows) {
    if (row.project.empty() || std::find(seen.begin(), seen.end(), row.project) != seen.end())
      continue;
    joined += (seen.empty() ? u"" : u"、") + row.project;
    seen.push_back(row.project);
  }
  return joined;
}

std::u16string RunTrustedTime(const std::vector<SummaryRow>& rows) {
  std::u16string latest;
  for (const SummaryRow& row : rows)
    latest = std::max(latest, row.trusted_time);  // the fixed-width text sorts as the time
  return latest;
}

}  // namespace brevalt
