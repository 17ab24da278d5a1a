#include "cli/file_sm3.h"

#include "config/text_convert.h"
#include "tavik/secretfile/file_digests.h"

namespace brevalt::cli {

std::optional<std::string> FileSm3Of(const std::string& path,
                                     const std::u16string& verification_code) {
  container::FileDigests digests;
  if (verification_code.empty() || !container::DigestFile(path, &digests) ||
      Utf8ToWide(container::UpperHex(digests.sha256)) != verification_code) {
    return std::nullopt;
  }
  return container::UpperHex(digests.sm3);
}

}  // namespace brevalt::cli
