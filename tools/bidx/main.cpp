// bidx: seals bid files and inspects sealed ones (see docs/container.md).
#include <iostream>
#include <string>
#include <vector>

#include "tools/bidx/bidx_cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return brevalt::bidx::RunBidx(args, std::cout, std::cerr);
}
