// brevalt-cli: verifies bid files one after the other through the same
// engine as the dialog, behind an in-memory dialog. main() only forwards.
#ifndef BREVALT_CLI_CLI_RUN_H
#define BREVALT_CLI_CLI_RUN_H

#include <ostream>
#include <string>
#include <vector>

namespace brevalt::cli {

// Runs `brevalt-cli <args...>` (args excludes the program name): reports go
// to out, progress and usage errors to err. Returns the exit status of
// cli_options.h.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace brevalt::cli

#endif  // BREVALT_CLI_CLI_RUN_H
