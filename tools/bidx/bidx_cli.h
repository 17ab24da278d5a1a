// Command-line front end of bidx; main() only forwards to RunBidx.
#ifndef BREVALT_TOOLS_BIDX_BIDX_CLI_H
#define BREVALT_TOOLS_BIDX_BIDX_CLI_H

#include <ostream>
#include <string>
#include <vector>

namespace brevalt::bidx {

// Runs `bidx <args...>` (args excludes the program name). Returns the exit
// status: 0 success / verified, 1 failure / not verified, 2 usage error.
int RunBidx(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_BIDX_CLI_H
