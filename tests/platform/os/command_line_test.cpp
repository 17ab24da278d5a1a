// The one command-line parser: every form people write, and what each
// refusal names.
#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace brevalt {
namespace {

constexpr OptionSpec kSpecs[] = {{"json", 'j', false},
                                 {"summary", 's', false},
                                 {"out", 'o', true},
                                 {"no-log", 0, false},
                                 {"no-rules", 0, false}};

// The options as "name=value" words, then "|", then the operands; or the
// problem as "error word".
std::string Parsed(const std::vector<std::string>& args) {
  CommandLine line;
  CommandLineProblem problem;
  if (!ParseCommandLine(args, kSpecs, &line, &problem))
    return "error " + std::to_string(static_cast<int>(problem.error)) + " " + problem.word;
  std::string text;
  for (const GivenOption& given : line.options)
    text += given.name + "=" + given.value + " ";
  text += "|";
  for (const std::string& operand : line.operands)
    text += " " + operand;
  return text;
}

TEST(ParseCommandLine, ReadsEveryConventionalForm) {
  const struct {
    std::vector<std::string> args;
    std::string parsed;
  } rows[] = {
      {{"--out", "x", "a"}, "out=x | a"},
      {{"--out=x", "a"}, "out=x | a"},
      {{"--out="}, "out= |"},
      {{"-o", "x"}, "out=x |"},
      {{"-ox"}, "out=x |"},
      {{"-js", "a"}, "json= summary= | a"},
      {{"-jox", "a"}, "json= out=x | a"},
      {{"a", "--json", "b", "--no-log"}, "json= no-log= | a b"},
      {{"--json", "--", "--out", "-j", "-"}, "json= | --out -j -"},
      {{"", "-"}, "|  -"},
      {{"--out", "-1"}, "out=-1 |"},
      {{"--out", "x", "--out", "y"}, "out=x out=y |"},
      {{"--jso"}, "json= |"},  // a unique prefix
      {{"--bogus", "a"}, "error 1 --bogus"},
      {{"--bogus=1"}, "error 1 --bogus"},
      {{"-jq"}, "error 1 -q"},
      {{"--no"}, "error 1 --no"},  // the prefix of two names
      {{"a", "--out"}, "error 2 --out"},
      {{"-o"}, "error 2 -o"},
      {{"--json=1"}, "error 3 --json"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    EXPECT_EQ(Parsed(row.args), row.parsed);
  }
}

}  // namespace
}  // namespace brevalt
