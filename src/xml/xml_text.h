// Text handed to TinyXML 2.6, which parses a NUL-terminated buffer.
#ifndef BREVALT_XML_XML_TEXT_H
#define BREVALT_XML_XML_TEXT_H

#include <cstddef>
#include <optional>
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

// TinyXML parses every element by a recursive call, without a limit: a
// document nested 100,000 elements deep overflows the stack. No parse of
// outside text goes deeper than this (the root element is at depth 1; a bid
// environment document is 7 deep).
inline constexpr std::size_t kMaxXmlDepth = 256;

// How deep TinyXML 2.6, parsing text with TIXML_ENCODING_UNKNOWN from a
// PaddedForXmlParse copy, would nest its calls for elements: never less than
// the depth it reaches, and exactly the element depth of a document it
// parses without error. One pass over the text, no recursion, no allocation.
// It follows TinyXML's own reading of the text, not the XML standard's:
// comments, CDATA sections, "<!" and "<?" markup, quoted attribute values,
// character references and, once TinyXML reads UTF-8, its steps over whole
// multi-byte sequences. Where TinyXML would stop with an error, every "<"
// that could still start an element counts as one level more. Counting stops
// above `limit`, so the answer is at most limit + 1.
std::size_t XmlNestingDepth(std::string_view text, std::size_t limit = kMaxXmlDepth);

// text followed by kXmlParsePadding NUL bytes, for TinyXML's Parse with
// TIXML_ENCODING_UNKNOWN; nullopt, before any copy, when XmlNestingDepth
// finds text nested deeper than kMaxXmlDepth. Every parse of outside text
// goes through here, and treats nullopt as text that is not XML.
std::optional<std::string> PaddedForXmlParse(std::string_view text);

}  // namespace brevalt

#endif  // BREVALT_XML_XML_TEXT_H
