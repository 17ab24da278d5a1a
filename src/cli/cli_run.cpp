#include "cli/cli_run.h"

#include <filesystem>
#include <optional>

#include "cli/bidder_chain.h"
#include "cli/cli_export.h"
#include "cli/cli_options.h"
#include "cli/failed_step.h"
#include "cli/failure_cause.h"
#include "cli/file_report.h"
#include "cli/file_sm3.h"
#include "config/text_convert.h"
#include "engine/local_time.h"
#include "engine/verification_run.h"
#include "log/verify_log.h"
#include "log/verify_receipt.h"
#include "platform/memory_dialog.h"
#include "platform/version.h"
#include "timestamp/authority_time.h"

namespace brevalt::cli {
namespace {

// The path as the file dialog hands it over: absolute, so the check finds
// the bid's folder even for a file named without one.
std::string AbsolutePath(const std::string& file) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  return error ? file : absolute.lexically_normal().string();
}

enum class FileOutcome { kPassed, kNotPassed, kNotVerified };

// How many files ended each way, for the totals of --summary.
struct Totals {
  std::size_t passed = 0;
  std::size_t not_passed = 0;
  std::size_t not_verified = 0;
};

// Chooses and verifies one file as the dialog's two buttons do. Writes its
// JSON line, report or summary line to out, and to err why a log that was
// wanted could not be written.
FileOutcome VerifyFile(const CliOptions& options, const std::string& file, std::ostream& out,
                       std::ostream& err, std::vector<SummaryRow>* rows) {
  MemoryDialog dialog;
  dialog.SetChecked(kCheckVerifyRules, options.verify_rules);
  dialog.SetChecked(kCheckWriteLog, options.write_log);
  FileRun file_run;
  file_run.bid_path = AbsolutePath(file);
  int receipt_rc = kReceiptWritten;
  CVerificationRun run(dialog, [&](const CVerifyResult& result, IDialogSeam& seam) {
    std::u16string written;
    VerifyLogFailure failure;
    const int rc = WriteVerifyLog(result, seam, &written, &failure);
    if (rc == kLogWritten)
      file_run.log_file = written;
    else if (rc == kLogNoFolder || rc == kLogWriteFailed)
      file_run.log_failure = failure;
    if (rc == kLogWritten && options.receipt)
      receipt_rc = WriteVerifyReceipt(written);
  });
  const std::filesystem::path path(file_run.bid_path);
  file_run.verified =
      run.ChooseBidFile(Utf8ToWide(path.string()), Utf8ToWide(path.filename().string()));
  if (file_run.verified) {
    run.OnBnClickedVerify();
    run.WaitForWorker();
    file_run.bidder_chain = BidderChainOf(run.Result());
    file_run.failed_step = FailedStep(run.Result());
    file_run.cause = CauseOf(run.Result(), file_run.bid_path);
    // Only the JSON line shows it, and only when asked: it costs another read
    // of the whole file and several times the CPU of its SHA-256.
    if (options.json && options.sm3)
      file_run.sm3 = FileSm3Of(file_run.bid_path, dialog.GetControlText(kEditVerifyCode));
  }
  if (rows != nullptr)
    rows->push_back(CliSummaryRow(static_cast<int>(rows->size()) + 1, file_run.bid_path,
                                  file_run.verified, run.Result(), dialog, file_run.log_file,
                                  options.write_log, options.receipt ? receipt_rc : -1));
  if (file_run.log_failure)
    err << "brevalt-cli: " << LogFailureText(*file_run.log_failure) << std::endl;
  if (receipt_rc != kReceiptWritten && file_run.log_file)
    err << "brevalt-cli: no receipt for " << WideToUtf8(*file_run.log_file) << ": "
        << ReceiptFailureText(receipt_rc) << std::endl;
  if (options.json)
    out << JsonLine(run.Result(), dialog, file_run) << '\n';
  else if (options.summary)
    out << SummaryLine(run.Result(), dialog, file_run);
  else
    out << HumanReport(run.Result(), dialog, file_run);
  out.flush();
  if (!file_run.verified)
    return FileOutcome::kNotVerified;
  return Passed(dialog) ? FileOutcome::kPassed : FileOutcome::kNotPassed;
}

// A stamped time "YYYYMMDDHHMMSSZ" as local and UTC text.
std::string StampedAtText(const std::string& stamped) {
  int64_t time = 0;
  if (!ParseAuthorityTime(stamped.c_str(), &time))
    return stamped;
  return WideToUtf8(FormatLocalTime(time)) + " local, " + stamped.substr(0, 4) + "-" +
         stamped.substr(4, 2) + "-" + stamped.substr(6, 2) + " " + stamped.substr(8, 2) + ":" +
         stamped.substr(10, 2) + ":" + stamped.substr(12, 2) + " UTC";
}

// --check-receipt: one line per log; 0 when every receipt is valid.
int CheckReceipts(const std::vector<std::string>& logs, std::ostream& out) {
  bool all_valid = true;
  for (const std::string& log : logs) {
    const ReceiptCheck check = CheckVerifyReceipt(Utf8ToWide(log));
    out << log << ": ";
    if (check.valid)
      out << "receipt valid; stamped at " << StampedAtText(check.stamped_at) << " by "
          << check.authority << "\n";
    else
      out << "receipt not valid: " << check.reason << "\n";
    all_valid = all_valid && check.valid;
  }
  return all_valid ? kExitAllPassed : kExitNotPassed;
}

// The last line of --summary.
std::string TotalsLine(const Totals& totals) {
  const std::size_t files = totals.passed + totals.not_passed + totals.not_verified;
  return std::to_string(files) + (files == 1 ? " file: " : " files: ") +
         std::to_string(totals.passed) + " 通过, " + std::to_string(totals.not_passed) +
         " 没通过, " + std::to_string(totals.not_verified) + " 未验证\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliOptions options;
  std::string error;
  if (!ParseCliOptions(args, &options, &error)) {
    err << "brevalt-cli: " << error << "\n" << kUsageLine;
    return kExitUsage;
  }
  if (options.help) {
    out << HelpText();
    return kExitAllPassed;
  }
  if (options.version) {
    out << "brevalt-cli " << BrevaltVersion() << "\n";
    return kExitAllPassed;
  }
  if (options.check_receipt)
    return CheckReceipts(options.files, out);
  Totals totals;
  std::vector<SummaryRow> rows;
  std::vector<SummaryRow>* export_rows = options.export_file.empty() ? nullptr : &rows;
  const std::size_t count = options.files.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string name = std::filesystem::path(options.files[i]).filename().string();
    err << "[" << i + 1 << "/" << count << "] " << name << "…" << std::endl;
    switch (VerifyFile(options, options.files[i], out, err, export_rows)) {
      case FileOutcome::kPassed:
        ++totals.passed;
        break;
      case FileOutcome::kNotPassed:
        ++totals.not_passed;
        break;
      case FileOutcome::kNotVerified:
        ++totals.not_verified;
        break;
    }
  }
  if (options.summary)
    out << TotalsLine(totals);
  if (export_rows != nullptr &&
      !ExportCliSummary(options.export_file, rows, options.receipt, options.json ? err : out, err))
    return kExitNotPassed;
  return totals.passed == count ? kExitAllPassed : kExitNotPassed;
}

}  // namespace brevalt::cli
