// One trusted time per verification: the answer of step 2 anchors a clock
// that runs on through a suspend (BootClock), and the decisions after it
// read that clock instead of asking an authority again.
#ifndef BREVALT_TIMESTAMP_TRUSTED_CLOCK_H
#define BREVALT_TIMESTAMP_TRUSTED_CLOCK_H

#include <chrono>
#include <cstdint>
#include <functional>

#include "record/trusted_anchor.h"

namespace brevalt {

// An anchor older than this is not read: the next decision asks an
// authority again and re-anchors. Long enough for any verification (the
// worker's check and the final refresh follow step 2 within seconds), short
// enough that the time shown stays close to a signed answer. The age counts
// time the machine spent suspended, so an anchor from before a suspend of
// more than this is renewed.
inline constexpr std::chrono::minutes kTrustedAnchorMaxAge{5};

// Called right before a request that will block the calling thread; may be
// empty. The interface thread passes one that shows the wait cursor.
using BeforeRequest = std::function<void()>;

// Anchors trusted, a time an authority has just given, at this instant.
void AnchorTrustedTime(CTrustedAnchor& anchor, int64_t trusted);

// The trusted time now. From the anchor while it is younger than
// kTrustedAnchorMaxAge, without a request. Otherwise calls before_request
// (when set), asks GetTimeStampTime and anchors its answer. Returns
// non-zero and sets *out on success; 0 when no authority answered, leaving
// *out and the anchor as they were. Any thread; blocks for a request.
int TrustedTimeNow(CTrustedAnchor& anchor, const BeforeRequest& before_request, int64_t* out);

}  // namespace brevalt

#endif  // BREVALT_TIMESTAMP_TRUSTED_CLOCK_H
