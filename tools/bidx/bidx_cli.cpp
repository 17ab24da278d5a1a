#include "tools/bidx/bidx_cli.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>

#include <span>

#include "platform/command_line.h"
#include "platform/version.h"
#include "tools/bidx/report_command.h"
#include "tools/bidx/seal_command.h"

namespace brevalt::bidx {

namespace {

constexpr int kUsageError = 2;

constexpr const char* kHelpText =
    "bidx: seals bid files (.bidx) and inspects sealed ones.\n"
    "\n"
    "usage:\n"
    "  bidx seal --out FILE --signer-cert CERT --signer-key KEY [seal options]\n"
    "  bidx inspect FILE [--extract DIR]\n"
    "  bidx --help | --version\n"
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
    "  --version, -V       print the version and exit\n"
    "\n"
    "An option's value may follow it (--out FILE) or join it (--out=FILE); options\n"
    "and operands come in any order, and every word after -- is an operand.\n"
    "\n"
    "Exit status: 0 done (inspect: the bid verifies), 1 failed or not verified,\n"
    "2 wrong command line.\n";

constexpr const char* kSeeHelp = "bidx: see bidx --help\n";

using Options = std::map<std::string, std::string>;

// Every command takes these besides its own options.
constexpr OptionSpec kHelp{"help", 'h', false};
constexpr OptionSpec kVersion{"version", 'V', false};

constexpr OptionSpec kSealSpecs[] = {
    {"out", 0, true},
    {"signer-cert", 0, true},
    {"signer-key", 0, true},
    {"payload", 0, true},
    {"rules", 0, true},
    {"custom-data", 0, true},
    {"total", 0, true},
    {"min", 0, true},
    kHelp,
    kVersion,
};
constexpr OptionSpec kInspectSpecs[] = {{"extract", 0, true}, kHelp, kVersion};
constexpr OptionSpec kNoSpecs[] = {kHelp, kVersion};

// Reads the words after the command into "--name" -> value pairs; operands
// go to *positional, --help and --version to *asked. False, with the cause
// on `err` after `who`, for an unknown or repeated option and for one
// without a value (an empty one, or the next option taken for it).
bool ParseOptions(const std::vector<std::string>& words, std::span<const OptionSpec> specs,
                  const std::string& who, Options* opts, std::vector<std::string>* positional,
                  std::string* asked, std::ostream& err) {
  CommandLine line;
  CommandLineProblem problem;
  if (!ParseCommandLine(words, specs, &line, &problem)) {
    if (problem.error == CommandLineError::kUnknownOption)
      err << who << ": unknown option " << problem.word << "\n";
    else if (problem.error == CommandLineError::kMissingValue)
      err << who << ": option " << problem.word << " needs a value\n";
    else
      err << who << ": option " << problem.word << " takes no value\n";
    return false;
  }
  for (const GivenOption& given : line.options) {
    const std::string word = "--" + given.name;
    if (given.name == kHelp.name || given.name == kVersion.name) {
      if (asked->empty())
        *asked = given.name;
      continue;
    }
    if (opts->count(word) != 0) {
      err << who << ": option " << word << " given twice\n";
      return false;
    }
    if (given.value.empty() || given.value.rfind("--", 0) == 0) {
      err << who << ": option " << word << " needs a value\n";
      return false;
    }
    (*opts)[word] = given.value;
  }
  *positional = std::move(line.operands);
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

int Seal(const Options& given, const std::vector<std::string>& positional, std::ostream& err) {
  Options o = given;
  SealOptions options;
  if (!SealOptionsFit(o, positional, &options, err)) {
    err << kSeeHelp;
    return kUsageError;
  }
  return RunSeal(options, err);
}

int Inspect(const Options& o, const std::vector<std::string>& positional, std::ostream& out,
            std::ostream& err) {
  if (positional.size() != 1) {
    err << "bidx inspect: "
        << (positional.empty() ? "the bid file is missing" : "one bid file only") << "\n"
        << kSeeHelp;
    return kUsageError;
  }
  const auto extract = o.find("--extract");
  return RunInspect(positional[0], extract == o.end() ? std::string() : extract->second, out, err);
}

}  // namespace

int RunBidx(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty() && args[0] == "help") {
    out << kHelpText;
    return 0;
  }
  const std::string command = args.empty() ? std::string() : args[0];
  const bool seal = command == "seal";
  const bool inspect = command == "inspect";
  const std::span<const OptionSpec> specs = seal      ? std::span<const OptionSpec>(kSealSpecs)
                                            : inspect ? std::span<const OptionSpec>(kInspectSpecs)
                                                      : kNoSpecs;
  const std::vector<std::string> words(args.begin() + (seal || inspect ? 1 : 0), args.end());
  Options o;
  std::vector<std::string> positional;
  std::string asked;
  if (!ParseOptions(words, specs, seal || inspect ? "bidx " + command : "bidx", &o, &positional,
                    &asked, err)) {
    err << kSeeHelp;
    return kUsageError;
  }
  if (asked == kHelp.name) {
    out << kHelpText;
    return 0;
  }
  if (asked == kVersion.name) {
    out << "bidx " << BrevaltVersion() << "\n";
    return 0;
  }
  if (seal)
    return Seal(o, positional, err);
  if (inspect)
    return Inspect(o, positional, out, err);
  err << (args.empty() ? std::string("bidx: a command is missing (seal or inspect)")
                       : "bidx: unknown command " + args[0])
      << "\n"
      << kSeeHelp;
  return kUsageError;
}

}  // namespace brevalt::bidx
