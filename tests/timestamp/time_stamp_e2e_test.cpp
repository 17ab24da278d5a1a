// The time-stamp client against the real PKI library and a real RFC 3161
// authority served on loopback by the development server.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devserver/dev_server.h"
#include "platform/time_convert.h"
#include "support/scoped_settings.h"
#include "support/trust_folder.h"
#include "timestamp/clock_rule.h"
#include "timestamp/time_stamp_client.h"

namespace brevalt {
namespace {

using devserver::DevServer;
using devserver::ServerOptions;
using devserver::TsaOptions;
using testing::ScopedSettings;

class TimeStampEndToEndTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetTimeStampBudgetsForTesting({}, {});
    ForgetLastAnsweringAuthorityForTesting();
  }

  // A started authority on a free loopback port, whose CA is in the private
  // trust folder unless trusted is false; null (with a test failure) when it
  // cannot start.
  std::unique_ptr<DevServer> StartAuthority(const TsaOptions& tsa = {}, bool trusted = true) {
    ServerOptions options;
    options.tsa = tsa;
    auto server = std::make_unique<DevServer>(options);
    std::string error;
    if (server->Start(&error) != 0) {
      ADD_FAILURE() << "devserver: " << error;
      return nullptr;
    }
    if (trusted) {
      testing::WriteTrustAnchor(settings_, "tsa",
                                "devserver-" + std::to_string(server->port()) + ".pem",
                                server->CaPem());
    }
    return server;
  }

  // A loopback URL where nothing listens: a server's port after it stopped.
  std::string DeadUrl() {
    std::unique_ptr<DevServer> server = StartAuthority({}, false);
    if (!server)
      return "http://127.0.0.1:1/tsa";
    std::string url = server->TsaUrl();
    server->Stop();
    return url;
  }

  ScopedSettings settings_;
};

TEST_F(TimeStampEndToEndTest, GrantedAnswerGivesTheAuthorityTime) {
  std::unique_ptr<DevServer> server = StartAuthority();
  ASSERT_TRUE(server);
  settings_.WriteTimeStampUrl(server->TsaUrl());
  const int64_t before = CurrentTime();
  int64_t t = 0;
  ASSERT_NE(GetTimeStampTime(&t), 0);
  const int64_t after = CurrentTime();
  // genTime carries whole seconds: allow one second of truncation either side.
  EXPECT_GE(t, before - 1);
  EXPECT_LE(t, after + 1);
  EXPECT_TRUE(IsLocalClockCorrect(CurrentTime(), t));
  // The same authority asked for an SM3 imprint, as the setting may say.
  settings_.Write("[TimeStampURL]\nurl=" + server->TsaUrl() + "\nhash=sm3\n");
  EXPECT_NE(GetTimeStampTime(&t), 0);
}

TEST_F(TimeStampEndToEndTest, DeadFirstAuthorityIsFollowedByTheSecond) {
  std::unique_ptr<DevServer> server = StartAuthority();
  ASSERT_TRUE(server);
  settings_.WriteTimeStampUrl(DeadUrl() + ";" + server->TsaUrl());
  int64_t t = 0;
  ASSERT_NE(GetTimeStampTime(&t), 0);
  EXPECT_LE(std::abs(t - CurrentTime()), 2);
}

TEST_F(TimeStampEndToEndTest, OnlyDeadAuthoritiesFail) {
  settings_.WriteTimeStampUrl(DeadUrl() + ";" + DeadUrl());
  int64_t t = -7;
  EXPECT_EQ(GetTimeStampTime(&t), 0);
  EXPECT_EQ(t, -7);
}

// An authority whose clock is off by the offset judges this computer's clock.
TEST_F(TimeStampEndToEndTest, ClockRuleAgainstAnAuthorityWithAnOffsetClock) {
  struct Row {
    int64_t offset;
    bool local_clock_correct;
  };
  const Row rows[] = {{3 * 3600, true}, {-3 * 3600, true}, {8 * 3600, false}, {-8 * 3600, false}};
  for (const Row& row : rows) {
    TsaOptions tsa;
    tsa.clock_offset_seconds = row.offset;
    std::unique_ptr<DevServer> server = StartAuthority(tsa);
    ASSERT_TRUE(server);
    int64_t t = 0;
    ASSERT_EQ(RequestTimeStamp(server->TsaUrl().c_str(), &t), 1) << row.offset;
    EXPECT_LE(std::abs(t - (CurrentTime() + row.offset)), 2) << row.offset;
    EXPECT_EQ(IsLocalClockCorrect(CurrentTime(), t), row.local_clock_correct) << row.offset;
  }
}

