#include "timestamp/time_stamp_client.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/settings.h"
#include "fakes/fake_tavik.h"
#include "platform/time_convert.h"
#include "support/scoped_settings.h"

namespace brevalt {
namespace {

using testing::ScopedEnv;
using testing::ScopedSettings;
using Urls = std::vector<std::string>;

constexpr int64_t kInstant = 1513758173;          // 2017-12-20 08:22:53 UTC
constexpr const char* kTime = "20171220082253Z";  // the same instant as genTime
constexpr int64_t kUntouched = -7;
const std::string kDefaultUrl = "http://timestamp.digicert.com";
const std::string kFirst = "http://first.test/tsa";
const std::string kSecond = "http://second.test/tsa";

// An answer granted at this time; edit picks a field to change.
fake::TsaScript Answer(const char* time = kTime,
                       const std::function<void(fake::TsaScript&)>& edit = {}) {
  fake::TsaScript script;
  script.time = time;
  if (edit)
    edit(script);
  return script;
}

class TimeStampClientTest : public fake::FakeTavikTest {
 protected:
  void SetUp() override {
    FakeTavikTest::SetUp();
    ForgetLastAnsweringAuthorityForTesting();
  }
  // GetTimeStampTime; returns its result, the time in time_.
  int Get() { return GetTimeStampTime(&time_); }

