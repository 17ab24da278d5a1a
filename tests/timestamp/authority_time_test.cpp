#include "timestamp/authority_time.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "support/scoped_env.h"

namespace brevalt {
namespace {

constexpr int64_t kInstant = 1513758173;  // 2017-12-20 08:22:53 UTC

// Read on a UTC+8 computer, so that reading the fields as local time would
// be off by eight hours; the client's tests cover further zones.
TEST(ParseAuthorityTime, ReadsValidTextsAsUtc) {
  testing::ScopedEnv tz("TZ", "Asia/Shanghai");
  struct Row {
    const char* text;
    int64_t instant;
  };
  const Row rows[] = {
      {"19700101000000Z", 0},           {"20171220082253.123Z", kInstant},  // fraction dropped
      {"20240229235959Z", 1709251199},                                      // leap day
      {"20170431000000Z", 1493596800},  // 31 April rolls into 1 May
      {"19000101000000Z", -2208988800},
  };
  for (const Row& row : rows) {
    int64_t t = 0;
    ASSERT_TRUE(ParseAuthorityTime(row.text, &t)) << row.text;
    EXPECT_EQ(t, row.instant) << row.text;
  }
}

TEST(ParseAuthorityTime, RejectsMalformedTextsAndLeavesTheOutputAlone) {
  const char* const texts[] = {
      "",
      "2017122008225",         // short
      "20171220082253",        // no zone
      "2017122008225Z",        // short, zone in place of a digit
      "2017-12-20 08:22:53Z",  // separators
      " 20171220082253Z",      // leading blank
      "20171220082253+0800",   // an offset is not UTC
      "20171220082253ZZ",      // trailing text
      "20171220082253.Z",      // empty fraction
      "18991231235959Z",       // year before 1900
      "20171320082253Z",       // month 13
      "20171200082253Z",       // day 0
      "20171232082253Z",       // day 32
      "20171220242253Z",       // hour 24
      "20171220086053Z",       // minute 60
      "20171220082260Z",       // second 60
  };
  for (const char* text : texts) {
    int64_t t = 42;
    EXPECT_FALSE(ParseAuthorityTime(text, &t)) << '"' << text << '"';
    EXPECT_EQ(t, 42) << text;
  }
  int64_t t = 42;
  EXPECT_FALSE(ParseAuthorityTime(nullptr, &t));
  EXPECT_EQ(t, 42);
}

}  // namespace
}  // namespace brevalt
