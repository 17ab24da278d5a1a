#include "platform/plain_text.h"

#include <algorithm>

#include "platform/code_page.h"

namespace brevalt {
namespace {

// Every such character lies in the Basic Multilingual Plane outside the
// surrogates, so UTF-16 text can be judged one code unit at a time.
bool IsHiddenChar(char16_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F))  // C0, DEL, C1 (NEL among them)
    return true;
  switch (c) {
    case 0x061C:  // Arabic letter mark
    case 0x200E:  // left-to-right mark
    case 0x200F:  // right-to-left mark
    case 0x2028:  // line separator
    case 0x2029:  // paragraph separator
      return true;
    default:
      // Embeddings and overrides (U+202A to U+202E), isolates (U+2066 to U+2069).
      return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
  }
}

}  // namespace

std::u16string PlainText(std::u16string_view text) {
  std::u16string plain(text);
  for (char16_t& c : plain) {
    if (IsHiddenChar(c))
      c = kHiddenCharStandIn;
  }
  return plain;
}

std::string PlainTextUtf8(std::string_view text) {
  // The decoder stops at a NUL, so the text goes through it piece by piece.
  constexpr std::string_view kStandIn = "\xEF\xBF\xBD";  // U+FFFD
  std::string plain;
  for (std::size_t start = 0;;) {
    const std::size_t nul = std::min(text.find('\0', start), text.size());
    const std::u16string piece = DecodeCodePage(text.substr(start, nul - start), CodePage::kUtf8);
    plain += EncodeCodePage(PlainText(piece), CodePage::kUtf8);
    if (nul == text.size())
      return plain;
    plain += kStandIn;
    start = nul + 1;
  }
}

}  // namespace brevalt
