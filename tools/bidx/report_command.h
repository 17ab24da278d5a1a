// `bidx inspect`: shows what a sealed bid holds and whether it verifies.
#ifndef BREVALT_TOOLS_BIDX_REPORT_COMMAND_H
#define BREVALT_TOOLS_BIDX_REPORT_COMMAND_H

#include <ostream>
#include <string>

namespace brevalt::bidx {

// Prints the verification code (upper-case SHA-256 of the whole file), the
// format version, the counts, the custom data (size, RULF rules file and its
// length), the payload size, the signer's subject and validity, the
// signature verdict, the signer's chain state (bidder_trust.h) and the
// files of the bidder trust folder, read or refused, to `out`;
// every field the signature does not confirm is marked "(unverified)". With
// a non-empty `extract_dir` also writes the parts there (extract_files.h).
// Reads the bid with constant memory. Returns 0 when the library's Verify
// would accept the bid, 1 otherwise (including when extraction fails or the
// file cannot be read, with the file and the cause on `err`).
int RunInspect(const std::string& path, const std::string& extract_dir, std::ostream& out,
               std::ostream& err);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_REPORT_COMMAND_H
