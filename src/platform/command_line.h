// The one command-line parser of brevalt-cli, bidx and devserver, with the
// conventions people expect: "--name value" and "--name=value", a unique
// prefix of a long name, "-x value" and "-xvalue", combined short options
// ("-js"), options before, between and after operands, and "--", after which
// every word is an operand. Each program words its own errors from what
// ParseCommandLine reports.
#ifndef BREVALT_PLATFORM_COMMAND_LINE_H
#define BREVALT_PLATFORM_COMMAND_LINE_H

#include <span>
#include <string>
#include <vector>

namespace brevalt {

struct OptionSpec {
  const char* name;  // the long name without "--"
  char short_name;   // its one-letter form, or 0 for none
  bool takes_value;
};

struct GivenOption {
  std::string name;   // the long name of the spec it matched, without "--"
  std::string value;  // empty for an option without a value
};

struct CommandLine {
  std::vector<GivenOption> options;   // in the order given, repeats included
  std::vector<std::string> operands;  // in the order given
};

enum class CommandLineError {
  kNone,
  kUnknownOption,    // a word that no spec names, or a prefix of several long names
  kMissingValue,     // an option that takes a value came last
  kUnexpectedValue,  // "--name=value" for an option without a value
};

struct CommandLineProblem {
  CommandLineError error = CommandLineError::kNone;
  // The option as the user wrote it, without "=value": "--bogus", "-x";
  // for kMissingValue and kUnexpectedValue the option's full name ("--port").
  std::string word;
};

// Parses args (the program name excluded) against specs. True with *out
// filled; false with *problem set at the first word that does not fit. Uses
// the C library's getopt_long, whose state is global: call it from one
// thread at a time.
bool ParseCommandLine(const std::vector<std::string>& args, std::span<const OptionSpec> specs,
                      CommandLine* out, CommandLineProblem* problem);

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_COMMAND_LINE_H