TEST_F(TimeStampEndToEndTest, RejectionFails) {
  TsaOptions tsa;
  tsa.status = 2;
  std::unique_ptr<DevServer> server = StartAuthority(tsa);
  ASSERT_TRUE(server);
  int64_t t = -7;
  EXPECT_EQ(RequestTimeStamp(server->TsaUrl().c_str(), &t), 0);
  EXPECT_EQ(t, -7);
}

// Slow authorities share one budget: each gets what is left of it, at most the
// per-authority share, and those left when it is spent are not asked. Budgets
// are shortened (500 ms each) so that the test stays quick.
// A failed trusted time says, for each authority of the list, what happened
// to its request.
TEST_F(TimeStampEndToEndTest, EachAuthorityFailureIsNamed) {
  using std::chrono::milliseconds;
  TsaOptions slow;
  slow.delay_ms = 3000;
  std::unique_ptr<DevServer> untrusted = StartAuthority({}, false), silent = StartAuthority(slow);
  ASSERT_TRUE(untrusted && silent);
  std::string missing = untrusted->TsaUrl();
  missing.replace(missing.rfind("/tsa"), 4, "/nowhere");
  const struct {
    std::string url;
    const char* cause;
  } rows[] = {
      {DeadUrl(), "connection refused"},
      {"htp:/nonsense", "not an http or https URL"},
      {untrusted->TsaUrl(), "signed by an authority this computer does not trust"},
      {missing, "HTTP status 404"},
      {silent->TsaUrl(), "no answer"},
  };
  std::string list;
  for (const auto& row : rows)
    list += (list.empty() ? "" : ";") + row.url;
  settings_.WriteTimeStampUrl(list);
  SetTimeStampBudgetsForTesting(milliseconds(1500), milliseconds(1400), milliseconds(5000));
  int64_t t = 0;
  std::vector<std::string> failures;
  ASSERT_EQ(GetTimeStampTime(&t, &failures), 0);
  ASSERT_EQ(failures.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(failures[i].rfind(rows[i].url + ": ", 0), 0u) << failures[i];
    EXPECT_NE(failures[i].find(rows[i].cause), std::string::npos) << failures[i];
  }
}

TEST_F(TimeStampEndToEndTest, SlowAuthoritiesShareOneBudget) {
  using std::chrono::milliseconds;
  TsaOptions slow;
  slow.delay_ms = 3000;
  std::unique_ptr<DevServer> slow_servers[] = {StartAuthority(slow), StartAuthority(slow),
                                               StartAuthority(slow)};
  std::unique_ptr<DevServer> fast = StartAuthority();
  for (const auto& server : slow_servers)
    ASSERT_TRUE(server);
  ASSERT_TRUE(fast);
  const std::string a = slow_servers[0]->TsaUrl(), b = slow_servers[1]->TsaUrl(),
                    c = slow_servers[2]->TsaUrl();
  struct Row {
    std::string urls;
    milliseconds whole;
    bool answered;
    milliseconds at_least, below;
  };
  const Row rows[] = {
      // 500 + 500 + the 200 left; a fourth authority would never be asked.
      {a + ";" + b + ";" + c + ";" + fast->TsaUrl(), milliseconds(1200), false, milliseconds(1100),
       milliseconds(2500)},
      // No slow authority may eat the budget of the ones after it (the fast
      // one keeps 2000 ms, so a loaded machine still gets its answer in time).
      {a + ";" + b + ";" + fast->TsaUrl(), milliseconds(3000), true, milliseconds(900),
       milliseconds(3000)},
  };
  for (const Row& row : rows) {
    SetTimeStampBudgetsForTesting(row.whole, milliseconds(500));
    settings_.WriteTimeStampUrl(row.urls);
    const auto start = std::chrono::steady_clock::now();
    int64_t t = -7;
    EXPECT_EQ(GetTimeStampTime(&t) != 0, row.answered) << row.urls;
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, row.at_least) << row.urls;
    EXPECT_LT(waited, row.below) << row.urls;
    std::cout << "three slow authorities: " << (row.answered ? "answered" : "gave up") << " after "
              << std::chrono::duration_cast<milliseconds>(waited).count() << " ms\n";
  }
}

