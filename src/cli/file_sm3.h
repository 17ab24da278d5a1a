// The SM3 of a verified bid file, for users who cross-check with SM3 tools.
#ifndef BREVALT_CLI_FILE_SM3_H
#define BREVALT_CLI_FILE_SM3_H

#include <optional>
#include <string>

namespace brevalt::cli {

// The upper-case hexadecimal SM3 of the file at `path` (UTF-8), read in one
// pass with its SHA-256. Given only when that SHA-256 is `verification_code`,
// the code the check showed: an SM3 of other bytes (the file changed after
// the check, or the check gave no code) is never reported beside it.
std::optional<std::string> FileSm3Of(const std::string& path,
                                     const std::u16string& verification_code);

}  // namespace brevalt::cli

#endif  // BREVALT_CLI_FILE_SM3_H
