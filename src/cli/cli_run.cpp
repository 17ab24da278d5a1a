#include "cli/cli_run.h"

#include <filesystem>
#include <optional>

#include "cli/bidder_chain.h"
#include "cli/cli_options.h"
#include "cli/file_report.h"
#include "cli/file_sm3.h"
#include "config/text_convert.h"
#include "engine/verification_run.h"
#include "log/verify_log.h"
#include "platform/memory_dialog.h"

namespace brevalt::cli {
namespace {

// The path as the file dialog hands it over: absolute, so the check finds
// the bid's folder even for a file named without one.
std::string AbsolutePath(const std::string& file) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  return error ? file : absolute.lexically_normal().string();
}

// Chooses and verifies one file as the dialog's two buttons do; returns
// whether its verdict is "通过". Writes its JSON line or report to out.
bool VerifyFile(const CliOptions& options, const std::string& file, std::ostream& out) {
  MemoryDialog dialog;
  dialog.SetChecked(kCheckVerifyRules, options.verify_rules);
  dialog.SetChecked(kCheckWriteLog, options.write_log);
  FileRun file_run;
  file_run.bid_path = AbsolutePath(file);
  CVerificationRun run(dialog, [&file_run](const CVerifyResult& result, IDialogSeam& seam) {
    std::u16string written;
    if (WriteVerifyLog(result, seam, &written) == kLogWritten)
      file_run.log_file = written;
  });
  const std::filesystem::path path(file_run.bid_path);
  file_run.verified =
      run.ChooseBidFile(Utf8ToWide(path.string()), Utf8ToWide(path.filename().string()));
  if (file_run.verified) {
    run.OnBnClickedVerify();
    run.WaitForWorker();
    file_run.bidder_chain = BidderChainOf(run.Result());
    file_run.sm3 = FileSm3Of(file_run.bid_path, dialog.GetControlText(kEditVerifyCode));
  }
  if (options.json)
    out << JsonLine(run.Result(), dialog, file_run) << '\n';
  else
    out << HumanReport(run.Result(), dialog, file_run);
  out.flush();
  return file_run.verified && Passed(dialog);
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliOptions options;
  std::string error;
  if (!ParseCliOptions(args, &options, &error)) {
    err << "brevalt-cli: " << error << "\n"
        << "usage: brevalt-cli [--no-rules] [--no-log] [--json] FILE...  (--help explains)\n";
    return kExitUsage;
  }
  if (options.help) {
    out << HelpText();
    return kExitAllPassed;
  }
  bool all_passed = true;
  const std::size_t count = options.files.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string name = std::filesystem::path(options.files[i]).filename().string();
    err << "[" << i + 1 << "/" << count << "] " << name << "…" << std::endl;
    all_passed = VerifyFile(options, options.files[i], out) && all_passed;
  }
  return all_passed ? kExitAllPassed : kExitNotPassed;
}

}  // namespace brevalt::cli
