#include "rules/open_time.h"

#include <gtest/gtest.h>

#include "config/text_convert.h"
#include "support/scoped_env.h"

namespace brevalt {
namespace {

constexpr int64_t kMarch15At10 = 1300154400;  // 2011-03-15 10:00:00 in Asia/Shanghai

class OpenTimeTest : public ::testing::Test {
 protected:
  testing::ScopedEnv tz_{"TZ", "Asia/Shanghai"};
};

TEST_F(OpenTimeTest, NormalizesLongForms) {
  const std::pair<const char16_t*, const char16_t*> rows[] = {
      {u"Mar 15, 2011 10:00:00 AM", u"2011-03-15 10:00:00"},
      {u"mar 15, 2011 12:30:00 am", u"2011-03-15 00:30:00"},
      {u"Mar 15, 2011 12:00:00 PM", u"2011-03-15 12:00:00"},
      {u"Mar 15, 2011 1:05:09 pM", u"2011-03-15 13:05:09"},
      {u"Mar 15, 2011 24:00:00 AM", u"2011-03-15 24:00:00"},
      {u" Dec 1,, 2026 9:30:00 PM extra ", u"2026-12-01 21:30:00"},
      {u"Mar 15, 2011 25:00:00 AM", u""},
      {u"March 15, 2011 10:00:00 AM", u""},
      {u"Mar  15, 2011 10:00:00 AM", u""},  // a doubled space gives an empty part
      {u"Mar 15, 2011 10:00 AM", u""},
      {u"2011-03-15 10:00:00", u""},
  };
  for (const auto& [text, normal] : rows)
    EXPECT_EQ(NormalizeOpenTime(text), normal) << WideToUtf8(text);
}

TEST_F(OpenTimeTest, ParsesNumericForms) {
  const std::pair<const char*, bool> rows[] = {
      {"2011-03-15 10:00:00", true},       {"2011/3/15 10:0:0", true},
      {"2011-03-15T10:00:00Z", true},      {"2011- 3-15 +10:00:00", true},
      {"2011-13-15 10:00:00", false},      {"2011-03-00 10:00:00", false},
      {"2011-03-15 10:60:00", false},      {"1899-03-15 10:00:00", false},
      {"2011-03-15 24:00:00", false},      {"2011--03-15 10:00:00", false},
      {"2011-03-15 10:00", false},         {"99999999999-03-15 10:00:00", false},
      {"Mar 15, 2011 10:00:00 AM", false},
  };
  for (const auto& [text, valid] : rows) {
    int64_t time = -7;
    EXPECT_EQ(ParseNumericTime(text, &time), valid) << text;
    EXPECT_EQ(time, valid ? kMarch15At10 : -7) << text;
  }
}

}  // namespace
}  // namespace brevalt
