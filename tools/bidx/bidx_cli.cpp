#include "tools/bidx/bidx_cli.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>

#include "tools/bidx/report_command.h"
#include "tools/bidx/seal_command.h"

namespace brevalt::bidx {

namespace {

constexpr int kUsageError = 2;

constexpr const char* kUsage =
    "usage: bidx seal --out FILE --signer-cert CERT --signer-key KEY [--payload FILE]\n"
    "                 [--rules FILE | --custom-data FILE] [--total M] [--min N]\n"
    "       bidx inspect FILE [--extract DIR]\n";

// Parses "--name value" pairs after `first`; false on an unknown or
// valueless option. Positional words go to *positional.
bool ParseOptions(const std::vector<std::string>& args, std::size_t first,
                  const std::vector<std::string>& known, std::map<std::string, std::string>* opts,
                  std::vector<std::string>* positional) {
  for (std::size_t i = first; i < args.size(); ++i) {
    if (args[i].rfind("--", 0) != 0) {
      positional->push_back(args[i]);
      continue;
    }
    bool is_known = false;
    for (const std::string& name : known) {
      is_known = is_known || name == args[i];
    }
    if (!is_known || i + 1 >= args.size()) {
      return false;
    }
    (*opts)[args[i]] = args[i + 1];
    ++i;
  }
  return true;
}

bool ParseCount(const std::string& text, std::optional<std::int32_t>* count) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < INT32_MIN || value > INT32_MAX) {
    return false;
  }
  *count = static_cast<std::int32_t>(value);
  return true;
}

int Seal(const std::vector<std::string>& args, std::ostream& err) {
  std::map<std::string, std::string> o;
  std::vector<std::string> positional;
  if (!ParseOptions(args, 1,
                    {"--out", "--signer-cert", "--signer-key", "--payload", "--rules",
                     "--custom-data", "--total", "--min"},
                    &o, &positional) ||
      !positional.empty() || o["--out"].empty() || o["--signer-cert"].empty() ||
      o["--signer-key"].empty() || (!o["--rules"].empty() && !o["--custom-data"].empty())) {
    err << kUsage;
    return kUsageError;
  }
  SealOptions options{o["--out"],   o["--signer-cert"], o["--signer-key"], o["--payload"],
                      o["--rules"], o["--custom-data"], std::nullopt,      std::nullopt};
  if ((o.count("--total") && !ParseCount(o["--total"], &options.total)) ||
      (o.count("--min") && !ParseCount(o["--min"], &options.min))) {
    err << "bidx: --total and --min take a 32-bit integer\n" << kUsage;
    return kUsageError;
  }
  return RunSeal(options, err);
}

int Inspect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::map<std::string, std::string> o;
  std::vector<std::string> positional;
  if (!ParseOptions(args, 1, {"--extract"}, &o, &positional) || positional.size() != 1) {
    err << kUsage;
    return kUsageError;
  }
  return RunInspect(positional[0], o["--extract"], out, err);
}

}  // namespace

int RunBidx(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty() && args[0] == "seal") {
    return Seal(args, err);
  }
  if (!args.empty() && args[0] == "inspect") {
    return Inspect(args, out, err);
  }
  err << kUsage;
  return kUsageError;
}

}  // namespace brevalt::bidx
