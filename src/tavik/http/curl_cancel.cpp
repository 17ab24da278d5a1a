#include "tavik/http/curl_cancel.h"

#include <memory>

#include "platform/release_with.h"

namespace brevalt::http {

// Names the multi handle a transfer waits on for as long as it exists, so
// that Raise never wakes a handle that is being or has been cleaned up.
class WaitRegistration {
 public:
  WaitRegistration(CancelSignal* signal, CURLM* multi) noexcept : signal_(signal) {
    std::lock_guard lock(signal_->mutex_);
    signal_->waiting_ = multi;
  }
  ~WaitRegistration() {
    std::lock_guard lock(signal_->mutex_);
    signal_->waiting_ = nullptr;
  }
  WaitRegistration(const WaitRegistration&) = delete;
  WaitRegistration& operator=(const WaitRegistration&) = delete;

 private:
  CancelSignal* signal_;
};

namespace {

using MultiPtr = std::unique_ptr<CURLM, ReleaseWith<curl_multi_cleanup>>;

// The longest single wait; libcurl's time-outs and a raised signal end a
// wait sooner.
constexpr int kPollMs = 1000;

// The result of the finished transfer of curl, or nothing yet.
bool TakeResult(CURLM* multi, CURL* curl, CURLcode* result) {
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == curl) {
      *result = message->data.result;
      return true;
    }
  }
  return false;
}

CURLcode Drive(CURLM* multi, CURL* curl, const CancelSignal& signal) {
  CURLcode result = CURLE_ABORTED_BY_CALLBACK;
  int running = 1;
  while (!signal.raised()) {
    if (curl_multi_perform(multi, &running) != CURLM_OK)
      return CURLE_FAILED_INIT;
    if (TakeResult(multi, curl, &result))
      return result;
    if (running == 0)
      return CURLE_FAILED_INIT;  // ended without a result: cannot happen
    if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK)
      return CURLE_FAILED_INIT;
  }
  return result;
}

}  // namespace

void CancelSignal::Raise() noexcept {
  std::lock_guard lock(mutex_);
  raised_ = true;
  if (waiting_ != nullptr)
    curl_multi_wakeup(waiting_);  // safe from any thread
}

CURLcode PerformCancellable(CURL* curl, CancelSignal* signal) noexcept {
  if (signal == nullptr)
    return curl_easy_perform(curl);
  MultiPtr multi(curl_multi_init());
  if (!multi)
    return CURLE_OUT_OF_MEMORY;
  if (curl_multi_add_handle(multi.get(), curl) != CURLM_OK)
    return CURLE_FAILED_INIT;
  CURLcode result = CURLE_ABORTED_BY_CALLBACK;
  {
    const WaitRegistration registration(signal, multi.get());
    result = Drive(multi.get(), curl, *signal);
  }
  curl_multi_remove_handle(multi.get(), curl);
  return result;
}

}  // namespace brevalt::http
