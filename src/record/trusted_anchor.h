// The trusted time of one verification tied to the monotonic clock.
#ifndef BREVALT_RECORD_TRUSTED_ANCHOR_H
#define BREVALT_RECORD_TRUSTED_ANCHOR_H

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

namespace brevalt {

// A time an authority gave (seconds since 1970, UTC) and the steady_clock
// instant it arrived. Later decisions read "that time + monotonic time
// elapsed", which neither a change of this computer's clock nor a
// suspended machine can move forward faster than real time.
//
// Thread: any thread may call any member; the pair is read and written
// under one lock, so a reader never sees the time of one answer with the
// instant of another. Copies take the pair as it is at that moment.
class CTrustedAnchor {
 public:
  using Clock = std::chrono::steady_clock;

  CTrustedAnchor() = default;
  CTrustedAnchor(const CTrustedAnchor& other);
  CTrustedAnchor& operator=(const CTrustedAnchor& other);

  // Anchors trusted at the monotonic instant at, replacing any anchor.
  void Set(int64_t trusted, Clock::time_point at);
  // Forgets the anchor.
  void Clear();

  // The trusted time at instant now: the anchored time plus the whole
  // seconds elapsed since it was set. False, with *out untouched, when no
  // anchor is set, when now lies before it, or when more than max_age has
  // elapsed since it was set.
  bool TimeAt(Clock::time_point now, Clock::duration max_age, int64_t* out) const;

 private:
  struct Anchor {
    int64_t trusted;
    Clock::time_point at;
  };
  std::optional<Anchor> Get() const;

  mutable std::mutex mutex_;
  std::optional<Anchor> anchor_;  // guarded by mutex_
};

}  // namespace brevalt

#endif  // BREVALT_RECORD_TRUSTED_ANCHOR_H
