#include "timestamp/authority_race.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "timestamp/time_stamp_request.h"

namespace brevalt {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

class AuthorityRace {
 public:
  // failures: one text per authority, written under the lock until the
  // race is destroyed.
  AuthorityRace(const AuthorityRacePlan& plan, std::vector<std::string>* failures)
      : plan_(plan), failures_(failures) {
    attempts_.reserve(plan_.urls_ansi.size());  // so that adding one never throws
    failures_->assign(plan_.urls_ansi.size(), "not asked: the time ran out first");
  }
  // Cancels the requests still running and waits for their threads.
  ~AuthorityRace();
  AuthorityRace(const AuthorityRace&) = delete;
  AuthorityRace& operator=(const AuthorityRace&) = delete;

  int Run(int64_t* out, std::vector<unsigned char>* answer, std::string* winner_url);

 private:
  struct Attempt {
    UniqueTimeStamp request;
    std::size_t authority = 0;  // its place in plan_.urls_ansi
    std::thread thread;
    bool done = false;  // guarded by mutex_
  };

  // Asks the next authority of the list; a request that cannot be prepared
  // or started counts as a failed answer. Called without the lock.
  void StartNext();
  // The body of an attempt's thread.
  void Ask(Attempt* attempt);
  void CountFailure(std::size_t authority, const char* why);

  const AuthorityRacePlan& plan_;
  std::vector<std::string>* failures_;              // guarded by mutex_
  std::vector<std::unique_ptr<Attempt>> attempts_;  // touched by the calling thread only
  std::size_t next_ = 0;                            // the next authority to ask

  std::mutex mutex_;
  std::condition_variable changed_;
  int running_ = 0;
  int failures_to_follow_ = 0;  // failed answers not yet followed by a new request
  std::optional<int64_t> winner_;
  std::vector<unsigned char> winner_answer_;
  std::size_t winner_authority_ = 0;
  bool deadline_passed_ = false;
};

AuthorityRace::~AuthorityRace() {
  {
    std::lock_guard lock(mutex_);
    for (const std::unique_ptr<Attempt>& attempt : attempts_) {
      if (!attempt->done)
        TavikPKIMsgTimeStampCancel(attempt->request.get());
    }
  }
  for (const std::unique_ptr<Attempt>& attempt : attempts_) {
    if (attempt->thread.joinable())
      attempt->thread.join();
  }
}

void AuthorityRace::CountFailure(std::size_t authority, const char* why) {
  std::lock_guard lock(mutex_);
  ++failures_to_follow_;
  (*failures_)[authority] = why;
}

void AuthorityRace::StartNext() {
  const std::size_t authority = next_++;
  const std::string& url = plan_.urls_ansi[authority];
  const auto left = std::chrono::duration_cast<milliseconds>(plan_.deadline - SteadyClock::now());
  const milliseconds limit = std::max(milliseconds(1), std::min(left, plan_.per_authority));
  auto attempt = std::make_unique<Attempt>();
  attempt->authority = authority;
  attempt->request = PrepareTimeStampRequest(url.c_str(), limit, plan_.data, plan_.algorithm);
  if (!attempt->request)
    return CountFailure(authority, "the request could not be set up");
  {
    std::lock_guard lock(mutex_);
    ++running_;
  }
  try {
    attempt->thread = std::thread([this, raw = attempt.get()] { Ask(raw); });
  } catch (const std::system_error&) {
    {
      std::lock_guard lock(mutex_);
      --running_;
    }
    return CountFailure(authority, "no thread could be started for the request");
  }
  attempts_.push_back(std::move(attempt));
}

void AuthorityRace::Ask(Attempt* attempt) {
  int64_t time = 0;
  std::vector<unsigned char> answer;
  std::string why;
  const bool granted =
      ReadGrantedTime(attempt->request.get(), &time, plan_.keep_answer ? &answer : nullptr, &why);
  std::lock_guard lock(mutex_);
  attempt->done = true;
  --running_;
  if (!granted) {
    ++failures_to_follow_;
    (*failures_)[attempt->authority] =
        deadline_passed_ ? "no answer before the time ran out" : std::move(why);
  } else if (!winner_) {
    winner_ = time;
    winner_answer_ = std::move(answer);
    winner_authority_ = attempt->authority;
  }
  changed_.notify_all();
}

int AuthorityRace::Run(int64_t* out, std::vector<unsigned char>* answer, std::string* winner_url) {
  std::unique_lock lock(mutex_);
  SteadyClock::time_point next_due = SteadyClock::now();
  for (;;) {
    if (winner_) {
      *out = *winner_;
      if (answer != nullptr)
        *answer = std::move(winner_answer_);
      if (winner_url != nullptr)
        *winner_url = plan_.urls_ansi[winner_authority_];
      return 1;
    }
    const SteadyClock::time_point now = SteadyClock::now();
    if (now >= plan_.deadline) {
      deadline_passed_ = true;
      return 0;
    }
    const bool more = next_ < plan_.urls_ansi.size();
    if (more && (now >= next_due || failures_to_follow_ > 0)) {
      failures_to_follow_ = std::max(0, failures_to_follow_ - 1);
      lock.unlock();
      StartNext();
      lock.lock();
      next_due = SteadyClock::now() + plan_.head_start;
      continue;
    }
    if (!more && running_ == 0)
      return 0;  // every authority failed
    changed_.wait_until(lock, more ? std::min(next_due, plan_.deadline) : plan_.deadline);
  }
}

}  // namespace

int AskAuthoritiesSideBySide(const AuthorityRacePlan& plan, int64_t* out,
                             std::vector<unsigned char>* answer, std::string* winner_url,
                             std::vector<std::string>* failures) {
  if (out == nullptr)
    return 0;
  std::vector<std::string> found;
  int rc = 0;
  try {
    AuthorityRace race(plan, &found);
    rc = race.Run(out, answer, winner_url);
  } catch (...) {
    return 0;  // out of memory: the race's destructor has joined every thread
  }
  if (rc == 0 && failures != nullptr)
    *failures = std::move(found);
  return rc;
}

}  // namespace brevalt
