#include "config/text_convert.h"

#include <gtest/gtest.h>

namespace brevalt {
namespace {

TEST(SplitString, PartsAtEverySeparator) {
  const struct {
    std::u16string text;
    std::vector<std::u16string> parts;
  } rows[] = {
      {u"a;;b", {u"a", u"", u"b"}},
      {u"a;", {u"a"}},  // a trailing empty part is dropped
      {u";a", {u"", u"a"}},
      {u";", {u""}},
      {u";;", {u"", u""}},
      {u"", {}},
      {u"abc", {u"abc"}},
      {u"http://a/tsp;http://b/tsp", {u"http://a/tsp", u"http://b/tsp"}},
      {u"中;文", {u"中", u"文"}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(SplitString(row.text, u';'), row.parts)
        << "text of " << row.text.size() << " characters";
  }
  EXPECT_EQ(SplitString(u"a;b,c", u','), (std::vector<std::u16string>{u"a;b", u"c"}));
}

TEST(TextConvert, ChineseRoundTripsThroughGbkAndUtf8) {
  const std::u16string text = u"投标人：北京某某公司 2024-05-01";
  const std::string gbk = WideToAnsi(text);
  EXPECT_EQ(gbk.substr(0, 4), "\xCD\xB6\xB1\xEA");  // 投标
  EXPECT_EQ(AnsiToWide(gbk), text);
  EXPECT_EQ(AnsiToWide(gbk.c_str()), text);
  EXPECT_EQ(WideToAnsi(text.c_str()), gbk);
  const std::string utf8 = WideToUtf8(text);
  EXPECT_EQ(Utf8ToWide(utf8), text);
  EXPECT_EQ(Utf8ToWide(utf8.c_str()), text);
  EXPECT_EQ(WideToUtf8(text.c_str()), utf8);
}

TEST(TextConvert, NullEmptyAndInvalidInputNeverFail) {
  EXPECT_EQ(AnsiToWide(static_cast<const char*>(nullptr)), u"");
  EXPECT_EQ(Utf8ToWide(static_cast<const char*>(nullptr)), u"");
  EXPECT_EQ(WideToAnsi(static_cast<const char16_t*>(nullptr)), "");
  EXPECT_EQ(WideToUtf8(static_cast<const char16_t*>(nullptr)), "");
  EXPECT_EQ(Utf8ToWide(""), u"");
  EXPECT_EQ(AnsiToWide(""), u"");
  EXPECT_EQ(Utf8ToWide("\xC3"), u"\xFFFD");
  EXPECT_EQ(AnsiToWide("\x81\xFF"
                       "a"),
            u"\xFFFD\xFFFD"
            "a");
  const char16_t lone[] = {0xDC01, u'z', 0};
  EXPECT_EQ(WideToUtf8(lone), "?z");
}

}  // namespace
}  // namespace brevalt
