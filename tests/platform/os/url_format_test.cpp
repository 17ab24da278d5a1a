#include "platform/url_format.h"

#include <gtest/gtest.h>

namespace brevalt {
namespace {

TEST(UrlFormat, SchemeOfTwoOrMoreCharactersThenColon) {
  const struct {
    std::u16string text;
    bool expected;
  } rows[] = {
      {u"http://tsa.example/tsp", true},
      {u"https://127.0.0.1:8443/rules", true},
      {u"ftp:x", true},
      {u"svn+ssh://host", true},
      {u"a1.b-c:", true},  // format only: nothing after the colon is examined
      {u"HTTP://UPPER", true},
      {u"", false},
      {u"tsa.example/tsp", false},  // no scheme
      {u"c:\\temp\\x", false},      // a drive letter is a one-letter scheme
      {u":http", false},
      {u"1http://x", false},  // a scheme starts with a letter
      {u"ht tp://x", false},
      {u" http://x", false},
      {u"ht_tp://x", false},
      {u"中文://x", false},
      {u"http/x:y", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IsUrlFormat(row.text), row.expected) << std::string(row.text.begin(), row.text.end());
  }
}

}  // namespace
}  // namespace brevalt
