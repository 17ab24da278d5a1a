#include <getopt.h>

#include "platform/command_line.h"

namespace brevalt {
namespace {

// getopt_long reports a long option by this value plus its index, so that
// it never collides with a one-letter option.
constexpr int kLongBase = 256;

std::string LongWord(std::span<const OptionSpec> specs, int value) {
  return std::string("--") + specs[static_cast<std::size_t>(value - kLongBase)].name;
}

std::string ShortWord(int letter) {
  return std::string("-") + static_cast<char>(letter);
}

// The spec a one-letter option stands for; nullptr when none.
const OptionSpec* FindShort(std::span<const OptionSpec> specs, int letter) {
  for (const OptionSpec& spec : specs) {
    if (spec.short_name != 0 && spec.short_name == letter)
      return &spec;
  }
  return nullptr;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, std::span<const OptionSpec> specs,
                      CommandLine* out, CommandLineProblem* problem) {
  // "-": operands come back in place, as value 1, whatever POSIXLY_CORRECT
  // says; ":": a missing value is reported as ':' rather than '?'.
  std::string letters = "-:";
  std::vector<option> longs;
  for (std::size_t i = 0; i < specs.size(); ++i) {
    const int has_arg = specs[i].takes_value ? required_argument : no_argument;
    longs.push_back({specs[i].name, has_arg, nullptr, kLongBase + static_cast<int>(i)});
    if (specs[i].short_name != 0) {
      letters += specs[i].short_name;
      if (specs[i].takes_value)
        letters += ':';
    }
  }
  longs.push_back({nullptr, 0, nullptr, 0});

  // getopt_long wants a writable argv with a program name and a null end.
  std::vector<std::string> words;
  words.reserve(args.size() + 1);
  words.emplace_back("brevalt");
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(words.size());

  CommandLine parsed;
  optind = 0;  // glibc: start afresh, also after an earlier parse
  opterr = 0;
  for (;;) {
    optopt = 0;
    const int got = getopt_long(argc, argv.data(), letters.c_str(), longs.data(), nullptr);
    if (got == -1)
      break;
    if (got == 1) {
      parsed.operands.emplace_back(optarg);
    } else if (got >= kLongBase) {
      const OptionSpec& spec = specs[static_cast<std::size_t>(got - kLongBase)];
      parsed.options.push_back({spec.name, optarg != nullptr ? optarg : ""});
    } else if (got == ':') {
      *problem = {CommandLineError::kMissingValue,
                  optopt >= kLongBase ? LongWord(specs, optopt) : ShortWord(optopt)};
      return false;
    } else if (got == '?') {
      if (optopt >= kLongBase) {
        *problem = {CommandLineError::kUnexpectedValue, LongWord(specs, optopt)};
      } else if (optopt != 0) {
        *problem = {CommandLineError::kUnknownOption, ShortWord(optopt)};
      } else {
        // An unknown or ambiguous long word; getopt_long has stepped past it.
        const std::string word = words[static_cast<std::size_t>(optind - 1)];
        *problem = {CommandLineError::kUnknownOption, word.substr(0, word.find('='))};
      }
      return false;
    } else if (const OptionSpec* spec = FindShort(specs, got)) {
      parsed.options.push_back({spec->name, optarg != nullptr ? optarg : ""});
    }
  }
  for (int i = optind; i < argc; ++i)
    parsed.operands.push_back(words[static_cast<std::size_t>(i)]);
  *out = std::move(parsed);
  return true;
}

}  // namespace brevalt
