#include "xml/xml_text.h"

#include <gtest/gtest.h>

#include <string>

#include "fuzz/tinyxml_depth.h"

namespace brevalt {
namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i)
    text += piece;
  return text;
}

// Each text against the count and against TinyXML itself, which reaches
// exactly that depth when it parses the text without error, and never more.
// The deep texts stay shallow enough for TinyXML's stack.
TEST(XmlNestingDepth, FollowsTinyXmlsReading) {
  const std::string utf8 = "<?xml version=\"1.0\"?>";
  const std::string gbk = "<?xml version=\"1.0\" encoding=\"GBK\"?>";
  const struct {
    std::string text;
    std::size_t depth;
  } rows[] = {
      {"", 0},
      {"<a/>", 1},
      {gbk + "<a><b></b ><c x='1'/></a><d/>", 2},
      {"<a x='>' y=\"/>\" z=\"it's\"><b/></a>", 2},                    // quoted '>' and '/'
      {"<a><!-- <b><c><d> --><![CDATA[<b><c>]]><?pi <b/> ?></a>", 1},  // no elements inside
      {"<!DOCTYPE a><!-- <x> --><a><b>&lt;c&gt;&#x3C;d&#62;&amp;</b></a>", 2},
      {"\xEF\xBB\xBF<a>\xE4\xB8\xAD<b/></a>", 2},  // UTF-8 after a byte-order mark
      {gbk + Repeat("<a>\xE4</a>", 300), 1},       // GBK bytes one by one
      {utf8 + Repeat("<a>\xE4</a>", 300), 257},    // the lead byte eats "</"
      {"<a x=\"&#x\"<b>x;\"><c/></a>", 2},         // an entity reaches past quote and tag
      {Repeat("<a>", 256) + Repeat("</a>", 256), 256},
      {Repeat("<a>", 257), 257},
      {"<r><x =/>" + Repeat("<c>", 300), 257},     // after an error every '<' counts
      {"<r></r>text" + Repeat("<c/>", 300), 257},  // as after the end of the document
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 60));
    EXPECT_EQ(XmlNestingDepth(row.text), row.depth);
    const std::size_t tinyxml = fuzz::TinyXmlDepth(row.text + std::string(kXmlParsePadding, '\0'));
    EXPECT_LE(tinyxml, XmlNestingDepth(row.text, 1000));
    EXPECT_EQ(PaddedForXmlParse(row.text).has_value(), row.depth <= kMaxXmlDepth);
  }
  EXPECT_EQ(XmlNestingDepth(Repeat("<a>", 100000)), kMaxXmlDepth + 1);
}

}  // namespace
}  // namespace brevalt
