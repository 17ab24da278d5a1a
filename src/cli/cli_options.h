// The command line of brevalt-cli: options, files and the help text.
#ifndef BREVALT_CLI_CLI_OPTIONS_H
#define BREVALT_CLI_CLI_OPTIONS_H

#include <string>
#include <vector>

namespace brevalt::cli {

// Exit statuses of brevalt-cli.
enum ExitStatus : int {
  kExitAllPassed = 0,  // every file's verdict is "通过"
  kExitNotPassed = 1,  // some file's verdict is not "通过" (a refused name included)
  kExitUsage = 2,      // the command line could not be used
};

struct CliOptions {
  bool verify_rules = true;  // box 1007 "验证规则文件"
  bool write_log = true;     // box 1030 "写日志"
  bool json = false;
  bool sm3 = false;            // the JSON line also gives the file's SM3 (another read)
  bool summary = false;        // one line per file, then the totals
  bool receipt = true;         // a time-stamp receipt beside every log written
  bool check_receipt = false;  // the files are logs whose receipts are checked
  bool help = false;
  bool version = false;
  std::string export_file;  // --export: the summary to write after the files (.csv, .pdf)
  std::vector<std::string> files;
};

// Reads args (without the program name): --no-rules, --no-log, --no-receipt,
// --check-receipt, --export FILE.csv|FILE.pdf, --json / -j, --summary / -s, --help / -h, --version
// / -V, and files, in any order;
// "--" makes every later word a file. True on success; false with *error
// naming the problem (an unknown option, a value given to an option, --json
// with --summary, --check-receipt with any other option but --help or
// --version, or no file without --help or --version).
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options, std::string* error);

// The usage line that follows a usage error.
inline constexpr char kUsageLine[] =
    "usage: brevalt-cli [--no-rules] [--no-log] [--no-receipt] [--json | --summary]\n"
    "                   [--export SUMMARY.csv|SUMMARY.pdf] FILE...\n"
    "       brevalt-cli --check-receipt LOG...  (--help explains)\n";

// What --help prints: usage, every option, the exit statuses and where
// settings and logs live.
std::string HelpText();

}  // namespace brevalt::cli

#endif  // BREVALT_CLI_CLI_OPTIONS_H
