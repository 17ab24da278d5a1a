#include "timestamp/may_open.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "fakes/fake_tavik.h"
#include "support/scoped_settings.h"

namespace brevalt {
namespace {

using testing::ScopedEnv;
using testing::ScopedSettings;

constexpr int64_t kOpenCheckInstant = 1513758173;  // 2017-12-20 08:22:53 UTC

TEST(ReadOpenTimeFields, ReadsSixIntegersSeparatedByOneCharacterEach) {
  struct Row {
    const char* text;
    CalendarFields fields;
  };
  const Row rows[] = {
      {"2017-12-20 16:22:53", {2017, 12, 20, 16, 22, 53}},
      {"2017/12/20T16.22.53", {2017, 12, 20, 16, 22, 53}},
      {"2017-12-20 16:22:53 and more", {2017, 12, 20, 16, 22, 53}},
      {" 2017-1-2  3:4:5", {2017, 1, 2, 3, 4, 5}},            // blanks before a number are skipped
      {"2017--12-20 16:22:53", {2017, -12, 20, 16, 22, 53}},  // a sign belongs to the number
  };
  for (const Row& row : rows) {
    CalendarFields f;
    ASSERT_TRUE(ReadOpenTimeFields(row.text, &f)) << row.text;
    EXPECT_EQ(f.year, row.fields.year) << row.text;
    EXPECT_EQ(f.month, row.fields.month) << row.text;
    EXPECT_EQ(f.day, row.fields.day) << row.text;
    EXPECT_EQ(f.hour, row.fields.hour) << row.text;
    EXPECT_EQ(f.minute, row.fields.minute) << row.text;
    EXPECT_EQ(f.second, row.fields.second) << row.text;
  }
}

TEST(ReadOpenTimeFields, FailsWithoutSixIntegers) {
  for (const char* text :
       {"", "2017-12-20", "2017-12-20 16:22", "2017-12-20 16:22:", "20171220162253",
        "2017-12-20 16::53", "2017--20 16:22:53", "date 2017-12-20 16:22:53",
        "2017-12-20 16:22:99999999999", "2017-12-20 16:22:-"}) {
    CalendarFields f;
    EXPECT_FALSE(ReadOpenTimeFields(text, &f)) << '"' << text << '"';
  }
}

// The open time is local time of this computer; the trusted time an instant.
TEST(JudgeMayOpen, ComparesTheLocalOpenTimeWithTheTrustedInstant) {
  struct Row {
    const char* zone;
    const char16_t* open_time;
    StepState expected;
  };
  const Row rows[] = {
      {"Asia/Shanghai", u"2017-12-20 16:22:53", StepPassed},  // equal
      {"Asia/Shanghai", u"2017-12-20 16:22:52", StepPassed},  // one second before
      {"Asia/Shanghai", u"2016-01-01 00:00:00", StepPassed},
      {"Asia/Shanghai", u"2017-12-20 16:22:54", StepFailed},  // one second after
      {"Asia/Shanghai", u"2017-12-20 17:22:53", StepFailed},  // 3600 seconds after
      {"America/New_York", u"2017-12-20 03:22:53", StepPassed},
      {"America/New_York", u"2017-12-20 03:22:54", StepFailed},
      {"UTC", u"2017-12-20 08:22:53", StepPassed},
      {"UTC", u"2017-12-20 16:22:53", StepFailed},
  };
  for (const Row& row : rows) {
    ScopedEnv tz("TZ", row.zone);
    EXPECT_EQ(JudgeMayOpen(row.open_time, kOpenCheckInstant), row.expected)
        << row.zone << " " << std::string(row.open_time, row.open_time + 19);
  }
}

TEST(JudgeMayOpen, UnreadableOpenTimeIsUnknown) {
  ScopedEnv tz("TZ", "Asia/Shanghai");
  const std::u16string texts[] = {
      u"",
      std::u16string(1, u'\0') + u"2017-12-20 16:22:53",  // empty as ANSI text
      u"2017-12-20",
      u"not a time",
      u"2017年12月20日 16:22:53",  // separators of more than one byte
      u"2017-13-20 16:22:53",      // month 13
      u"2017--12-20 16:22:53",     // month -12
      u"1899-12-31 23:59:59",      // before 1900
      u"2017-12-20 24:00:00",
  };
  for (const std::u16string& text : texts) {
    EXPECT_EQ(JudgeMayOpen(text, kOpenCheckInstant), StepUnknown) << text.size();
  }
}

TEST(JudgeMayOpen, DayPastTheMonthEndRollsOver) {
  ScopedEnv zone("TZ", "UTC");
  const int64_t may_first = 1493596800;  // 2017-05-01 00:00:00 UTC
  EXPECT_EQ(JudgeMayOpen(u"2017-04-31 00:00:00", may_first), StepPassed);
  EXPECT_EQ(JudgeMayOpen(u"2017-04-31 00:00:01", may_first), StepFailed);
}

class DecideMayOpenTest : public fake::FakeTavikTest {
 protected:
  ScopedSettings settings_;
  ScopedEnv tz_{"TZ", "Asia/Shanghai"};
};

TEST_F(DecideMayOpenTest, StoresTheDecisionAgainstAFreshTrustedTime) {
  settings_.WriteTimeStampUrl("http://tsa.test/");
  fake::TsaScript answer;
  answer.time = "20171220082253Z";
  fake::ScriptTsa("http://tsa.test/", answer);
  struct Row {
    const char16_t* open_time;
    StepState expected;
  };
  const Row rows[] = {
      {u"2017-12-20 16:22:53", StepPassed},
      {u"2017-12-20 16:22:54", StepFailed},
      {u"2017-12-20 17:22:53", StepFailed},
  };
  int requests = 0;
  for (const Row& row : rows) {
    CVerifyResult result;
    result.OpenTime = row.open_time;
    EXPECT_EQ(DecideMayOpen(result), row.expected);
    EXPECT_EQ(result.MayOpen, row.expected);
    EXPECT_EQ(fake::TsaUrlsAsked().size(), static_cast<size_t>(++requests))
        << "a new request each time";
  }
}

// A fresh anchor answers with its time plus the time elapsed since, without
// a request; an old one is renewed by one request, whose answer then serves.
TEST_F(DecideMayOpenTest, ReadsTheAnchorAndRenewsAnOldOne) {
  using std::chrono::seconds;
  settings_.WriteTimeStampUrl("http://tsa.test/");
  fake::ScriptTsa("http://tsa.test/", {.time = "20171220082253Z"});  // kOpenCheckInstant
  const auto now = CTrustedAnchor::Clock::now();
  CVerifyResult result;
  result.OpenTime = u"2017-12-20 16:22:53";  // kOpenCheckInstant
  result.TrustedAnchor.Set(kOpenCheckInstant - 60, now - seconds(60));
  EXPECT_EQ(DecideMayOpen(result), StepPassed);
  result.TrustedAnchor.Set(kOpenCheckInstant - 60, now - seconds(30));
  EXPECT_EQ(DecideMayOpen(result), StepFailed);
  EXPECT_TRUE(fake::TsaUrlsAsked().empty());

  result.TrustedAnchor.Set(kOpenCheckInstant - 60, now - kTrustedAnchorMaxAge - seconds(1));
  EXPECT_EQ(DecideMayOpen(result), StepPassed);
  EXPECT_EQ(DecideMayOpen(result), StepPassed);
  EXPECT_EQ(fake::TsaUrlsAsked().size(), 1u);
}

// The anchor's clock runs on through a suspend: a short one moves the
// trusted time by its length, a long one makes an authority be asked again.
TEST_F(DecideMayOpenTest, SuspendMovesTheTrustedTime) {
  using std::chrono::minutes;
  settings_.WriteTimeStampUrl("http://tsa.test/");
  fake::ScriptTsa("http://tsa.test/", {.time = "20171220092253Z"});  // kOpenCheckInstant + 1 hour
  const struct {
    minutes suspend;
    int64_t trusted;
    std::size_t requests;
  } rows[] = {{minutes(2), kOpenCheckInstant + 120, 0}, {minutes(60), kOpenCheckInstant + 3600, 1}};
  for (const auto& row : rows) {
    CTrustedAnchor anchor;
    AnchorTrustedTime(anchor, kOpenCheckInstant);
    MoveBootClockForTesting(row.suspend);
    int64_t trusted = 0;
    ASSERT_NE(TrustedTimeNow(anchor, {}, &trusted), 0);
    EXPECT_NEAR(trusted, row.trusted, 1) << row.suspend.count();
    EXPECT_EQ(fake::TsaUrlsAsked().size(), row.requests) << row.suspend.count();
  }
}

TEST_F(DecideMayOpenTest, EmptyOpenTimeIsUnknown) {
  settings_.WriteTimeStampUrl("http://tsa.test/");
  CVerifyResult result;
  EXPECT_EQ(DecideMayOpen(result), StepUnknown);
  EXPECT_EQ(result.MayOpen, StepUnknown);
  EXPECT_TRUE(fake::TsaUrlsAsked().empty()) << "nothing to decide, so no request";
}

TEST_F(DecideMayOpenTest, NoTrustedTimeIsUnknownWhateverTheOpenTime) {
  settings_.WriteTimeStampUrl("http://tsa.test/");
  fake::TsaScript rejection;
  rejection.status = 2;
  fake::ScriptTsa("http://tsa.test/", rejection);
  CVerifyResult result;
  result.OpenTime = u"2000-01-01 00:00:00";
  EXPECT_EQ(DecideMayOpen(result), StepUnknown);
  EXPECT_EQ(result.MayOpen, StepUnknown);
}

}  // namespace
}  // namespace brevalt
