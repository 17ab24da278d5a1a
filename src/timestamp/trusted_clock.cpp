#include "timestamp/trusted_clock.h"

#include "timestamp/time_stamp_client.h"

namespace brevalt {

void AnchorTrustedTime(CTrustedAnchor& anchor, int64_t trusted) {
  anchor.Set(trusted, CTrustedAnchor::Clock::now());
}

int TrustedTimeNow(CTrustedAnchor& anchor, const BeforeRequest& before_request, int64_t* out) {
  if (anchor.TimeAt(CTrustedAnchor::Clock::now(), kTrustedAnchorMaxAge, out))
    return 1;
  if (before_request)
    before_request();
  int64_t trusted = 0;
  if (GetTimeStampTime(&trusted) == 0)
    return 0;
  AnchorTrustedTime(anchor, trusted);
  *out = trusted;
  return 1;
}

}  // namespace brevalt
