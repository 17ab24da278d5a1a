#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "tavik/pki/test_certs.h"
#include "tavik/tavik_handles.h"
#include "tavik/tavik_pki.h"

namespace brevalt {
namespace {

using testing::MakeTestCertDer;
using testing::TestCertSpec;

const std::string kName = "张三";
const std::string kUnit = "北京市某某建设工程有限公司";

UniqueCert CertFromText(const std::string& text) {
  return UniqueCert(TavikPKICertNewCert(reinterpret_cast<const unsigned char*>(text.data()),
                                        static_cast<int>(text.size())));
}

UniqueCert CertFromDer(const std::vector<unsigned char>& der) {
  return UniqueCert(TavikPKICertNewCert(der.data(), static_cast<int>(der.size())));
}

// The attribute's text, or nullopt when the library reports failure.
std::optional<std::string> Attribute(TAVIK_CERT_st* cert, int id) {
  char* text = nullptr;
  if (TavikPKICertGetCertStringAttribute(cert, id, &text) != 1) {
    EXPECT_EQ(text, nullptr) << "a failed call must leave *text untouched";
    return std::nullopt;
  }
  UniqueLibBuffer<char> owner(text);
  return std::string(text);
}

// Sets TZ for the lifetime of the object and restores the previous value.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) {
      saved_ = old;
    }
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};

class PkiCert : public ::testing::Test {
 protected:
  void SetUp() override {
    der_ = MakeTestCertDer({kName, kUnit, 1909067400});  // 2030-06-30 16:30:00 UTC
    ASSERT_FALSE(der_.empty());
  }
  std::vector<unsigned char> der_;
};

TEST_F(PkiCert, ChineseNamesComeBackAsUtf8) {
  UniqueCert cert = CertFromDer(der_);
  ASSERT_TRUE(cert);
  EXPECT_EQ(Attribute(cert.get(), TAVIK_CERT_ATTR_SUBJECT_NAME), kName);
  EXPECT_EQ(Attribute(cert.get(), TAVIK_CERT_ATTR_SUBJECT_CN), kName);
  EXPECT_EQ(Attribute(cert.get(), TAVIK_CERT_ATTR_SUBJECT_ORG), kUnit);
  EXPECT_EQ(Attribute(cert.get(), 17), std::nullopt);
}

TEST_F(PkiCert, EndOfValidityIsLocalTimeDigits) {
  UniqueCert cert = CertFromDer(der_);
  ASSERT_TRUE(cert);
  {
    ScopedTimeZone zone("Asia/Shanghai");
    EXPECT_EQ(Attribute(cert.get(), TAVIK_CERT_ATTR_NOT_AFTER_LOCAL), "20300701003000");
  }
  {
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(Attribute(cert.get(), TAVIK_CERT_ATTR_NOT_AFTER_LOCAL), "20300630163000");
  }
}

TEST_F(PkiCert, AbsentEntriesFailAndLeaveTextUntouched) {
  UniqueCert no_org = CertFromDer(MakeTestCertDer({kName, "", 0}));
  UniqueCert no_cn = CertFromDer(MakeTestCertDer({"", kUnit, 0}));
  ASSERT_TRUE(no_org && no_cn);
  char sentinel = 'x';
  char* text = &sentinel;
  EXPECT_NE(TavikPKICertGetCertStringAttribute(no_org.get(), TAVIK_CERT_ATTR_SUBJECT_ORG, &text),
            1);
  EXPECT_NE(TavikPKICertGetCertStringAttribute(no_cn.get(), TAVIK_CERT_ATTR_SUBJECT_CN, &text), 1);
  EXPECT_NE(TavikPKICertGetCertStringAttribute(nullptr, TAVIK_CERT_ATTR_SUBJECT_CN, &text), 1);
  EXPECT_EQ(text, &sentinel);
}

TEST_F(PkiCert, NameWithEmbeddedNulIsRefused) {
  UniqueCert cert = CertFromDer(MakeTestCertDer({std::string("Bob\0Eve", 7), kUnit, 0}));
  ASSERT_TRUE(cert);
  EXPECT_EQ(Attribute(cert.get(), TAVIK_CERT_ATTR_SUBJECT_CN), std::nullopt);
}

