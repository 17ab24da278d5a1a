#include "tools/bidx/bidx_cli.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>

#include "tools/bidx/report_command.h"
#include "tools/bidx/seal_command.h"

namespace brevalt::bidx {

namespace {

constexpr int kUsageError = 2;

constexpr const char* kHelp =
    "bidx: seals bid files (.bidx) and inspects sealed ones.\n"
    "\n"
    "usage:\n"
    "  bidx seal --out FILE --signer-cert CERT --signer-key KEY [seal options]\n"
    "  bidx inspect FILE [--extract DIR]\n"
    "  bidx --help\n"
    "\n"
    "seal options:\n"
    "  --out FILE          the sealed bid to write (first as FILE.part, renamed when done)\n"
    "  --signer-cert CERT  the bidder's certificate, PEM or DER; it is sealed into the bid\n"
    "  --signer-key KEY    its private key: PEM or DER, unencrypted, RSA, EC or SM2\n"
    "  --payload FILE      the bid documents to seal (default: none)\n"
    "  --rules FILE        the rules document (GBK XML, root bidenv), sealed after a RULF\n"
    "                      header; the opener counts default to its rule/m and rule/n\n"
    "  --custom-data FILE  raw bytes for the custom data block, instead of --rules\n"
    "  --total M           number of bid openers (default: from --rules, else 1)\n"
    "  --min N             openers needed to open the bid (default: from --rules, else 1)\n"
    "\n"
    "inspect options:\n"
    "  --extract DIR       also write signed.bin, sig.der, signer.pem and payload.bin to DIR\n"
    "                      (to check the signature with openssl cms; see docs/container.md)\n"
    "\n"
    "  --help, -h          print this help and exit\n"
    "\n"
    "Exit status: 0 done (inspect: the bid verifies), 1 failed or not verified,\n"
    "2 wrong command line.\n";

constexpr const char* kSeeHelp = "bidx: see bidx --help\n";

using Options = std::map<std::string, std::string>;

bool IsHelpOption(const std::string& word) {
  return word == "--help" || word == "-h";
}

// Parses "--name value" pairs after args[0]; positional words go to
// *positional. False, with the cause on `err`, for an unknown, repeated or
// valueless option.
bool ParseOptions(const std::vector<std::string>& args, const std::vector<std::string>& known,
                  Options* opts, std::vector<std::string>* positional, std::ostream& err) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word.rfind("--", 0) != 0) {
      positional->push_back(word);
      continue;
    }
    if (std::find(known.begin(), known.end(), word) == known.end()) {
      err << "bidx " << args[0] << ": unknown option " << word << "\n";
      return false;
    }
    if (opts->count(word) != 0) {
      err << "bidx " << args[0] << ": option " << word << " given twice\n";
      return false;
    }
    if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1].rfind("--", 0) == 0) {
      err << "bidx " << args[0] << ": option " << word << " needs a value\n";
      return false;
    }
    (*opts)[word] = args[++i];
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

// Checks what the options of `bidx seal` need of each other; false, with the
// cause on `err`, when they do not fit.
bool SealOptionsFit(Options& o, const std::vector<std::string>& positional, SealOptions* options,
                    std::ostream& err) {
  if (!positional.empty()) {
    err << "bidx seal: unexpected argument " << positional[0] << "\n";
    return false;
  }
  for (const char* needed : {"--out", "--signer-cert", "--signer-key"}) {
    if (o.count(needed) == 0) {
      err << "bidx seal: " << needed << " is missing\n";
      return false;
    }
  }
  if (o.count("--rules") != 0 && o.count("--custom-data") != 0) {
    err << "bidx seal: give --rules or --custom-data, not both\n";
    return false;
  }
  *options = {o["--out"],   o["--signer-cert"], o["--signer-key"], o["--payload"],
              o["--rules"], o["--custom-data"], std::nullopt,      std::nullopt};
  for (const auto& [name, count] :
       {std::pair{"--total", &options->total}, std::pair{"--min", &options->min}}) {
    if (o.count(name) != 0 && !ParseCount(o[name], count)) {
      err << "bidx seal: " << name << " takes a 32-bit integer, not \"" << o[name] << "\"\n";
      return false;
    }
  }
  return true;
}

int Seal(const std::vector<std::string>& args, std::ostream& err) {
  Options o;
  std::vector<std::string> positional;
  SealOptions options;
  if (!ParseOptions(args,
                    {"--out", "--signer-cert", "--signer-key", "--payload", "--rules",
                     "--custom-data", "--total", "--min"},
                    &o, &positional, err) ||
      !SealOptionsFit(o, positional, &options, err)) {
    err << kSeeHelp;
    return kUsageError;
  }
  return RunSeal(options, err);
}

int Inspect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options o;
  std::vector<std::string> positional;
  if (!ParseOptions(args, {"--extract"}, &o, &positional, err)) {
    err << kSeeHelp;
    return kUsageError;
  }
  if (positional.size() != 1) {
    err << "bidx inspect: "
        << (positional.empty() ? "the bid file is missing" : "one bid file only") << "\n"
        << kSeeHelp;
    return kUsageError;
  }
  return RunInspect(positional[0], o["--extract"], out, err);
}

}  // namespace

int RunBidx(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if ((!args.empty() && args[0] == "help") || std::any_of(args.begin(), args.end(), IsHelpOption)) {
    out << kHelp;
    return 0;
  }
  if (!args.empty() && args[0] == "seal") {
    return Seal(args, err);
  }
  if (!args.empty() && args[0] == "inspect") {
    return Inspect(args, out, err);
  }
  err << (args.empty() ? std::string("bidx: a command is missing (seal or inspect)")
                       : "bidx: unknown command " + args[0])
      << "\n"
      << kSeeHelp;
  return kUsageError;
}

}  // namespace brevalt::bidx
