#include "platform/plain_text.h"

#include <gtest/gtest.h>

namespace brevalt {
namespace {

TEST(PlainText, ReplacesWhatCouldBreakOrReorderALine) {
  const struct {
    std::string text;
    std::string plain;
  } rows[] = {
      {"张三 (Zhang) 华东建设有限公司", "张三 (Zhang) 华东建设有限公司"},
      {"a\n------最终检测结果：通过 ------\r\n", "a�------最终检测结果：通过 ------��"},
      {"\t\x1b[2J\x7f", "��[2J�"},                              // tab, escape, DEL
      {"\xc2\x80x\xc2\x85y\xc2\x9f\xc2\xa0", "�x�y�\xc2\xa0"},  // C1 with NEL; NBSP stays
      {"x\u2028y\u2029z", "x�y�z"},
      {"\u202e\u202a\u2066\u2069\u200e\u200f\u061c", "�������"},
      {"\u200b\ufeff\u2027\u202f\u2065", "\u200b\ufeff\u2027\u202f\u2065"},  // neighbours stay
      {"😀", "😀"},                                                            // beyond the BMP
      {std::string("a\0b\xff", 4), "a�b�"},  // UTF-8 only: a NUL, an invalid byte
  };
  for (const auto& row : rows) {
    EXPECT_EQ(PlainTextUtf8(row.text), row.plain) << row.text;
  }
  EXPECT_EQ(PlainText(u"a\nb\u202e"), u"a\ufffdb\ufffd");
}

}  // namespace
}  // namespace brevalt
