#include "cli/cli_options.h"

namespace brevalt::cli {

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options,
                     std::string* error) {
  bool only_files = false;
  for (const std::string& arg : args) {
    if (only_files || arg == "-" || arg.empty() || arg[0] != '-') {
      options->files.push_back(arg);
    } else if (arg == "--") {
      only_files = true;
    } else if (arg == "--no-rules") {
      options->verify_rules = false;
    } else if (arg == "--no-log") {
      options->write_log = false;
    } else if (arg == "--json") {
      options->json = true;
    } else if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  if (options->files.empty() && !options->help) {
    *error = "no bid file given";
    return false;
  }
  return true;
}

std::string HelpText() {
  return "usage: brevalt-cli [--no-rules] [--no-log] [--json] FILE...\n"
         "\n"
         "Verifies sealed bid files (.bidx), one after the other, as the dialog's\n"
         "verify button does. Each FILE must be named xxx_PROJECT_PACKAGE.tbs.bidx\n"
         "(the project and package numbers come from the name); a file named\n"
         "otherwise is refused with a warning and not verified.\n"
         "\n"
         "options:\n"
         "  --no-rules  do not download the project's rules file from the rules\n"
         "              service nor compare it with the one sealed into the bid\n"
         "              (the \"验证规则文件\" box unchecked); checked by default\n"
         "  --no-log    write no verification log (the \"写日志\" box unchecked)\n"
         "  --json      print one JSON object per file per line instead of the report\n"
         "  -h, --help  print this text\n"
         "  --          every later word is a file\n"
         "\n"
         "Progress goes to standard error as \"[3/40] name…\". Without --json each\n"
         "file prints the report the log holds (UTF-8) and a one-line summary.\n"
         "\n"
         "exit status:\n"
         "  0  every file's verdict is 通过 (passed)\n"
         "  1  some file's verdict is not 通过, or its name was refused\n"
         "  2  the command line could not be used (the message says why)\n"
         "\n"
         "files:\n"
         "  settings  $XDG_CONFIG_HOME/TAVIK/qzv/Setting.ini\n"
         "            (~/.config/TAVIK/qzv/Setting.ini when XDG_CONFIG_HOME is unset)\n"
         "  logs      $XDG_CONFIG_HOME/TAVIK/qzv/Log/<bid file name>.txt (GBK)\n"
         "  trust     $XDG_CONFIG_HOME/TAVIK/qzv/trust/tsa/ and trust/bidder/ (PEM)\n"
         "\n"
         "See docs/verification.md for the steps, the messages and the JSON keys.\n";
}

}  // namespace brevalt::cli