  ScopedSettings settings_;
  int64_t time_ = kUntouched;
};

TEST_F(TimeStampClientTest, FirstAnsweringAuthorityWinsAndLaterOnesAreNotAsked) {
  settings_.WriteTimeStampUrl(kFirst + ";" + kSecond);
  fake::ScriptTsa(kFirst, Answer());
  fake::ScriptTsa(kSecond, Answer("20200101000000Z"));
  ASSERT_NE(Get(), 0);
  EXPECT_EQ(time_, kInstant);
  EXPECT_EQ(fake::TsaUrlsAsked(), Urls{kFirst});
}

TEST_F(TimeStampClientTest, FailingAuthorityIsFollowedByTheNextOne) {
  settings_.WriteTimeStampUrl(kFirst + ";" + kSecond);
  fake::ScriptTsa(kFirst, Answer(kTime, [](auto& a) { a.response_result = 0; }));
  fake::ScriptTsa(kSecond, Answer());
  ASSERT_NE(Get(), 0);
  EXPECT_EQ(time_, kInstant);
  EXPECT_EQ(fake::TsaUrlsAsked(), (Urls{kFirst, kSecond}));
}

// The trusted time always asks in list order; the receipt goes first to the
// authority that gave the last trusted time.
TEST_F(TimeStampClientTest, ListOrderHoldsAfterAHiccupAndTheReceiptFollowsTheWinner) {
  settings_.WriteTimeStampUrl(kFirst + ";" + kSecond);
  fake::ScriptTsa(kFirst, Answer(kTime, [](auto& a) { a.response_result = 0; }));
  fake::ScriptTsa(kSecond, Answer());
  ASSERT_NE(Get(), 0);
  std::vector<unsigned char> answer;
  ASSERT_NE(RequestTimeStampAnswer("log", &answer), 0);
  EXPECT_EQ(fake::TsaUrlsAsked(), (Urls{kFirst, kSecond, kSecond}));
  fake::ScriptTsa(kFirst, Answer());  // the first one is back
  ASSERT_NE(Get(), 0);
  EXPECT_EQ(fake::TsaUrlsAsked(), (Urls{kFirst, kSecond, kSecond, kFirst}));
}

TEST_F(TimeStampClientTest, EveryAuthorityFailingFailsWithoutAskingTheDefault) {
  settings_.WriteTimeStampUrl(kFirst + ";" + kSecond);
  fake::ScriptTsa(kFirst, Answer(kTime, [](auto& a) { a.status = 2; }));
  fake::ScriptTsa(kSecond, Answer(kTime, [](auto& a) { a.no_time = true; }));
  EXPECT_EQ(Get(), 0);
  EXPECT_EQ(time_, kUntouched);
  EXPECT_EQ(fake::TsaUrlsAsked(), (Urls{kFirst, kSecond}));
}

// ";" gives one empty entry: it is tried (and fails), the default is not asked.
TEST_F(TimeStampClientTest, SemicolonAloneTriesOneEmptyEntryOnly) {
  settings_.WriteTimeStampUrl(";");
  fake::ScriptTsa("", Answer(kTime, [](auto& a) { a.set_tsa_result = 0; }));
  EXPECT_EQ(Get(), 0);
  EXPECT_EQ(time_, kUntouched);
  const std::vector<std::string> set_tsa = fake::Calls("TavikPKIMsgTimeStampSetTSA");
  EXPECT_EQ(set_tsa.size(), 1u) << fake::CallLog();
  EXPECT_EQ(fake::TsaUrlsAsked(), Urls{});
}

TEST_F(TimeStampClientTest, EmptyEntryBetweenUrlsIsSkippedByItsFailure) {
  settings_.WriteTimeStampUrl(";" + kSecond);
  fake::ScriptTsa("", Answer(kTime, [](auto& a) { a.set_tsa_result = 0; }));
  fake::ScriptTsa(kSecond, Answer());
  ASSERT_NE(Get(), 0);
  EXPECT_EQ(time_, kInstant);
  EXPECT_EQ(fake::CallCount("TavikPKIMsgTimeStampSetTSA"), 2);
}

TEST_F(TimeStampClientTest, NoUrlSettingAsksTheDefaultAuthority) {
  const std::string settings[] = {
      "",                               // no file content at all
      "[WorkingDir]\r\npath=/tmp\r\n",  // no section
      "[TimeStampURL]\r\n",             // no key
      "[TimeStampURL]\r\nurl=\r\n",     // empty value
      "[timestampurl]\r\nURL=   \r\n",  // blanks only
  };
  for (const std::string& content : settings) {
    fake::Reset();
    settings_.Write(content);
    fake::ScriptTsa(kDefaultUrl, Answer());
    time_ = kUntouched;
    EXPECT_NE(Get(), 0) << content;
    EXPECT_EQ(time_, kInstant) << content;
    EXPECT_EQ(fake::TsaUrlsAsked(), Urls{kDefaultUrl}) << content;
  }
}

// A value that cannot be read asks nobody, least of all the default.
TEST_F(TimeStampClientTest, UnreadableUrlSettingAsksNoAuthority) {
  settings_.WriteTimeStampUrl("http://a/" + std::string(kMaxSettingLength, 'a'));
  fake::ScriptTsa(kDefaultUrl, Answer());
  std::vector<std::string> failures;
  EXPECT_EQ(GetTimeStampTime(&time_, &failures), 0);
  EXPECT_EQ(fake::TsaUrlsAsked(), Urls{});
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("[TimeStampURL] url cannot be read"), std::string::npos);
}

TEST_F(TimeStampClientTest, MissingSettingsFileAsksTheDefaultAuthority) {
  ASSERT_NE(Get(), 0);
  EXPECT_EQ(fake::TsaUrlsAsked(), Urls{kDefaultUrl});
}

TEST_F(TimeStampClientTest, AcceptsOnlyGrantedAnswersWithTimeAndToken) {
  struct Row {
    const char* what;
    fake::TsaScript script;
    bool ok;
  };
  const Row rows[] = {
      {"granted", Answer(), true},
      {"granted with modifications", Answer(kTime, [](auto& a) { a.status = 1; }), true},
      {"rejection", Answer(kTime, [](auto& a) { a.status = 2; }), false},
      {"waiting", Answer(kTime, [](auto& a) { a.status = 3; }), false},
      {"negative status", Answer(kTime, [](auto& a) { a.status = -1; }), false},
      {"exchange failed", Answer(kTime, [](auto& a) { a.response_result = 0; }), false},
      {"no time", Answer(kTime, [](auto& a) { a.no_time = true; }), false},
      {"unreadable time", Answer("2017-12-20 08:22:53"), false},
      {"invalid time", Answer("20171320082253Z"), false},
      {"no token", Answer(kTime, [](auto& a) { a.token = std::nullopt; }), false},
      {"empty token", Answer(kTime, [](auto& a) { a.token = ""; }), false},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::ScriptTsa(kFirst, row.script);
    int64_t t = kUntouched;
    EXPECT_EQ(RequestTimeStamp(kFirst.c_str(), &t), row.ok ? 1 : 0) << row.what;
    EXPECT_EQ(t, row.ok ? kInstant : kUntouched) << row.what;
    EXPECT_TRUE(fake::AllReleased()) << row.what << "\n" << fake::Outstanding();
  }
}

// A failure at any library step fails the request and releases everything.
TEST_F(TimeStampClientTest, LibraryFailureAtAnyStepReleasesEverything) {
  struct Row {
    const char* function;
    bool null_pointer;  // ReturnNull instead of SetResult(0)
  };
  const Row rows[] = {
      {"TavikPKICryptoGetPseudoDevice", true},
      {"TavikPKICryptoNewHash", true},
      {"TavikPKICryptoHashUpdate", false},
      {"TavikPKICryptoHashFinal", false},
      {"TavikPKIMsgNewTimeStamp", true},
      {"TavikPKIMsgTimeStampSetTSA", false},
      {"TavikPKIMsgTimeStampSetHashAlgorithm", false},
      {"TavikPKIMsgTimeStampSetMessageImprint", false},
      {"TavikPKIMsgTimeStampSetTimeout", false},
      {"TavikPKIMsgTimeStampGetResponse", false},
      {"TavikPKIMsgTimeStampGetTime", true},
      {"TavikPKIMsgTimeStampGetTimeStampToken", false},
  };
  for (const Row& row : rows) {
    fake::Reset();
    if (row.null_pointer)
      fake::ReturnNull(row.function);
    else
      fake::SetResult(row.function, 0);
    int64_t t = kUntouched;
    EXPECT_EQ(RequestTimeStamp(kFirst.c_str(), &t), 0) << row.function;
    EXPECT_EQ(t, kUntouched) << row.function;
    EXPECT_TRUE(fake::AllReleased()) << row.function << "\n" << fake::Outstanding();
  }
}

// The library sees the request in this order, and each buffer goes back as
// soon as it is no longer needed (the device right after the hash exists).
TEST_F(TimeStampClientTest, RequestRunsTheLibraryStepsInOrder) {
  ASSERT_EQ(RequestTimeStamp(kFirst.c_str(), &time_), 1);
  const std::vector<std::string> expected = {
      "TavikPKICryptoGetPseudoDevice",
      "TavikPKICryptoNewHash algorithm=8192",
      "TavikPKICryptoFreeDevice",
      "TavikPKICryptoHashUpdate len=80",
      "TavikPKICryptoHashFinal",
      "TavikPKICryptoFreeHash",
      "TavikPKIMsgNewTimeStamp",
      "TavikPKIMsgTimeStampSetTSA url=" + kFirst,
      "TavikPKIMsgTimeStampSetHashAlgorithm algorithm=8192",
      "TavikPKIMsgTimeStampSetMessageImprint len=32",
      "TavikPKICryptoFreeMemory",
      "TavikPKIMsgTimeStampSetTimeout ms=15000",
      "TavikPKIMsgTimeStampGetResponse url=" + kFirst,
      "TavikPKIMsgTimeStampGetTime",
      "TavikPKICryptoFreeMemory",
      "TavikPKIMsgTimeStampGetTimeStampToken",
      "TavikPKICryptoFreeMemory",
      "TavikPKIMsgFreeTimeStamp",
  };
  EXPECT_EQ(fake::Calls(), expected) << fake::CallLog();
}

// The authority's time is UTC: the instant is the same on every computer and
// is shown in the computer's own local time.
TEST_F(TimeStampClientTest, AuthorityTimeIsTheSameInstantInEveryZone) {
  settings_.WriteTimeStampUrl(kFirst);
  fake::ScriptTsa(kFirst, Answer());
  for (const char* zone : {"UTC", "Asia/Shanghai", "America/New_York"}) {
    ScopedEnv tz("TZ", zone);
    time_ = kUntouched;
    ASSERT_NE(Get(), 0) << zone;
    EXPECT_EQ(time_, kInstant) << zone;
  }
  ScopedEnv tz("TZ", "Asia/Shanghai");
  EXPECT_EQ(FormatLocal(time_, "%Y-%m-%d %H:%M:%S"), "2017-12-20 16:22:53");
}

TEST_F(TimeStampClientTest, NullArgumentsFailWithoutTouchingTheLibrary) {
  EXPECT_EQ(RequestTimeStamp(nullptr, &time_), 0);
  EXPECT_EQ(RequestTimeStamp(kFirst.c_str(), nullptr), 0);
  EXPECT_EQ(GetTimeStampTime(nullptr), 0);
  EXPECT_FALSE(fake::AnyCall());
}

}  // namespace
}  // namespace brevalt
