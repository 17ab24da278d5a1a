#include "devserver/server_options.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/command_line.h"

namespace brevalt::devserver {
namespace {

template <typename T>
bool ParseNumber(std::string_view text, T min, T max, T* out) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) {
    return false;
  }
  *out = value;
  return true;
}

bool SetText(std::string_view value, std::string* out) {
  *out = value;
  return !value.empty();
}

struct Option {
  std::string_view name;
  std::string_view value;
  std::string_view help;
  bool (*apply)(std::string_view value, ServerOptions* out);
};

constexpr Option kOptions[] = {
    {"--port", "N", "port to listen on; 0 (default) picks a free one, printed on stdout",
     [](std::string_view v, ServerOptions* o) { return ParseNumber(v, 0, 65535, &o->port); }},
    {"--host", "H", "address to listen on (default 127.0.0.1; ::1 for IPv6 loopback)",
     [](std::string_view v, ServerOptions* o) { return SetText(v, &o->host); }},
    {"--clock-offset", "SECONDS", "time-stamp time = this machine's clock + SECONDS",
     [](std::string_view v, ServerOptions* o) {
       return ParseNumber<int64_t>(v, -(int64_t{1} << 40), int64_t{1} << 40,
                                   &o->tsa.clock_offset_seconds);
     }},
    {"--status", "N", "answer time-stamp requests with PKIStatus N (0..5; 2..5 carry no token)",
     [](std::string_view v, ServerOptions* o) { return ParseNumber(v, 0, 5, &o->tsa.status); }},
    {"--delay-ms", "N", "wait N milliseconds before each time-stamp answer",
     [](std::string_view v, ServerOptions* o) {
       return ParseNumber(v, 0, 3600 * 1000, &o->tsa.delay_ms);
     }},
    {"--tsa-cert", "FILE", "PEM certificate of the authority (critical EKU timeStamping only)",
     [](std::string_view v, ServerOptions* o) { return SetText(v, &o->tsa.cert_path); }},
    {"--tsa-key", "FILE", "PEM private key of --tsa-cert (both or neither; default: generated)",
     [](std::string_view v, ServerOptions* o) { return SetText(v, &o->tsa.key_path); }},
    {"--root", "DIR", "serve POST /rules from DIR/rules/<id>.xml; log bidder queries in DIR",
     [](std::string_view v, ServerOptions* o) { return SetText(v, &o->root); }},
    {"--write-ca", "FILE", "write the generated CA certificate (PEM) to FILE, to trust it",
     [](std::string_view v, ServerOptions* o) { return SetText(v, &o->write_ca_path); }},
    {"--sm2", "", "generate an SM2 authority and CA; answers are signed SM2-with-SM3",
     [](std::string_view, ServerOptions* o) { return o->tsa.sm2 = true; }},
};

// True when one of args is the long or the short word.
bool Mentions(std::span<const char* const> args, std::string_view long_word,
              std::string_view short_word) {
  for (const char* arg : args) {
    if (arg == long_word || arg == short_word)
      return true;
  }
  return false;
}

const Option* Find(std::string_view name) {
  for (const Option& option : kOptions) {
    if (option.name == name) {
      return &option;
    }
  }
  return nullptr;
}

}  // namespace

bool ParseServerOptions(std::span<const char* const> args, ServerOptions* out, std::string* error) {
  std::vector<OptionSpec> specs;
  for (const Option& option : kOptions)
    specs.push_back({option.name.data() + 2, 0, !option.value.empty()});  // without "--"
  specs.push_back({"help", 'h', false});
  specs.push_back({"version", 'V', false});
  CommandLine line;
  CommandLineProblem problem;
  if (!ParseCommandLine(std::vector<std::string>(args.begin(), args.end()), specs, &line,
                        &problem)) {
    if (problem.error == CommandLineError::kMissingValue)
      *error = "missing value after " + problem.word;
    else if (problem.error == CommandLineError::kUnexpectedValue)
      *error = "option " + problem.word + " takes no value";
    else
      *error = "unknown option " + problem.word + " (see --help)";
    return false;
  }
  if (!line.operands.empty()) {
    *error = "unknown option " + line.operands[0] + " (see --help)";
    return false;
  }
  for (const GivenOption& given : line.options) {
    const Option* option = Find("--" + given.name);
    if (option != nullptr && !option->apply(given.value, out)) {
      *error = "bad value for --" + given.name + ": " + given.value;
      return false;
    }
  }
  if (out->tsa.cert_path.empty() != out->tsa.key_path.empty()) {
    *error = "--tsa-cert and --tsa-key go together";
    return false;
  }
  return true;
}

bool WantsHelp(std::span<const char* const> args) {
  return Mentions(args, "--help", "-h");
}

bool WantsVersion(std::span<const char* const> args) {
  return Mentions(args, "--version", "-V");
}

std::string HelpText() {
  std::string text =
      "usage: devserver [OPTION VALUE]...   (--opt VALUE or --opt=VALUE)\n"
      "Serves a local RFC 3161 time-stamp authority (POST /tsa) and, with --root,\n"
      "a rules service (POST /rules) on loopback until SIGINT or SIGTERM.\n"
      "The port is printed on the first line of stdout. GET /tsa/requests answers\n"
      "how many time-stamp requests arrived so far.\n\n";
  for (const Option& option : kOptions) {
    std::string head = "  " + std::string(option.name) + " " + std::string(option.value);
    head.resize(std::max<size_t>(head.size() + 2, 26), ' ');
    text += head + std::string(option.help) + "\n";
  }
  text += "  --help, -h              print this text and exit\n";
  text += "  --version, -V           print the version and exit\n";
  return text;
}

}  // namespace brevalt::devserver
