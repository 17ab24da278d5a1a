// Base64 (RFC 4648, standard alphabet, with padding) as the libraries'
// encode form 2 writes it.
#ifndef BREVALT_PLATFORM_BASE64_H
#define BREVALT_PLATFORM_BASE64_H

#include <optional>
#include <string_view>
#include <vector>

namespace brevalt {

// The bytes of strict base64 text: a non-empty multiple of four characters
// of the standard alphabet, with at most two "=" and only at the end. Nothing
// for any other text (blanks and line breaks included: callers that accept
// them remove them first).
std::optional<std::vector<unsigned char>> DecodeBase64(std::string_view text);

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_BASE64_H
