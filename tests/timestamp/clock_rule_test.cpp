#include "timestamp/clock_rule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace brevalt {
namespace {

TEST(IsLocalClockCorrect, AcceptsLessThanSevenHoursEitherWay) {
  struct Row {
    int64_t offset;  // local clock minus trusted time, in seconds
    bool correct;
  };
  const Row rows[] = {
      {0, true},       {3599, true},   {-3599, true},         {3600, true},    {-3600, true},
      {25199, true},   {-25199, true}, {25200, false},        {-25200, false}, {25201, false},
      {-25201, false}, {86400, false}, {-86400 * 365, false},
  };
  const int64_t trusted = 1513758173;  // 2017-12-20 08:22:53 UTC
  for (const Row& row : rows) {
    EXPECT_EQ(IsLocalClockCorrect(trusted + row.offset, trusted), row.correct) << row.offset;
  }
}

TEST(IsLocalClockCorrect, DifferenceBeyondSixtyFourBitsIsWrongNotUndefined) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  EXPECT_FALSE(IsLocalClockCorrect(kMax, kMin));
  EXPECT_FALSE(IsLocalClockCorrect(kMin, kMax));
  EXPECT_FALSE(IsLocalClockCorrect(kMax, -1));
  EXPECT_TRUE(IsLocalClockCorrect(kMin, kMin));
}

}  // namespace
}  // namespace brevalt