TEST_F(PkiCert, AcceptsDerPemAndBase64WithLineBreaks) {
  std::string flattened = testing::DerToPem(der_);  // as an XML parser condenses it
  std::replace(flattened.begin(), flattened.end(), '\n', ' ');
  const std::string inputs[] = {
      testing::DerToPem(der_),
      "junk before\r\n" + testing::DerToPem(der_) + "junk after",
      flattened,
      "-----BEGIN CERTIFICATE-----" + testing::ToBase64(der_, 1000000, "") +
          "-----END CERTIFICATE-----",
      testing::ToBase64(der_, 1000000, ""),
      testing::ToBase64(der_, 64, "\r\n"),
      testing::ToBase64(der_, 76, "\n"),
      " " + testing::ToBase64(der_, 10, " \t"),
  };
  for (const std::string& input : inputs) {
    UniqueCert cert = CertFromText(input);
    ASSERT_TRUE(cert) << input;
    EXPECT_EQ(Attribute(cert.get(), TAVIK_CERT_ATTR_SUBJECT_ORG), kUnit);
  }
}

TEST_F(PkiCert, RefusesAnythingElse) {
  std::vector<unsigned char> truncated(der_.begin(), der_.end() - 1);
  std::vector<unsigned char> trailing = der_;
  trailing.push_back(0);
  const std::string b64 = testing::ToBase64(der_, 64, "\n");
  const std::string bad_texts[] = {
      "",
      "hello",
      "MIIB",
      b64 + "!",
      b64.substr(0, b64.size() - 2),
      "-----BEGIN CERTIFICATE-----\nAAAA\n-----END CERTIFICATE-----\n",
      "-----BEGIN CERTIFICATE-----\n" + b64,  // no end line
      "-----BEGIN CERTIFICATE-----\n" + b64 + "x-----END CERTIFICATE-----\n"};
  EXPECT_FALSE(CertFromDer(truncated));
  EXPECT_FALSE(CertFromDer(trailing));
  for (const std::string& text : bad_texts) {
    EXPECT_FALSE(CertFromText(text)) << text;
  }
  EXPECT_EQ(TavikPKICertNewCert(nullptr, 10), nullptr);
  EXPECT_EQ(TavikPKICertNewCert(der_.data(), -1), nullptr);
}

TEST_F(PkiCert, KeepsItsOwnCopyAndDuplicatesAreIndependent) {
  std::vector<unsigned char> bytes = der_;
  UniqueCert cert = CertFromDer(bytes);
  bytes.assign(bytes.size(), 0);  // the caller's bytes may go at once
  ASSERT_TRUE(cert);
  UniqueCert copy(TavikPKICertDupCert(cert.get()));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy.get(), cert.get());
  cert.reset();
  EXPECT_EQ(Attribute(copy.get(), TAVIK_CERT_ATTR_SUBJECT_NAME), kName);
  EXPECT_EQ(TavikPKICertDupCert(nullptr), nullptr);
  TavikPKICertFreeCert(nullptr);
}

TEST_F(PkiCert, Base64FormRoundTripsThroughNewCert) {
  UniqueCert cert = CertFromDer(der_);
  unsigned char* data = nullptr;
  int length = 0;
  ASSERT_EQ(TavikPKICertGetCertEncode(cert.get(), TAVIK_CERT_ENCODE_BASE64, &data, &length), 1);
  UniqueLibBuffer<unsigned char> owner(data);
  const std::string text(reinterpret_cast<char*>(data), static_cast<size_t>(length));
  EXPECT_EQ(text, testing::ToBase64(der_, 1000000, ""));
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  UniqueCert again = CertFromText(text);
  ASSERT_TRUE(again);
  EXPECT_EQ(Attribute(again.get(), TAVIK_CERT_ATTR_SUBJECT_ORG), kUnit);

  unsigned char* other = nullptr;
  for (int form : {0, 1, 3}) {
    EXPECT_NE(TavikPKICertGetCertEncode(cert.get(), form, &other, &length), 1) << form;
  }
  EXPECT_EQ(other, nullptr);
}

}  // namespace
}  // namespace brevalt
