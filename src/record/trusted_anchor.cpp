#include "record/trusted_anchor.h"

#include <time.h>

#include <atomic>

namespace brevalt {
namespace {

std::atomic<BootClock::rep> g_boot_clock_moved{0};

}  // namespace

BootClock::time_point BootClock::now() noexcept {
  timespec now{};
#ifdef CLOCK_BOOTTIME
  clock_gettime(CLOCK_BOOTTIME, &now);
#else
  clock_gettime(CLOCK_MONOTONIC, &now);
#endif
  const auto since_boot = std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
  return time_point(since_boot + duration(g_boot_clock_moved.load()));
}

void MoveBootClockForTesting(BootClock::duration by) {
  g_boot_clock_moved.fetch_add(by.count());
}

CTrustedAnchor::CTrustedAnchor(const CTrustedAnchor& other) : anchor_(other.Get()) {}

CTrustedAnchor& CTrustedAnchor::operator=(const CTrustedAnchor& other) {
  // Read the other first, then lock this one: never both locks at once.
  const std::optional<Anchor> copied = other.Get();
  std::lock_guard lock(mutex_);
  anchor_ = copied;
  return *this;
}

void CTrustedAnchor::Set(int64_t trusted, Clock::time_point at) {
  std::lock_guard lock(mutex_);
  anchor_ = Anchor{trusted, at};
}

void CTrustedAnchor::Clear() {
  std::lock_guard lock(mutex_);
  anchor_.reset();
}

std::optional<CTrustedAnchor::Anchor> CTrustedAnchor::Get() const {
  std::lock_guard lock(mutex_);
  return anchor_;
}

bool CTrustedAnchor::TimeAt(Clock::time_point now, Clock::duration max_age, int64_t* out) const {
  const std::optional<Anchor> anchor = Get();
  if (!anchor || now < anchor->at || now - anchor->at > max_age)
    return false;
  *out =
      anchor->trusted + std::chrono::duration_cast<std::chrono::seconds>(now - anchor->at).count();
  return true;
}

}  // namespace brevalt
