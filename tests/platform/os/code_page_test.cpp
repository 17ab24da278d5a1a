#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace brevalt {
namespace {

using std::string_literals::operator""s;

constexpr char16_t kReplacement = 0xFFFD;

// Known encodings; the GBK bytes come from the Windows code page 936 table.
struct KnownText {
  const char* name;
  std::u16string text;
  std::string gbk;
  std::string utf8;
};

const KnownText kKnownTexts[] = {
    {"ascii", u"http://tsa.example:8080/tsp", "http://tsa.example:8080/tsp",
     "http://tsa.example:8080/tsp"},
    {"chinese", u"中文标书", "\xD6\xD0\xCE\xC4\xB1\xEA\xCA\xE9", "中文标书"},
    {"euro is 0x80 in code page 936", u"€", "\x80", "\xE2\x82\xAC"},
    {"marks", u"√×", "\xA1\xCC\xA1\xC1", "\xE2\x88\x9A\xC3\x97"},
    {"mixed", u"a中b",
     "a\xD6\xD0"
     "b",
     "a\xE4\xB8\xAD"
     "b"},
};

TEST(CodePage, KnownTextsEncodeAndDecodeBothWays) {
  for (const KnownText& row : kKnownTexts) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(EncodeCodePage(row.text, CodePage::kAnsi), row.gbk);
    EXPECT_EQ(DecodeCodePage(row.gbk, CodePage::kAnsi), row.text);
    EXPECT_EQ(EncodeCodePage(row.text, CodePage::kUtf8), row.utf8);
    EXPECT_EQ(DecodeCodePage(row.utf8, CodePage::kUtf8), row.text);
  }
}

// U+1F600 is outside code page 936: one "?" for the whole surrogate pair, and
// the text around it survives. UTF-8 carries it as four bytes.
TEST(CodePage, CharacterOutsideGbkBecomesOneQuestionMark) {
  const std::u16string text = u"a\U0001F600b中";
  EXPECT_EQ(EncodeCodePage(text, CodePage::kAnsi), "a?b\xD6\xD0");
  EXPECT_EQ(EncodeCodePage(text, CodePage::kUtf8),
            "a\xF0\x9F\x98\x80"
            "b中");
  EXPECT_EQ(DecodeCodePage("\xF0\x9F\x98\x80", CodePage::kUtf8), u"\U0001F600");
}

TEST(CodePage, LoneSurrogatesBecomeQuestionMarks) {
  const struct {
    const char* name;
    std::u16string text;
    std::string utf8;
    std::string gbk;
  } rows[] = {
      {"lone high", u"a"s + char16_t(0xD800) + u"b", "a?b", "a?b"},
      {"lone low", u"a"s + char16_t(0xDC00) + u"b", "a?b", "a?b"},
      {"high at end", u"ab"s + char16_t(0xDBFF), "ab?", "ab?"},
      {"high then pair", std::u16string{0xD800, 0xD83D, 0xDE00, u'x'}, "?\xF0\x9F\x98\x80x", "??x"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(EncodeCodePage(row.text, CodePage::kUtf8), row.utf8);
    EXPECT_EQ(EncodeCodePage(row.text, CodePage::kAnsi), row.gbk);
  }
}

TEST(CodePage, InvalidBytesDecodeToReplacementAndDecodingGoesOn) {
  const std::u16string fffd(1, kReplacement);
  const struct {
    const char* name;
    std::string bytes;
    CodePage page;
    std::u16string expected;
  } rows[] = {
      {"utf8 stray continuation",
       "a\x80"
       "b",
       CodePage::kUtf8, u"a" + fffd + u"b"},
      {"utf8 overlong slash",
       "\xC0\xAF"
       "x",
       CodePage::kUtf8, fffd + fffd + u"x"},
      {"utf8 encoded surrogate", "\xED\xA0\x80", CodePage::kUtf8, fffd + fffd + fffd},
      {"utf8 cut at end", "ok\xE4\xB8", CodePage::kUtf8, u"ok" + fffd},
      {"utf8 0xFF", "\xFF中", CodePage::kUtf8, fffd + u"中"},
      {"gbk 0xFF", "\xFF\xD6\xD0", CodePage::kAnsi, fffd + u"中"},
      {"gbk lead byte before ascii", "\x81 a", CodePage::kAnsi, fffd + u" a"},
      {"gbk lead byte at end", "x\xD6", CodePage::kAnsi, u"x" + fffd},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DecodeCodePage(row.bytes, row.page), row.expected);
  }
}

TEST(CodePage, InputStopsAtFirstNul) {
  EXPECT_EQ(DecodeCodePage("ab\0cd"s, CodePage::kAnsi), u"ab");
  EXPECT_EQ(DecodeCodePage("\0cd"s, CodePage::kUtf8), u"");
  EXPECT_EQ(EncodeCodePage(u"中\0x"s, CodePage::kAnsi), "\xD6\xD0");
  EXPECT_EQ(EncodeCodePage(u"\0x"s, CodePage::kUtf8), "");
  EXPECT_EQ(DecodeCodePage("", CodePage::kUtf8), u"");
  EXPECT_EQ(EncodeCodePage(u"", CodePage::kAnsi), "");
}

// Longer than the converter's internal chunk, with a rejected character near
// the chunk boundaries, so the output is stitched together correctly.
TEST(CodePage, LongTextSurvivesIntact) {
  std::u16string text;
  std::u16string decoded;  // what the GBK bytes read back as
  std::string gbk;
  for (int i = 0; i < 3000; ++i) {
    const bool emoji = i % 700 == 699;
    text += emoji ? u"\U0001F600" : u"中a";
    decoded += emoji ? u"?" : u"中a";
    gbk += emoji ? "?"
                 : "\xD6\xD0"
                   "a";
  }
  EXPECT_EQ(EncodeCodePage(text, CodePage::kAnsi), gbk);
  EXPECT_EQ(DecodeCodePage(gbk, CodePage::kAnsi), decoded);
  EXPECT_EQ(DecodeCodePage(EncodeCodePage(text, CodePage::kUtf8), CodePage::kUtf8), text);
}

}  // namespace
}  // namespace brevalt
