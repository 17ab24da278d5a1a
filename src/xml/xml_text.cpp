// XmlNestingDepth: TinyXML 2.6.2's reading of a text (tinyxmlparser.cpp:
// TiXmlDocument::Parse, Identify, the Parse of every node type, ReadValue,
// ReadText, GetChar, GetEntity, SkipWhiteSpace), with a loop and a counter
// where TinyXML recurses. Each step below names the TinyXML code it follows;
// tests/platform/xml_text_test.cpp pins the tricky cases against TinyXML itself.
#include "xml/xml_text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace brevalt {
namespace {

constexpr std::size_t kFail = std::string_view::npos;

// TinyXML's IsWhiteSpace (isspace, which gives no byte above 0x7F in the C
// locale nor in any UTF-8 or multi-byte locale).
bool IsBlank(unsigned char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

// TinyXML's IsAlpha: ASCII letters and every byte from 127 up.
bool IsAlpha(unsigned char c) {
  return c >= 127 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// ReadName: a name starts with IsAlpha or '_', goes on with IsAlphaNum or "_-.:".
bool StartsName(unsigned char c) {
  return IsAlpha(c) || c == '_';
}

bool InName(unsigned char c) {
  return StartsName(c) || IsDigit(c) || c == '-' || c == '.' || c == ':';
}

unsigned char AsciiLower(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// TinyXML's utf8ByteTable: how far GetChar steps from a byte when reading UTF-8.
std::size_t Utf8Step(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF)
    return 2;
  if (lead >= 0xE0 && lead <= 0xEF)
    return 3;
  return lead >= 0xF0 && lead <= 0xF4 ? 4 : 1;
}

// The first bytes of a decoded attribute value: enough to tell the encoding a
// declaration names.
struct ValuePrefix {
  std::array<char, 8> bytes{};
  std::size_t size = 0;
  void Add(char c) {
    if (size < bytes.size())
      bytes[size++] = c;
  }
  bool StartsWith(std::string_view name) const {  // ignoring ASCII case
    if (size < name.size())
      return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
      if (AsciiLower(static_cast<unsigned char>(bytes[i])) !=
          AsciiLower(static_cast<unsigned char>(name[i])))
        return false;
    }
    return true;
  }
};

class DepthScan {
 public:
  DepthScan(std::string_view text, std::size_t limit) : text_(text), limit_(limit) {}
  std::size_t Run();

 private:
  // The byte at i; the NUL padding past the end, as TinyXML sees it.
  unsigned char At(std::size_t i) const {
    return i < text_.size() ? static_cast<unsigned char>(text_[i]) : 0;
  }
  // StringEqual: marker stands at i (never across a NUL).
  bool Matches(std::size_t i, std::string_view marker, bool ignore_case = false) const;
  std::size_t SkipBlanks(std::size_t i) const;
  std::size_t AfterChar(std::size_t i, ValuePrefix* decoded) const;
  std::size_t AfterEntity(std::size_t i, ValuePrefix* decoded) const;
  std::size_t AfterAttribute(std::size_t i, ValuePrefix* value) const;
  std::size_t AfterDeclaration(std::size_t i, bool top_level);
  std::size_t AfterStartTag(std::size_t i, bool* has_content) const;
  std::size_t AfterEndTag(std::size_t i) const;
  std::size_t AfterText(std::size_t i) const;
  std::size_t Through(std::size_t from, std::string_view marker) const;
  std::size_t PossibleElements(std::size_t from, std::size_t enough) const;

  std::string_view text_;
  std::size_t limit_;
  bool encoding_known_ = false;  // TinyXML's encoding is no longer TIXML_ENCODING_UNKNOWN
  bool utf8_ = false;            // and it is TIXML_ENCODING_UTF8
};

bool DepthScan::Matches(std::size_t i, std::string_view marker, bool ignore_case) const {
  for (std::size_t k = 0; k < marker.size(); ++k) {
    const unsigned char c = At(i + k);
    const auto m = static_cast<unsigned char>(marker[k]);
    if (c == 0 || (ignore_case ? AsciiLower(c) != AsciiLower(m) : c != m))
      return false;
  }
  return true;
}

// SkipWhiteSpace; reading UTF-8 it also skips the byte-order mark and the
// non-characters EF BF BE and EF BF BF.
std::size_t DepthScan::SkipBlanks(std::size_t i) const {
  for (;;) {
    if (utf8_ && At(i) == 0xEF &&
        ((At(i + 1) == 0xBB && At(i + 2) == 0xBF) ||
         (At(i + 1) == 0xBF && (At(i + 2) == 0xBE || At(i + 2) == 0xBF)))) {
      i += 3;
    } else if (IsBlank(At(i))) {
      ++i;
    } else {
      return i;
    }
  }
}

// GetChar: one character of a text or attribute value. Reading UTF-8 a lead
// byte takes its whole sequence, whatever follows it ('<', a quote, a NUL).
std::size_t DepthScan::AfterChar(std::size_t i, ValuePrefix* decoded) const {
  const unsigned char c = At(i);
  if (utf8_ && Utf8Step(c) > 1)
    return i + Utf8Step(c);  // never asked to decode: the encoding is known by then
  if (c == '&')
    return AfterEntity(i, decoded);
  if (decoded != nullptr)
    decoded->Add(static_cast<char>(c));
  return i + 1;
}

// GetEntity: "&#x…;" and "&#…;" run to the first ';' (kFail without one) and
// are checked backwards from it down to the last 'x' or '#' only; then the
// five named entities; any other '&' is itself.
std::size_t DepthScan::AfterEntity(std::size_t i, ValuePrefix* decoded) const {
  if (At(i + 1) == '#' && At(i + 2) != 0) {
    const bool hex = At(i + 2) == 'x';
    if (hex && At(i + 3) == 0)
      return kFail;
    std::size_t semicolon = i + (hex ? 3 : 2);
    for (; At(semicolon) != ';'; ++semicolon) {
      if (At(semicolon) == 0)
        return kFail;
    }
    unsigned long ucs = 0;  // TinyXML's arithmetic, of which the low byte is kept
    unsigned mult = 1;
    for (std::size_t q = semicolon - 1; At(q) != (hex ? 'x' : '#'); --q) {
      const unsigned char d = At(q);
      const unsigned char lower = AsciiLower(d);
      if (!IsDigit(d) && !(hex && lower >= 'a' && lower <= 'f'))
        return kFail;
      ucs += mult * static_cast<unsigned>(IsDigit(d) ? d - '0' : lower - 'a' + 10);
      mult *= hex ? 16 : 10;
    }
    if (decoded != nullptr)
      decoded->Add(static_cast<char>(ucs));
    return semicolon + 1;
  }
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  for (const auto& [name, value] : kEntities) {
    if (Matches(i, name)) {
      if (decoded != nullptr)
        decoded->Add(value);
      return i + name.size();
    }
  }
  if (decoded != nullptr)
    decoded->Add('&');
  return i + 1;
}

// TiXmlAttribute::Parse: name, '=', then a value in quotes (read with
// GetChar) or up to a blank, '/' or '>' (a quote there is an error).
std::size_t DepthScan::AfterAttribute(std::size_t i, ValuePrefix* value) const {
  i = SkipBlanks(i);
  if (!StartsName(At(i)))
    return kFail;
  while (InName(At(i)))
    ++i;
  i = SkipBlanks(i);
  if (At(i) != '=')
    return kFail;
  i = SkipBlanks(i + 1);
  const unsigned char quote = At(i);
  if (quote == '\'' || quote == '"') {
    for (++i; At(i) != quote; i = AfterChar(i, value)) {
      if (At(i) == 0)
        return kFail;
    }
    return i + 1;
  }
  for (; At(i) != 0 && !IsBlank(At(i)) && At(i) != '/' && At(i) != '>'; ++i) {
    if (At(i) == '\'' || At(i) == '"')
      return kFail;
    if (value != nullptr)
      value->Add(static_cast<char>(At(i)));
  }
  return At(i) == 0 ? kFail : i;
}

// TiXmlDeclaration::Parse, from "<?xml" (any case) to the first '>' outside
// the quoted values of version, encoding and standalone. The first one at the
// top level while the encoding is unknown sets it, as TiXmlDocument::Parse does.
std::size_t DepthScan::AfterDeclaration(std::size_t i, bool top_level) {
  ValuePrefix encoding;
  i += 5;
  while (At(i) != 0) {
    if (At(i) == '>') {
      if (top_level && !encoding_known_) {
        encoding_known_ = true;
        utf8_ = encoding.size == 0 || encoding.bytes[0] == '\0' || encoding.StartsWith("UTF-8") ||
                encoding.StartsWith("UTF8");
      }
      return i + 1;
    }
    i = SkipBlanks(i);
    if (Matches(i, "version", true) || Matches(i, "standalone", true)) {
      i = AfterAttribute(i, nullptr);
    } else if (Matches(i, "encoding", true)) {
      encoding = {};
      i = AfterAttribute(i, &encoding);
    } else {
      while (At(i) != 0 && At(i) != '>' && !IsBlank(At(i)))
        ++i;
    }
    if (i == kFail)
      return kFail;
  }
  return kFail;
}

// TiXmlElement::Parse up to its content: "<", the name, attributes, then
// "/>" (no content) or ">".
std::size_t DepthScan::AfterStartTag(std::size_t i, bool* has_content) const {
  i = SkipBlanks(i + 1);
  if (!StartsName(At(i)))
    return kFail;
  while (InName(At(i)))
    ++i;
  for (;;) {
    i = SkipBlanks(i);
    if (At(i) == 0)
      return kFail;
    if (At(i) == '/' || At(i) == '>') {
      *has_content = At(i) == '>';
      if (!*has_content && At(i + 1) != '>')
        return kFail;
      return i + (*has_content ? 1 : 2);
    }
    i = AfterAttribute(i, nullptr);
    if (i == kFail)
      return kFail;
  }
}

// The end tag that closes an element: "</", a name, blanks, ">". TinyXML also
// wants the element's own name; a wrong one stops it, so not checking it here
// can only count more.
std::size_t DepthScan::AfterEndTag(std::size_t i) const {
  i += 2;
  while (InName(At(i)))
    ++i;
  i = SkipBlanks(i);
  return At(i) == '>' ? i + 1 : kFail;
}

// TiXmlText::Parse outside CDATA: up to the next '<', character by character.
std::size_t DepthScan::AfterText(std::size_t i) const {
  for (i = SkipBlanks(i); At(i) != '<'; i = IsBlank(At(i)) ? i + 1 : AfterChar(i, nullptr)) {
    if (At(i) == 0)
      return kFail;
  }
  return i;
}

// Byte by byte to just after marker (comments, CDATA, "<!…>", "<?…>"), or to
// the NUL that ends the search.
std::size_t DepthScan::Through(std::size_t from, std::string_view marker) const {
  for (; At(from) != 0; ++from) {
    if (Matches(from, marker))
      return from + marker.size();
  }
  return from;
}

// Every '<' from `from` on that Identify would take for an element, counted
// up to `enough`.
std::size_t DepthScan::PossibleElements(std::size_t from, std::size_t enough) const {
  std::size_t count = 0;
  for (std::size_t i = from; i < text_.size() && count < enough; ++i) {
    if (text_[i] == '<' && StartsName(At(i + 1)))
      ++count;
  }
  return count;
}

std::size_t DepthScan::Run() {
  utf8_ = encoding_known_ = Matches(0, "\xEF\xBB\xBF");
  std::size_t open = 0;     // elements whose content is being read
  std::size_t deepest = 0;  // depth of the deepest element begun
  for (std::size_t i = SkipBlanks(0);; i = SkipBlanks(i)) {
    const std::size_t start = i;
    if (At(i) == 0) {
      i = kFail;  // the end, or a NUL TinyXML stops at
    } else if (At(i) != '<') {
      i = open == 0 ? kFail : AfterText(i);  // text at the top level ends the document
    } else if (open > 0 && At(i + 1) == '/') {
      i = AfterEndTag(i);
      open -= i != kFail ? 1 : 0;
    } else if (Matches(i, "<?xml", true)) {
      i = AfterDeclaration(i, open == 0);
    } else if (Matches(i, "<!--")) {
      i = Through(i + 4, "-->");
    } else if (Matches(i, "<![CDATA[")) {
      i = Through(i + 9, "]]>");
    } else if (At(i + 1) == '!' || !StartsName(At(i + 1))) {
      i = Through(i + 1, ">");  // TiXmlUnknown
    } else {
      deepest = std::max(deepest, open + 1);
      if (deepest > limit_)
        return deepest;
      bool has_content = false;
      i = AfterStartTag(i, &has_content);
      open += i != kFail && has_content ? 1 : 0;
    }
    if (i == kFail) {
      // TinyXML stops here. Should it read on where this reading does not,
      // no '<' that could start an element is left uncounted.
      const std::size_t room = limit_ + 1 - std::min(open, limit_ + 1);
      return std::max(deepest, open + PossibleElements(start, room));
    }
  }
}

}  // namespace

std::size_t XmlNestingDepth(std::string_view text, std::size_t limit) {
  return DepthScan(text, limit).Run();
}

std::optional<std::string> PaddedForXmlParse(std::string_view text) {
  if (XmlNestingDepth(text) > kMaxXmlDepth)
    return std::nullopt;
  std::string padded;
  padded.reserve(text.size() + kXmlParsePadding);
  padded.append(text).append(kXmlParsePadding, '\0');
  return padded;
}

}  // namespace brevalt
