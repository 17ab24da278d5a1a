#include "cli/file_report.h"

#include <nlohmann/json.hpp>
#include <system_error>

#include "config/text_convert.h"
#include "engine/result_display.h"
#include "log/verify_log.h"
#include "platform/plain_text.h"
#include "platform/user_folder.h"
#include "record/result_texts.h"
#include "tavik/tavik_secret_file.h"

namespace brevalt::cli {
namespace {

// Keys keep the order in which they are listed below.
using json = nlohmann::ordered_json;

// Every text printed, in the JSON as in the report, is written through
// PlainText: what comes from outside (names, rules texts, paths) brings no
// control character, and shows as the dialog shows it.
std::string Utf8(const std::u16string& text) {
  return WideToUtf8(PlainText(text));
}

// The rows of a list, each cut or padded to columns cells.
json Rows(MemoryDialog& dialog, int list, std::size_t columns) {
  json rows = json::array();
  for (const ListRow& row : dialog.GetListRows(list)) {
    json cells = json::array();
    for (std::size_t i = 0; i < columns; ++i)
      cells.push_back(i < row.size() ? Utf8(row[i]) : std::string());
    rows.push_back(std::move(cells));
  }
  return rows;
}

json LastMessageBox(MemoryDialog& dialog) {
  const auto boxes = dialog.MessageBoxes();
  if (boxes.empty())
    return nullptr;
  return {{"text", Utf8(boxes.back().text)}, {"caption", Utf8(boxes.back().caption)}};
}

json Steps(MemoryDialog& dialog) {
  json steps = json::array();
  for (int id = kEditStepNetwork; id <= kEditStepSignature; ++id)
    steps.push_back(Utf8(dialog.GetControlText(id)));
  return steps;
}

std::string ErrnoText(int error) {
  return error != 0 ? std::generic_category().message(error) : "unknown error";
}

template <typename T>
json OrNull(const std::optional<T>& value) {
  return value ? json(*value) : json(nullptr);
}

// The log's report in UTF-8. Its second line states the two options; a log
// file only exists with box 1030 checked, so it always says "写日志：是.",
// while the report printed with that box unchecked says "否".
std::string ReportText(const CVerifyResult& result, MemoryDialog& dialog) {
  // Its own line breaks stay; the composer made every text in it plain.
  std::string text = WideToUtf8(AnsiToWide(ComposeVerifyLog(result, dialog)));
  static const std::string kLogYes = "2、验证规则文件：是;     写日志：是.\n";
  const std::size_t line = text.find("\n\n");
  if (!dialog.IsChecked(kCheckWriteLog) && line != std::string::npos &&
      text.compare(line + 2, kLogYes.size(), kLogYes) == 0) {
    text.replace(line + 2, kLogYes.size(), "2、验证规则文件：是;     写日志：否.\n");
  }
  return text + "\n";
}

// The container library's description of an anchor folder; a note when it
// gives none.
std::string AnchorFilesOf(const std::string& folder) {
  int length = 0;
  if (TavikSecretFileDescribeAnchorFolder(folder.c_str(), nullptr, &length) != 0 || length < 0)
    return "(cannot be described)";
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  if (TavikSecretFileDescribeAnchorFolder(folder.c_str(), text.data(), &length) != 0 ||
      length < 0 || static_cast<std::size_t>(length) >= text.size())
    return "(cannot be described)";
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// One line per trust folder: which anchor files were read, which refused.
std::string AnchorLines() {
  std::string lines;
  for (const char16_t* kind : {u"tsa", u"bidder"}) {
    const std::string folder = ToNativePath(GetTrustFolder(kind));
    lines += "trust/" + Utf8(kind) + " anchors (" + folder + "): " + AnchorFilesOf(folder) + "\n";
  }
  return lines;
}

}  // namespace

bool Passed(MemoryDialog& dialog) {
  return dialog.GetControlText(kStaticVerdict) == kVerdictPassed;
}

std::string JsonLine(const CVerifyResult& result, MemoryDialog& dialog, const FileRun& run) {
  json line = {
      {"bid_path", PlainTextUtf8(run.bid_path)},
      {"project_number", Utf8(result.ProjectNumber)},
      {"package_number", Utf8(result.PackageNumber)},
      {"message_box", LastMessageBox(dialog)},
      {"steps", Steps(dialog)},
      {"verdict", Utf8(dialog.GetControlText(kStaticVerdict))},
      {"verdict_colour", VerdictColourOf(result) == VerdictColour::kBlue ? "blue" : "red"},
      {"verification_code", Utf8(dialog.GetControlText(kEditVerifyCode))},
      {"sm3", OrNull(run.sm3)},
      {"bidder", Utf8(dialog.GetControlText(kEditBidder))},
      {"bidder_cert_validity", Utf8(dialog.GetControlText(kStaticBidderValidity))},
      {"bidder_chain", OrNull(run.bidder_chain)},
      {"bid_info", Rows(dialog, kListBidInfo, 2)},
      {"openers", Rows(dialog, kListOpeners, 3)},
      {"messages", Rows(dialog, kListMessages, 4)},
      {"log_file", run.log_file ? json(Utf8(*run.log_file)) : json(nullptr)},
      {"failed_step", run.failed_step != 0 ? json(run.failed_step) : json(nullptr)},
      {"cause", OrNull(run.cause)},
  };
  // Invalid UTF-8 cannot come from our conversions; replace rather than throw.
  return line.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string HumanReport(const CVerifyResult& result, MemoryDialog& dialog, const FileRun& run) {
  if (!run.verified)
    return SummaryLine(result, dialog, run);
  return ReportText(result, dialog) + AnchorLines() + SummaryLine(result, dialog, run);
}

std::string SummaryLine(const CVerifyResult& result, MemoryDialog& dialog, const FileRun& run) {
  std::string summary = PlainTextUtf8(run.bid_path) + ": ";
  if (run.verified) {
    const std::u16string verdict = dialog.GetControlText(kStaticVerdict);
    summary += verdict.empty() ? "没有结果" : Utf8(verdict);
    if (!result.ErrorDetail.empty())
      summary += " (" + Utf8(result.ErrorDetail) + ")";
    // A bid that passed but may not be opened yet must not read like one
    // that may: say so, as the dialog's "是否可以开标" row does.
    if (Passed(dialog) && result.MayOpen == StepFailed)
      summary += "; 是否可以开标 ×: the opening time " + Utf8(PlainText(result.OpenTime)) +
                 " has not come";
  } else {
    summary +=
        "未验证 (" +
        Utf8(dialog.MessageBoxes().empty() ? std::u16string() : dialog.MessageBoxes().back().text) +
        ")";
  }
  if (run.failed_step != 0)
    summary += "; step " + std::to_string(run.failed_step) + " failed";
  if (run.cause)
    summary += (run.failed_step != 0 ? ": " : "; cause: ") + *run.cause;
  if (run.bidder_chain)
    summary += "; bidder chain: " + *run.bidder_chain;
  if (run.log_file)
    summary += "; log: " + Utf8(*run.log_file);
  return summary + "\n";
}

std::string LogFailureText(const VerifyLogFailure& failure) {
  const ReplaceFailure& replace = failure.replace;
  if (failure.path.empty())
    return "log not written: no per-user data folder (HOME and XDG_CONFIG_HOME are unset)";
  std::string text = "log not written: " + Utf8(failure.path) + ": " + ErrnoText(replace.error);
  switch (replace.earlier) {
    case kEarlierRemoved:
      return text + "; the earlier log of this bid was removed";
    case kEarlierOverwritten:
      return text + "; the earlier log of this bid could not be removed (" +
             ErrnoText(replace.earlier_error) +
             ") and now only says that this run's log is missing";
    case kEarlierKept:
      return text + "; the earlier log of this bid could be neither removed nor overwritten (" +
             ErrnoText(replace.earlier_error) + "): it is NOT the log of this run";
    case kNoEarlierFile:
      break;
  }
  return text;
}

}  // namespace brevalt::cli
