// brevalt-cli: verifies sealed bid files without a display (see
// docs/verification.md and `brevalt-cli --help`).
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "platform/version.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "brevalt-cli " << brevalt::BrevaltVersion() << '\n';
    return 0;
  }
  return brevalt::cli::RunCli(args, std::cout, std::cerr);
}
