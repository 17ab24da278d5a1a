// The trusted time of one verification tied to a clock that runs on
// through a suspend.
#ifndef BREVALT_RECORD_TRUSTED_ANCHOR_H
#define BREVALT_RECORD_TRUSTED_ANCHOR_H

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

namespace brevalt {

// Time since boot, counting the time the machine spent suspended
// (CLOCK_BOOTTIME), so that an hour with the lid closed is an hour later on
// this clock too. No one can set it; it never goes back.
struct BootClock {
  using duration = std::chrono::nanoseconds;
  using rep = duration::rep;
  using period = duration::period;
  using time_point = std::chrono::time_point<BootClock>;
  static constexpr bool is_steady = true;
  static time_point now() noexcept;
};

// Tests only: every later BootClock::now() reads by more (added to earlier
// moves), as after a suspend of that length.
void MoveBootClockForTesting(BootClock::duration by);

// A time an authority gave (seconds since 1970, UTC) and the BootClock
// instant it arrived. Later decisions read "that time + time elapsed since",
// which neither a change of this computer's clock nor a suspended machine
// can move away from real time.
//
// Thread: any thread may call any member; the pair is read and written
// under one lock, so a reader never sees the time of one answer with the
// instant of another. Copies take the pair as it is at that moment.
class CTrustedAnchor {
 public:
  using Clock = BootClock;

  CTrustedAnchor() = default;
  CTrustedAnchor(const CTrustedAnchor& other);
  CTrustedAnchor& operator=(const CTrustedAnchor& other);

  // Anchors trusted at the instant at, replacing any anchor.
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
