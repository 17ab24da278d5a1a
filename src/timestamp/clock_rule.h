// Whether this computer's clock can be trusted next to a trusted time.
#ifndef BREVALT_TIMESTAMP_CLOCK_RULE_H
#define BREVALT_TIMESTAMP_CLOCK_RULE_H

#include <cstdint>

namespace brevalt {

// The local clock may lag or lead the trusted time by less than this many
// seconds (7 hours). The rule counts whole hours truncated toward zero and
// accepts -6..6 of them, so 25199 seconds either way is still correct and
// exactly 25200 is not.
inline constexpr int64_t kClockToleranceSeconds = 25200;

// True when (now - trusted) / 3600, truncated toward zero, lies in -6..6.
// Both times are seconds since 1970-01-01 UTC. A difference that does not fit
// in 64 bits is far outside the tolerance and answers false. Pure; any thread.
bool IsLocalClockCorrect(int64_t now, int64_t trusted);

}  // namespace brevalt

#endif  // BREVALT_TIMESTAMP_CLOCK_RULE_H
