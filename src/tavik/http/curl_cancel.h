// A libcurl transfer that another thread can end at once: the transfer runs
// in a multi handle of its own, and raising its signal wakes that handle's
// wait instead of letting it sleep out a poll interval.
#ifndef BREVALT_TAVIK_HTTP_CURL_CANCEL_H
#define BREVALT_TAVIK_HTTP_CURL_CANCEL_H

#include <curl/curl.h>

#include <atomic>
#include <mutex>

namespace brevalt::http {

// Raised once, never lowered. Any thread may raise it, also while a transfer
// runs on another thread; the signal must outlive that transfer.
class CancelSignal {
 public:
  // Sets the signal and wakes the transfer that waits on it, if any.
  void Raise() noexcept;
  bool raised() const noexcept { return raised_.load(); }

 private:
  friend class WaitRegistration;
  std::mutex mutex_;          // guards waiting_
  CURLM* waiting_ = nullptr;  // the multi handle of the running transfer
  std::atomic<bool> raised_{false};
};

// Runs the transfer of `curl` (set up as for curl_easy_perform) to its end,
// with libcurl's own time-outs, and returns its result; when `signal` is or
// becomes raised, ends it within microseconds with CURLE_ABORTED_BY_CALLBACK.
// Only a name lookup already under way is waited for (libcurl's resolver
// thread is joined, never left running). Never throws.
CURLcode PerformCancellable(CURL* curl, CancelSignal* signal) noexcept;

}  // namespace brevalt::http

#endif  // BREVALT_TAVIK_HTTP_CURL_CANCEL_H
