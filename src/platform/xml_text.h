// Text handed to TinyXML 2.6, which parses a NUL-terminated buffer.
#ifndef BREVALT_PLATFORM_XML_TEXT_H
#define BREVALT_PLATFORM_XML_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace brevalt {

// When TinyXML reads UTF-8 (after a byte-order mark or a declaration naming
// UTF-8 or no encoding) it steps over a lead byte's whole sequence without
// looking for the terminator, and adds an end tag's length after a text
// without checking where it stands. A text ending in such a lead byte would
// make it parse on into whatever follows in memory. Every parse of outside
// text therefore gets a copy followed by more NUL bytes than the longest such
// step (a four-byte sequence, then the three bytes of "]]>" or "-->").
inline constexpr std::size_t kXmlParsePadding = 16;

// text followed by kXmlParsePadding NUL bytes; parse its c_str().
inline std::string PaddedForXmlParse(std::string_view text) {
  std::string padded;
  padded.reserve(text.size() + kXmlParsePadding);
  padded.append(text).append(kXmlParsePadding, '\0');
  return padded;
}

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_XML_TEXT_H
