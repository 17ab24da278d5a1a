#include "cli/cli_options.h"

#include "config/text_convert.h"
#include "platform/command_line.h"
#include "summary/summary_export.h"

namespace brevalt::cli {
namespace {

constexpr OptionSpec kSpecs[] = {
    {"no-rules", 0, false},   {"no-log", 0, false},        {"json", 'j', false},
    {"summary", 's', false},  {"help", 'h', false},        {"version", 'V', false},
    {"no-receipt", 0, false}, {"check-receipt", 0, false}, {"sm3", 0, false},
    {"export", 0, true},
};

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options,
                     std::string* error) {
  CommandLine line;
  CommandLineProblem problem;
  if (!ParseCommandLine(args, kSpecs, &line, &problem)) {
    *error = problem.error == CommandLineError::kUnexpectedValue
                 ? "option " + problem.word + " takes no value"
                 : "unknown option " + problem.word;
    return false;
  }
  for (const GivenOption& given : line.options) {
    if (given.name == "no-rules")
      options->verify_rules = false;
    else if (given.name == "no-log")
      options->write_log = false;
    else if (given.name == "json")
      options->json = true;
    else if (given.name == "summary")
      options->summary = true;
    else if (given.name == "no-receipt")
      options->receipt = false;
    else if (given.name == "check-receipt")
      options->check_receipt = true;
    else if (given.name == "sm3")
      options->sm3 = true;
    else if (given.name == "export")
      options->export_file = given.value;
    else if (given.name == "help")
      options->help = true;
    else
      options->version = true;
  }
  options->files = std::move(line.operands);
  if (options->help || options->version)
    return true;
  if (options->check_receipt) {
    // Checking receipts verifies no bid and writes nothing: an option that
    // shapes a verification or its output would be silently dropped.
    for (const GivenOption& given : line.options) {
      if (given.name != "check-receipt") {
        *error = "--check-receipt does not go with --" + given.name;
        return false;
      }
    }
    if (options->files.empty()) {
      *error = "no log given";
      return false;
    }
    return true;
  }
  if (options->json && options->summary) {
    *error = "--json and --summary do not go together";
    return false;
  }
  if (!options->export_file.empty() && SummaryFormatOf(Utf8ToWide(options->export_file)).empty()) {
    *error = "--export needs a file ending in .csv or .pdf";
    return false;
  }
  if (options->files.empty()) {
    *error = "no bid file given";
    return false;
  }
  return true;
}
std::string HelpText() {
  return "usage: brevalt-cli [--no-rules] [--no-log] [--no-receipt] [--json [--sm3] | --summary]\n"
         "                   [--export SUMMARY.csv|SUMMARY.pdf] FILE...\n"
         "       brevalt-cli --check-receipt LOG...\n"
         "\n"
         "Verifies sealed bid files (.bidx), one after the other, as the dialog's\n"
         "verify button does. Each FILE must be named xxx_PROJECT_PACKAGE.tbs.bidx\n"
         "(the project and package numbers come from the name); a file named\n"
         "otherwise is refused with a warning and not verified.\n"
         "\n"
         "options:\n"
         "  --no-rules     do not download the project's rules file from the rules\n"
         "                 service nor compare it with the one sealed into the bid\n"
         "                 (the \"验证规则文件\" box unchecked); checked by default\n"
         "  --no-log       write no verification log (the \"写日志\" box unchecked)\n"
         "  --no-receipt   write no time-stamp receipt (LOG.tsr) beside the logs\n"
         "  --check-receipt  the files are logs: check each one's receipt (LOG.tsr)\n"
         "                 against its bytes, the trusted time it records and the\n"
         "                 time-stamp trust anchors; takes no other option\n"
         "  --export SUMMARY.csv|SUMMARY.pdf\n"
         "                 after the files, write their summary (file, bidder, verdict,\n"
         "                 code, reason; CSV in UTF-8 with a byte-order mark, or PDF)\n"
         "                 and its time-stamp receipt SUMMARY.tsr unless --no-receipt\n"
         "  -j, --json     print one JSON object per file per line instead of the report\n"
         "  --sm3          with --json, also give each file's SM3 (read once more for it)\n"
         "  -s, --summary  print one line per file instead of its report, then the totals\n"
         "  -h, --help     print this text\n"
         "  -V, --version  print the version\n"
         "  --             every later word is a file\n"
         "\n"
         "Options may come before, between or after the files, and short ones\n"
         "combine (-sV).\n"
         "Progress goes to standard error as \"[3/40] name…\". Without --json or\n"
         "--summary each file prints the report the log holds (UTF-8), the trust\n"
         "anchor files read, and a one-line summary that names the failed step and\n"
         "its cause.\n"
         "\n"
         "exit status:\n"
         "  0  every file's verdict is 通过 (passed)\n"
         "  1  some file's verdict is not 通过, or its name was refused\n"
         "  2  the command line could not be used (the message says why)\n"
         "  with --check-receipt: 0 every receipt is valid, 1 some is not\n"
         "\n"
         "files:\n"
         "  settings  $XDG_CONFIG_HOME/TAVIK/qzv/Setting.ini\n"
         "            (~/.config/TAVIK/qzv/Setting.ini when XDG_CONFIG_HOME is unset)\n"
         "  logs      $XDG_CONFIG_HOME/TAVIK/qzv/Log/<bid file name>.txt (GBK)\n"
         "            and its receipt <bid file name>.txt.tsr (receipt.md)\n"
         "  trust     $XDG_CONFIG_HOME/TAVIK/qzv/trust/tsa/ and trust/bidder/\n"
         "            (.pem, .crt or .cer; PEM or DER)\n"
         "  sample    " BREVALT_DOC_FOLDER
         "/examples/Setting.ini, commented\n"
         "\n"
         "See verification.md in " BREVALT_DOC_FOLDER
         " for the steps, the\n"
         "messages and the JSON keys.\n";
}

}  // namespace brevalt::cli
