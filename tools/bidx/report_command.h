// `bidx inspect`: shows what a sealed bid holds and whether it verifies.
#ifndef BREVALT_TOOLS_BIDX_REPORT_COMMAND_H
#define BREVALT_TOOLS_BIDX_REPORT_COMMAND_H

#include <ostream>
#include <string>

namespace brevalt::bidx {

// Prints the format version, the counts, the custom data (size, RULF rules
// file and its length), the signer's subject and validity and the verdict
// to `out`. With a non-empty `extract_dir` (created when missing) also
// writes signed.bin (the signed bytes), sig.der (the CMS signature) and
// signer.pem there, for `openssl cms -verify`. Reads the bid with constant
// memory. Returns 0 when the container verifies, 1 otherwise (including
// when extraction fails).
int RunInspect(const std::string& path, const std::string& extract_dir, std::ostream& out,
               std::ostream& err);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_REPORT_COMMAND_H
