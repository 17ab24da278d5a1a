#include "timestamp/time_stamp_client.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "config/settings.h"
#include "config/text_convert.h"
#include "platform/plain_text.h"
#include "timestamp/authority_race.h"
#include "timestamp/time_stamp_request.h"

namespace brevalt {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

std::atomic<long> g_whole_ms{0};  // 0: kWholeRequestBudget
std::atomic<long> g_per_authority_ms{0};
std::atomic<long> g_head_start_ms{0};

milliseconds Configured(const std::atomic<long>& test_value, milliseconds product_value) {
  const long ms = test_value.load();
  return ms > 0 ? milliseconds(ms) : product_value;
}

// One request that ends within limit (> 0).
int RequestTimeStampWithin(const char* url_ansi, milliseconds limit, int64_t* out) {
  if (url_ansi == nullptr || out == nullptr)
    return 0;
  UniqueTimeStamp request = PrepareTimeStampRequest(url_ansi, limit);
  int64_t time = 0;
  if (!request || !ReadGrantedTime(request.get(), &time))
    return 0;
  request.reset();
  *out = time;
  return 1;
}

}  // namespace

int RequestTimeStamp(const char* url_ansi, int64_t* out) {
  return RequestTimeStampWithin(url_ansi, Configured(g_per_authority_ms, kPerAuthorityBudget), out);
}

namespace {

// The URL of the authority that gave the last trusted time; empty at first.
struct LastAnswering {
  std::mutex mutex;
  std::string url_ansi;
};

LastAnswering& LastAnsweringAuthority() {
  static LastAnswering last;
  return last;
}

// Moves the authority that answered last to the front of urls, the others
// keeping their order; the list as it is when it does not name that one.
void AskLastAnsweringFirst(std::vector<std::string>* urls) {
  LastAnswering& last = LastAnsweringAuthority();
  std::lock_guard lock(last.mutex);
  const auto found = std::find(urls->begin(), urls->end(), last.url_ansi);
  if (!last.url_ansi.empty() && found != urls->end())
    std::rotate(urls->begin(), found, found + 1);
}

// "<url>: <what happened>" for each authority of the plan, in list order.
std::vector<std::string> NameEach(const AuthorityRacePlan& plan,
                                  const std::vector<std::string>& failures) {
  std::vector<std::string> named;
  if (plan.urls_ansi.empty())
    named.push_back("[TimeStampURL] url cannot be read (longer than " +
                    std::to_string(kMaxSettingLength) +
                    " characters, or the settings file too large), so no authority was asked");
  for (std::size_t i = 0; i < plan.urls_ansi.size() && i < failures.size(); ++i) {
    const std::string& url = plan.urls_ansi[i];
    named.push_back((url.empty() ? std::string("(an empty entry)")
                                 : PlainTextUtf8(WideToUtf8(AnsiToWide(url)))) +
                    ": " + failures[i]);
  }
  return named;
}

// AskAuthoritiesSideBySide, remembering the authority that answered.
int AskAndRemember(const AuthorityRacePlan& plan, int64_t* out,
                   std::vector<std::string>* failures) {
  std::string winner;
  std::vector<std::string> found;
  if (AskAuthoritiesSideBySide(plan, out, nullptr, &winner, &found) == 0) {
    if (failures != nullptr)
      *failures = NameEach(plan, found);
    return 0;
  }
  LastAnswering& last = LastAnsweringAuthority();
  std::lock_guard lock(last.mutex);
  last.url_ansi = std::move(winner);
  return 1;
}

// The authorities of the settings (the built-in default when they name none)
// in list order, with the budgets in force, over data.
AuthorityRacePlan PlanFromSettings(std::string_view data) {
  AuthorityRacePlan plan;
  plan.deadline = SteadyClock::now() + Configured(g_whole_ms, kWholeRequestBudget);
  plan.head_start = Configured(g_head_start_ms, kHeadStart);
  plan.per_authority = Configured(g_per_authority_ms, kPerAuthorityBudget);
  plan.data = data;
  plan.algorithm = ReadTimeStampWantsSm3() ? TAVIK_HASH_SM3 : TAVIK_HASH_TIMESTAMP;
  const SettingValue setting = ReadTimeStampUrlSetting();
  std::vector<std::u16string> urls = SplitUrlList(setting.text);
  // A value that cannot be read is refused (nothing is asked), never
  // replaced by the default authority.
  if (setting.malformed)
    urls.clear();
  else if (urls.empty())
    urls.emplace_back(kDefaultTimeStampUrl);
  for (const std::u16string& url : urls)
    plan.urls_ansi.push_back(WideToAnsi(url));
  return plan;
}

}  // namespace

int GetTimeStampTime(int64_t* out, std::vector<std::string>* failures) {
  if (out == nullptr)
    return 0;
  return AskAndRemember(PlanFromSettings({}), out, failures);
}

int RequestTimeStampAnswer(std::string_view data, std::vector<unsigned char>* answer) {
  if (data.empty() || answer == nullptr)
    return 0;
  AuthorityRacePlan plan = PlanFromSettings(data);
  plan.keep_answer = true;
  AskLastAnsweringFirst(&plan.urls_ansi);
  int64_t time = 0;
  return AskAuthoritiesSideBySide(plan, &time, answer);
}

void SetTimeStampBudgetsForTesting(milliseconds whole, milliseconds per_authority,
                                   milliseconds head_start) {
  g_whole_ms.store(static_cast<long>(whole.count()));
  g_per_authority_ms.store(static_cast<long>(per_authority.count()));
  g_head_start_ms.store(static_cast<long>(head_start.count()));
}

void ForgetLastAnsweringAuthorityForTesting() {
  LastAnswering& last = LastAnsweringAuthority();
  std::lock_guard lock(last.mutex);
  last.url_ansi.clear();
}

}  // namespace brevalt