// Authorities asked side by side: which are asked, whose answer wins, and
// that neither a slow nor a refusing authority holds up the ones after it.
// Slow ones never answer within a row, so a row that ends in time has
// abandoned them; the bounds are generous, the figures go to bench/.
TEST_F(TimeStampEndToEndTest, AuthoritiesAreAskedSideBySide) {
  using std::chrono::milliseconds;
  TsaOptions offset, slow, refusing;
  offset.clock_offset_seconds = 7200;  // tells which authority answered
  slow.delay_ms = 60'000;
  refusing.status = 2;
  std::unique_ptr<DevServer> good = StartAuthority(), late = StartAuthority(offset),
                             slow1 = StartAuthority(slow), slow2 = StartAuthority(slow),
                             slow3 = StartAuthority(slow), refuses = StartAuthority(refusing);
  for (DevServer* s :
       {good.get(), late.get(), slow1.get(), slow2.get(), slow3.get(), refuses.get()})
    ASSERT_TRUE(s);
  struct Row {
    const char* what;
    std::vector<DevServer*> list;
    std::vector<uint64_t> asked;    // requests each authority of the list received
    std::optional<int64_t> offset;  // of the winning answer; nullopt: the request fails
    milliseconds head_start, whole, at_least, below;
  };
  const milliseconds head(300), whole(6000), none(0), bound(4000);
  // clang-format off
  const Row rows[] = {
      {"the first answers", {good.get(), late.get()}, {1, 0}, 0, kHeadStart, whole, none, bound},
      {"slow; good", {slow1.get(), late.get()}, {1, 1}, 7200, head, whole, none, bound},
      {"refused: the next at once, not after the head start", {refuses.get(), late.get()}, {1, 1},
       7200, milliseconds(20'000), milliseconds(30'000), none, milliseconds(10'000)},
      {"slow; slow; slow; good", {slow1.get(), slow2.get(), slow3.get(), good.get()}, {1, 1, 1, 1},
       0, head, whole, none, bound},
      {"the budget ends the request", {slow1.get(), slow2.get(), slow3.get()}, {1, 1, 1},
       std::nullopt, head, milliseconds(1500), milliseconds(1400), bound},
  };
  // clang-format on
  int64_t t = -7;  // the trust store is built before the first row
  ASSERT_EQ(RequestTimeStamp(good->TsaUrl().c_str(), &t), 1);
  for (const Row& row : rows) {
    std::string urls;
    std::vector<uint64_t> before;
    for (DevServer* server : row.list) {
      if (!urls.empty())
        urls += ';';
      urls += server->TsaUrl();
      before.push_back(server->tsa()->requests());
    }
    settings_.WriteTimeStampUrl(urls);
    SetTimeStampBudgetsForTesting(row.whole, row.whole, row.head_start);
    ForgetLastAnsweringAuthorityForTesting();  // each row as in a fresh process
    const auto start = std::chrono::steady_clock::now();
    const int rc = GetTimeStampTime(&t);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(rc != 0, row.offset.has_value()) << row.what;
    if (row.offset) {
      EXPECT_LE(std::abs(t - (CurrentTime() + *row.offset)), 2) << row.what;
    }
    for (size_t i = 0; i < row.list.size(); ++i)
      EXPECT_EQ(row.list[i]->tsa()->requests() - before[i], row.asked[i]) << row.what << " #" << i;
    EXPECT_GE(waited, row.at_least) << row.what;
    EXPECT_LT(waited, row.below) << row.what;
  }
}

}  // namespace
}  // namespace brevalt
