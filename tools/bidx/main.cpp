// bidx: seals bid files and inspects sealed ones (see docs/container.md).
#include <iostream>
#include <string>
#include <vector>

#include "platform/version.h"
#include "tools/bidx/bidx_cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "bidx " << brevalt::kVersion << '\n';
    return 0;
  }
  return brevalt::bidx::RunBidx(args, std::cout, std::cerr);
}
