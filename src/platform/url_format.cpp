// The format-only URL test: a scheme and a colon, nothing more is examined.
#include "platform/url_format.h"

namespace brevalt {
namespace {

bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsAsciiDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsSchemeChar(char16_t c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == u'+' || c == u'-' || c == u'.';
}

}  // namespace

bool IsUrlFormat(const std::u16string& text) {
  const std::size_t colon = text.find(u':');
  if (colon == std::u16string::npos || colon < 2)
    return false;
  if (!IsAsciiLetter(text[0]))
    return false;
  for (std::size_t i = 1; i < colon; ++i) {
    if (!IsSchemeChar(text[i]))
      return false;
  }
  return true;
}

}  // namespace brevalt
