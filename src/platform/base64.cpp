#include "platform/base64.h"

namespace brevalt {
namespace {

// The six bits of one character of the alphabet; -1 for any other.
int SextetOf(char c) {
  if (c >= 'A' && c <= 'Z')
    return c - 'A';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 26;
  if (c >= '0' && c <= '9')
    return c - '0' + 52;
  if (c == '+')
    return 62;
  if (c == '/')
    return 63;
  return -1;
}

}  // namespace

std::optional<std::vector<unsigned char>> DecodeBase64(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0)
    return std::nullopt;
  std::size_t padding = 0;
  while (padding < 2 && text[text.size() - 1 - padding] == '=')
    ++padding;
  std::vector<unsigned char> bytes;
  bytes.reserve(text.size() / 4 * 3);
  unsigned long group = 0;
  const std::size_t data = text.size() - padding;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int sextet = i < data ? SextetOf(text[i]) : 0;
    if (sextet < 0)
      return std::nullopt;  // a character outside the alphabet, or "=" before the end
    group = (group << 6) | static_cast<unsigned long>(sextet);
    if (i % 4 == 3) {
      bytes.push_back(static_cast<unsigned char>(group >> 16));
      bytes.push_back(static_cast<unsigned char>(group >> 8));
      bytes.push_back(static_cast<unsigned char>(group));
      group = 0;
    }
  }
  bytes.resize(bytes.size() - padding);
  return bytes;
}

}  // namespace brevalt
