#include "timestamp/clock_rule.h"

namespace brevalt {

bool IsLocalClockCorrect(int64_t now, int64_t trusted) {
  int64_t difference = 0;
  if (__builtin_sub_overflow(now, trusted, &difference))
    return false;
  const int64_t hours = difference / 3600;  // C++ division truncates toward zero
  constexpr int64_t kMaxHours = kClockToleranceSeconds / 3600 - 1;
  return hours >= -kMaxHours && hours <= kMaxHours;
}

}  // namespace brevalt
