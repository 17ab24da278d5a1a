#include "engine/cert_validity.h"

#include <gtest/gtest.h>

#include "engine/local_time.h"
#include "fakes/fake_tavik.h"
#include "tavik/tavik_handles.h"
#include "platform/time_convert.h"
#include "support/scoped_env.h"

namespace brevalt {
namespace {

using testing::ScopedEnv;

constexpr int64_t kNow = 1700000000;  // 2023-11-14 22:13:20 UTC

class CertValidityTest : public fake::FakeTavikTest {
 protected:
  // A fake certificate whose end of validity is `end`, written the way the
  // PKI library writes it: fourteen digits of local time.
  UniqueCert CertEndingAt(int64_t end) {
    const std::string bytes = "cert-" + std::to_string(end);
    fake::RegisterCert(bytes, {{{31, FormatLocal(end, "%Y%m%d%H%M%S")}}, {}});
    return UniqueCert(
        TavikPKICertNewCert(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
  }
};

TEST_F(CertValidityTest, ValidUntilOneHourPastTheEndInEveryTimeZone) {
  for (const char* zone : {"UTC", "Asia/Shanghai", "America/New_York"}) {
    ScopedEnv tz("TZ", zone);
    EXPECT_TRUE(IsCertStillValid(CertEndingAt(kNow + 86400).get(), kNow)) << zone;
    EXPECT_TRUE(IsCertStillValid(CertEndingAt(kNow).get(), kNow)) << zone;
    EXPECT_TRUE(IsCertStillValid(CertEndingAt(kNow - 3599).get(), kNow)) << zone;
    EXPECT_FALSE(IsCertStillValid(CertEndingAt(kNow - 3600).get(), kNow)) << zone;
    EXPECT_FALSE(IsCertStillValid(CertEndingAt(kNow - 86400).get(), kNow)) << zone;
  }
}

TEST_F(CertValidityTest, UnreadableEndOfValidityIsInvalid) {
  struct Row {
    const char* name;
    std::optional<std::string> text;  // nullopt: the attribute is absent
  };
  const Row rows[] = {
      {"absent", std::nullopt},       {"empty", ""},
      {"letters", "2030ABCD000000"},  {"short", "2030"},
      {"month 13", "20301301000000"}, {"hour 24", "20301201240000"},
  };
  for (const Row& row : rows) {
    const std::string bytes = std::string("cert-") + row.name;
    fake::CertScript script;
    if (row.text)
      script.attributes[31] = *row.text;
    fake::RegisterCert(bytes, script);
    UniqueCert cert(
        TavikPKICertNewCert(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    EXPECT_FALSE(IsCertStillValid(cert.get(), kNow)) << row.name;
  }
}

TEST(ParseCertTime, NullTextLeavesTheTimeAlone) {
  int64_t time = 42;
  EXPECT_EQ(ParseCertTime(nullptr, &time), 1);
  EXPECT_EQ(time, 42);
}

TEST(ParseCertTime, DigitsAreLocalTimeAndTrailingTextIsIgnored) {
  ScopedEnv tz("TZ", "Asia/Shanghai");
  int64_t time = 0;
  EXPECT_EQ(ParseCertTime("20171220162253Z", &time), 0);
  EXPECT_EQ(time, 1513758173);  // 2017-12-20 08:22:53 UTC
  EXPECT_EQ(ParseCertTime("2017122016225", &time), 2);
  EXPECT_EQ(time, 1513758173);
}

TEST(FormatLocalTime, WritesLocalTimeOfTheMachine) {
  {
    ScopedEnv tz("TZ", "Asia/Shanghai");
    EXPECT_EQ(FormatLocalTime(1513758173), u"2017-12-20 16:22:53");
    EXPECT_EQ(FormatLocalTime(0), u"1970-01-01 08:00:00");
  }
  {
    ScopedEnv tz("TZ", "UTC");
    EXPECT_EQ(FormatLocalTime(1513758173), u"2017-12-20 08:22:53");
  }
  {
    ScopedEnv tz("TZ", "America/New_York");  // daylight saving in July
    EXPECT_EQ(FormatLocalTime(1500000000), u"2017-07-13 22:40:00");
  }
}

}  // namespace
}  // namespace brevalt
