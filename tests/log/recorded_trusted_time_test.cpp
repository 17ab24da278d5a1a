// Finding the trusted time a stamped file records.
#include "log/recorded_trusted_time.h"

#include <gtest/gtest.h>

#include "platform/time_convert.h"

namespace brevalt {
namespace {

// "    2、时间戳时间：" in GBK.
const std::string kGbkStep = "    2\xA1\xA2\xCA\xB1\xBC\xE4\xB4\xC1\xCA\xB1\xBC\xE4\xA3\xBA";

TEST(RecordedTrustedTime, FoundOnlyWhereALineRecordsIt) {
  int64_t expected = 0;
  ASSERT_TRUE(LocalFieldsToTime({2026, 12, 9, 12, 30, 5}, &expected));
  const struct {
    const char* name;
    std::string bytes;
    bool found;
  } cases[] = {
      {"log step line", "x\n" + kGbkStep + "2026-12-09 12:30:05\n", true},
      {"summary line in UTF-8", "a,b\n时间戳时间：2026-12-09 12:30:05\n", true},
      {"first line after a byte-order mark", "\xEF\xBB\xBF时间戳时间：2026-12-09 12:30:05,x\n",
       true},
      {"a mark inside the file starts no line", "a\xEF\xBB\xBF时间戳时间：2026-12-09 12:30:05\n",
       false},
      {"failed step records nothing", "x\n" + kGbkStep + "\n", false},
      {"label quoted inside a name", "标书路径： a时间戳时间：2026-12-09 12:30:05\n", false},
      {"later real line wins over a quoted one",
       "name " + kGbkStep + "2020-01-01 00:00:00\n" + kGbkStep + "2026-12-09 12:30:05\n", true},
      {"utf-8 step line is not a log's", "    2、时间戳时间：2026-12-09 12:30:05\n", false},
  };
  for (const auto& c : cases) {
    int64_t time = -1;
    EXPECT_EQ(FindRecordedTrustedTime(c.bytes, &time), c.found) << c.name;
    EXPECT_EQ(time, c.found ? expected : -1) << c.name;
  }
}

}  // namespace
}  // namespace brevalt
