#include "tavik/pki/ts_response.h"

#include <gtest/gtest.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "support/test_data.h"
#include "tavik/pki/cert_decode.h"
#include "tavik/pki/test_tsa.h"
#include "tavik/pki/ts_trust.h"
#include "tavik/sm2/sm2_signature.h"

namespace brevalt::pki {
namespace {

std::vector<unsigned char> ReadStored(const std::string& name) {
  return testing::ReadTestData("rfc3161/" + name);
}

std::string Hex(const std::vector<unsigned char>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

std::vector<unsigned char> FromHex(const std::string& hex) {
  std::vector<unsigned char> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// A store trusting exactly roots, judging validity at `at` (0: now), as
// `openssl ts -verify -attime` does. partial_chain also lets an intermediate
// CA stand as an anchor (for answers whose root was never published).
StorePtr StoreTrusting(const std::vector<X509*>& roots, time_t at = 0, bool partial_chain = false) {
  StorePtr store(X509_STORE_new());
  for (X509* root : roots) {
    EXPECT_EQ(X509_STORE_add_cert(store.get(), root), 1);
  }
  if (at != 0) {
    X509_VERIFY_PARAM_set_time(X509_STORE_get0_param(store.get()), at);
  }
  if (partial_chain) {
    X509_STORE_set_flags(store.get(), X509_V_FLAG_PARTIAL_CHAIN);
  }
  return store;
}

using X509Ptr = std::unique_ptr<X509, ReleaseWith<X509_free>>;

X509Ptr StoredCert(const std::string& name) {
  const std::vector<unsigned char> bytes = ReadStored(name);
  X509Ptr cert(DecodeCertificate(bytes.data(), bytes.size()));
  EXPECT_TRUE(cert) << name;
  return cert;
}

// genTime of an answer as seconds since 1970.
time_t GenTimeOf(const std::vector<unsigned char>& answer) {
  TimeStampFields fields;
  struct tm utc = {};
  if (ParseTimeStampResponse(answer, &fields) != ResponseCheck::kOk ||
      strptime(fields.gen_time.c_str(), "%Y%m%d%H%M%S", &utc) == nullptr) {
    ADD_FAILURE() << "no genTime";
    return 0;
  }
  return timegm(&utc);
}

constexpr const char* kSha256 = "2.16.840.1.101.3.4.2.1";
constexpr const char* kSha512 = "2.16.840.1.101.3.4.2.3";
const std::string kAdobe = "f487d88164bde223b7fd3c71b3e9c624c8a0cb559c853b49558e7e5ef4ce55f0";
const std::string kHello = "5891b5b522d5df086d0ff0b110fbd9d21bb4fc7163af34d08286a2e846f6be03";

// Answers of real authorities as recorded in the folder's README. The nonce is
// its magnitude (the README's content octets without a leading sign byte).
struct StoredAnswer {
  const char* file;
  const char* gen_time;
  const char* algorithm;
  std::string imprint;
  const char* nonce;  // "" = absent
};

TEST(TsResponseParse, GrantedAnswersOfRealAuthorities) {
  const StoredAnswer answers[] = {
      {"globalsign-adobe-cds-g2_2017_nonce.tsr", "20170419062953Z", kSha256, kAdobe,
       "092ef19ffb5d2ae8"},
      {"globalsign-adobe-cds-g2_2017_nononce.tsr", "20170419062813Z", kSha256, kAdobe, ""},
      {"globalsign-adobe-cds-g2_2017_nocertreq.tsr", "20170419063243Z", kSha256, kAdobe,
       "b1fc81dec95749d9"},
      {"freetsa_2018_sha256.tsr", "20180104165640Z", kSha256,
       "11806c2441295ea697ea96ee4247c0f9c71ee7638863cb8e29cd941a488fcb5a", ""},
      {"freetsa_2024_sha512.tsr", "20240409052939Z", kSha512,
       "ee26b0dd4af7e749aa1a8ee3c10ae9923f618980772e473f8819a5d4940e0db27ac185f8a0e1d5f84f88bc8"
       "87fd67b143732c304cc5fa9ad8e6f57f50028a8ff",
       ""},
      {"symantec-g3_2018.tsr", "20180509182522Z", kSha256, kHello, ""},
      {"digicert-sha2_2018.tsr", "20180509184818Z", kSha256, kHello, ""},
      {"comodo-sha256_2018_nocerts.tsr", "20180509184742Z", kSha256, kHello, ""},
      {"globalsign-standard-g2_2018_nocerts.tsr", "20180509184624Z", kSha256, kHello, ""},
      {"identrust-trustid_2025_sha512.tsr", "20250311085208Z", kSha512,
       "9b71d224bd62f3785d96d46ad3ea3d73319bfbc2890caadae2dff72519673ca72323c3d99ba5c11d7c7acc6"
       "e14b8c5da0c4663475c2e5c3adef46f73bcdec043",
       "75c3b3214ac39fbb"},
      {"drv-qc-root-tsp_2007.tsr", "20071211102159Z", kSha256,
       "5c53418dd3c4c02d4162ec0030430564497a86bbdb40cef27b1175bb48c5c71d", "0116c8b93a59"},
  };
  for (const StoredAnswer& a : answers) {
    SCOPED_TRACE(a.file);
    TimeStampFields fields;
    ASSERT_EQ(ParseTimeStampResponse(ReadStored(a.file), &fields), ResponseCheck::kOk);
    EXPECT_EQ(fields.status, 0);
    EXPECT_EQ(fields.gen_time, a.gen_time);
    EXPECT_EQ(fields.imprint_algorithm, a.algorithm);
    EXPECT_EQ(Hex(fields.imprint), a.imprint);
    EXPECT_EQ(fields.has_nonce, *a.nonce != '\0');
    EXPECT_EQ(Hex(fields.nonce), a.nonce);
    EXPECT_FALSE(fields.token.empty());
  }
}

TEST(TsResponseParse, RejectionsGiveTheirStatusAndNoToken) {
  for (const char* file :
       {"rejection_badalg.tsr", "rejection_baddataformat.tsr", "rejection_unacceptedpolicy.tsr"}) {
    TimeStampFields fields;
    ASSERT_EQ(ParseTimeStampResponse(ReadStored(file), &fields), ResponseCheck::kOk) << file;
    EXPECT_EQ(fields.status, 2) << file;
    EXPECT_TRUE(fields.token.empty()) << file;
    EXPECT_TRUE(fields.gen_time.empty()) << file;
  }
}

TEST(TsResponseParse, NotAResponseIsMalformed) {
  std::vector<unsigned char> answer = ReadStored("globalsign-adobe-cds-g2_2017_nonce.tsr");
  ASSERT_FALSE(answer.empty());
  std::vector<unsigned char> trailing = answer;
  trailing.push_back(0);
  std::vector<unsigned char> truncated(answer.begin(), answer.end() - 1);
  std::vector<unsigned char> outer_tag = answer;
  outer_tag[0] ^= 0x01;
  const std::vector<unsigned char> inputs[] = {
      {},
      trailing,
      truncated,
      outer_tag,
      ReadStored("globalsign-adobe-cds-g2_2017_nonce.tsq"),  // a request
      ReadStored("globalsign-aatl-g2_2017.token.der"),       // a bare token
  };
  for (const auto& input : inputs) {
    EXPECT_EQ(ParseTimeStampResponse(input, nullptr), ResponseCheck::kMalformed);
  }
}

class TsResponseValidate : public ::testing::Test {
 protected:
  void SetUp() override {
    answer_ = ReadStored("globalsign-adobe-cds-g2_2017_nonce.tsr");
    // Adobe's root is not published with the answer: its issuing CA, which
    // the answer carries, stands as the anchor.
    TimeStampFields fields;
    ASSERT_EQ(ParseTimeStampResponse(answer_, &fields), ResponseCheck::kOk);
    const unsigned char* cursor = fields.token.data();
    std::unique_ptr<PKCS7, ReleaseWith<PKCS7_free>> token(
        d2i_PKCS7(nullptr, &cursor, static_cast<long>(fields.token.size())));
    ASSERT_TRUE(token && PKCS7_type_is_signed(token.get()));
    STACK_OF(X509)* carried = token->d.sign->cert;
    for (int i = 0; i < sk_X509_num(carried); ++i) {
      X509* cert = sk_X509_value(carried, i);
      if (X509_check_ca(cert) != 0) {
        ASSERT_FALSE(adobe_issuer_);
        adobe_issuer_.reset(X509_dup(cert));
      }
    }
    ASSERT_TRUE(adobe_issuer_);
    adobe_ca_ = StoreTrusting({adobe_issuer_.get()}, GenTimeOf(answer_), true);
  }
  ResponseCheck Check(const std::vector<unsigned char>& bytes, uint64_t nonce = kNonce,
                      const std::vector<unsigned char>& imprint = FromHex(kAdobe),
                      int nid = NID_sha256, X509_STORE* trusted = nullptr) {
    return ValidateTimeStampResponse(bytes, {nid, imprint, nonce},
                                     trusted != nullptr ? trusted : adobe_ca_.get(), nullptr);
  }
  // Flips the first byte of the first occurrence of needle in answer_.
  std::vector<unsigned char> FlipAt(const std::vector<unsigned char>& needle) {
    std::vector<unsigned char> copy = answer_;
    auto at = std::search(copy.begin(), copy.end(), needle.begin(), needle.end());
    EXPECT_NE(at, copy.end());
    *at ^= 0x01;
    return copy;
  }
  static constexpr uint64_t kNonce = 0x092ef19ffb5d2ae8;
  std::vector<unsigned char> answer_;
  X509Ptr adobe_issuer_;
  StorePtr adobe_ca_;
};

TEST_F(TsResponseValidate, TheAnswerToItsRequestPasses) {
  TimeStampFields fields;
  ASSERT_EQ(ValidateTimeStampResponse(answer_, {NID_sha256, FromHex(kAdobe), kNonce},
                                      adobe_ca_.get(), &fields),
            ResponseCheck::kOk);
  EXPECT_EQ(fields.gen_time, "20170419062953Z");
  const std::vector<unsigned char> identrust = ReadStored("identrust-trustid_2025_sha512.tsr");
  X509Ptr identrust_root = StoredCert("identrust-commercial-root-ca1.crt.der");
  StorePtr published_root = StoreTrusting({identrust_root.get()}, GenTimeOf(identrust));
  EXPECT_EQ(Check(identrust, 0x75c3b3214ac39fbb,
                  FromHex("9b71d224bd62f3785d96d46ad3ea3d73319bfbc2890caadae2dff72519673ca72323c3"
                          "d99ba5c11d7c7acc6e14b8c5da0c4663475c2e5c3adef46f73bcdec043"),
                  NID_sha512, published_root.get()),
            ResponseCheck::kOk);
}

// The same answers, intact and bound to their requests, count for nothing
// when their signer does not chain to a trusted root at the time judged.
TEST_F(TsResponseValidate, AnswersOfUntrustedSignersFail) {
  StorePtr today = StoreTrusting({adobe_issuer_.get()}, 0, true);  // its signer expired in 2018
  EXPECT_EQ(Check(answer_, kNonce, FromHex(kAdobe), NID_sha256, today.get()),
            ResponseCheck::kUntrustedSigner);
  EXPECT_EQ(
      ValidateTimeStampResponse(answer_, {NID_sha256, FromHex(kAdobe), kNonce}, nullptr, nullptr),
      ResponseCheck::kUntrustedSigner);
}

TEST_F(TsResponseValidate, ForeignOrReplayedAnswersFail) {
  std::vector<unsigned char> other_imprint = FromHex(kAdobe);
  other_imprint[31] ^= 0x80;
  EXPECT_EQ(Check(answer_, kNonce + 1), ResponseCheck::kNonceMismatch);
  EXPECT_EQ(Check(answer_, kNonce, other_imprint), ResponseCheck::kImprintMismatch);
  EXPECT_EQ(Check(answer_, kNonce, FromHex(kAdobe), NID_sha384), ResponseCheck::kImprintMismatch);
  EXPECT_EQ(Check(ReadStored("globalsign-adobe-cds-g2_2017_nononce.tsr")),
            ResponseCheck::kNonceMissing);
  // Same imprint, nonce and time, but no certificate to check the signature with.
  EXPECT_EQ(Check(ReadStored("globalsign-adobe-cds-g2_2017_nocertreq.tsr"), 0xb1fc81dec95749d9),
            ResponseCheck::kBadSignature);
}

TEST_F(TsResponseValidate, MangledBytesFail) {
  std::vector<unsigned char> signature_byte = answer_;
  signature_byte[signature_byte.size() - 5] ^= 0x01;  // inside the signature value
  EXPECT_EQ(Check(signature_byte), ResponseCheck::kBadSignature);
  EXPECT_NE(Check(FlipAt(FromHex(kAdobe))), ResponseCheck::kOk);
  EXPECT_NE(Check(FlipAt(FromHex("092ef19ffb5d2ae8"))), ResponseCheck::kOk);
  const std::string gen_time = "20170419062953Z";
  EXPECT_NE(Check(FlipAt({gen_time.begin(), gen_time.end()})), ResponseCheck::kOk);
}

TEST_F(TsResponseValidate, RejectionIsWellFormedWithItsStatus) {
  TimeStampFields fields;
  ASSERT_EQ(ValidateTimeStampResponse(ReadStored("rejection_badalg.tsr"),
                                      {NID_sha256, FromHex(kAdobe), kNonce}, nullptr, &fields),
            ResponseCheck::kOk);
  EXPECT_EQ(fields.status, 2);
}

TEST(TsTokenSignature, TokensWithTheirSignerCertificateVerify) {
  for (const char* file :
       {"globalsign-aatl-g2_2017.token.der", "globalsign-advanced-g4_2021.token.der",
        "microsoft-public-rsa-tsa_2024.token.der"}) {
    std::vector<unsigned char> token = ReadStored(file);
    EXPECT_TRUE(VerifyTokenSignature(token)) << file;
    token[token.size() - 3] ^= 0x01;
    EXPECT_FALSE(VerifyTokenSignature(token)) << file;
  }
}

// Tokens of real authorities chain to the roots their publishers give.
TEST(TsTokenTrust, RealTokensChainToTheirPublishedRoots) {
  struct Row {
    const char* answer;
    const char* root;
  };
  const Row rows[] = {
      {"freetsa_2018_sha256.tsr", "freetsa_cacert.pem"},
      {"freetsa_2024_sha512.tsr", "freetsa_cacert.pem"},
      {"identrust-trustid_2025_sha512.tsr", "identrust-commercial-root-ca1.crt.der"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.answer);
    const std::vector<unsigned char> answer = ReadStored(row.answer);
    TimeStampFields fields;
    ASSERT_EQ(ParseTimeStampResponse(answer, &fields), ResponseCheck::kOk);
    X509Ptr root = StoredCert(row.root);
    StorePtr at_gen_time = StoreTrusting({root.get()}, GenTimeOf(answer));
    EXPECT_TRUE(VerifyTokenTrust(fields.token, at_gen_time.get()));
  }
  // FreeTSA's 2016 signing certificate ran out in March 2026.
  X509Ptr freetsa_root = StoredCert("freetsa_cacert.pem");
  StorePtr now = StoreTrusting({freetsa_root.get()});
  TimeStampFields fields;
  ASSERT_EQ(ParseTimeStampResponse(ReadStored("freetsa_2018_sha256.tsr"), &fields),
            ResponseCheck::kOk);
  EXPECT_FALSE(VerifyTokenTrust(fields.token, now.get()));
}

// Answers bound to the request and intact, signed by every kind of
// certificate: only an authority that chains to a trusted root and is
// certified for time stamping alone, critically, counts.
TEST(TsSignerTrust, OnlyTrustedTimeStampingAuthoritiesCount) {
  using testing::IssueTestCert;
  using testing::Usage;
  const testing::TestIdentity ca = testing::MakeTestCa("Trusted test CA");
  const testing::TestIdentity other_ca = testing::MakeTestCa("Other test CA");
  ASSERT_TRUE(ca.cert && other_ca.cert);
  struct Row {
    const char* what;
    testing::TestIdentity signer;
    const testing::TestIdentity* trusted;  // null: nothing trusted
    ResponseCheck expected;
  };
  Row rows[] = {
      {"trusted authority", IssueTestCert(ca, "TSA", Usage::kTimeStamping), &ca,
       ResponseCheck::kOk},
      {"authority of an untrusted CA", IssueTestCert(ca, "TSA", Usage::kTimeStamping), &other_ca,
       ResponseCheck::kUntrustedSigner},
      {"nothing trusted", IssueTestCert(ca, "TSA", Usage::kTimeStamping), nullptr,
       ResponseCheck::kUntrustedSigner},
      {"no time-stamping usage", IssueTestCert(ca, "Plain", Usage::kNone), &ca,
       ResponseCheck::kUntrustedSigner},
      {"usage not critical", IssueTestCert(ca, "TSA", Usage::kTimeStampingNotCritical), &ca,
       ResponseCheck::kUntrustedSigner},
      {"usage not alone", IssueTestCert(ca, "TSA", Usage::kTimeStampingAndCode), &ca,
       ResponseCheck::kUntrustedSigner},
      {"bidder certificate", IssueTestCert(ca, "张三", Usage::kBidder), &ca,
       ResponseCheck::kUntrustedSigner},
      {"expired authority",
       IssueTestCert(ca, "TSA", Usage::kTimeStamping, std::time(nullptr) - 86400), &ca,
       ResponseCheck::kUntrustedSigner},
  };
  const std::vector<unsigned char> imprint(32, 0x5a);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(row.signer.cert);
    const std::vector<unsigned char> answer =
        testing::ForgeTimeStampResponse(row.signer, {}, {NID_sha256, imprint, 77});
    ASSERT_FALSE(answer.empty());
    StorePtr store =
        StoreTrusting(row.trusted != nullptr ? std::vector<X509*>{row.trusted->cert.get()}
                                             : std::vector<X509*>{});
    EXPECT_EQ(ValidateTimeStampResponse(answer, {NID_sha256, imprint, 77}, store.get(), nullptr),
              row.expected);
  }
}

// SM2-signed answers pass the same binding and trust checks, by our own
// code; the identifier may be the standard one or the empty one, no other.
TEST(TsSignerTrust, Sm2AnswersCountWithTheSameChecks) {
  using testing::IssueTestCert;
  using testing::Usage;
  using C = ResponseCheck;
  const testing::TestIdentity ca = testing::MakeTestCa("SM2 root", true);
  const testing::TestIdentity sub = IssueTestCert(ca, "SM2 sub CA", Usage::kSubCa, 0, true);
  const testing::TestIdentity self_made = testing::MakeTestCa("SM2 root", true);
  struct Row {
    const char* what;
    const testing::TestIdentity* issuer = nullptr;  // null: the trusted root
    Usage usage = Usage::kTimeStamping;
    std::string_view id = sm2::kDefaultId;
    bool gmt = false;
    int digest_nid = NID_sha256;
    C expected = C::kOk;
  };
  const Row rows[] = {
      {.what = "standard identifier"},
      {.what = "empty identifier", .id = ""},
      {.what = "GM/T content type, SM3 imprint", .gmt = true, .digest_nid = NID_sm3},
      {.what = "through an intermediate", .issuer = &sub},
      {.what = "another identifier", .id = "1234567812345679", .expected = C::kBadSignature},
      {.what = "self-made authority", .issuer = &self_made, .expected = C::kUntrustedSigner},
      {.what = "the bidder's SM2 key", .usage = Usage::kBidder, .expected = C::kUntrustedSigner},
      {.what = "usage not critical",
       .usage = Usage::kTimeStampingNotCritical,
       .expected = C::kUntrustedSigner},
  };
  StorePtr store = StoreTrusting({ca.cert.get()});
  const std::vector<unsigned char> imprint(32, 0x5a);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const testing::TestIdentity& issuer = row.issuer != nullptr ? *row.issuer : ca;
    const testing::TestIdentity signer = IssueTestCert(issuer, "TSA", row.usage, 0, true);
    ASSERT_TRUE(signer.cert);
    std::vector<X509*> extra;
    if (row.issuer == &sub) {
      extra.push_back(sub.cert.get());
    }
    const std::vector<unsigned char> answer = testing::ForgeSm2TimeStampResponse(
        signer, extra, {row.digest_nid, imprint, 77}, row.id, row.gmt);
    EXPECT_EQ(
        ValidateTimeStampResponse(answer, {row.digest_nid, imprint, 77}, store.get(), nullptr),
        row.expected);
  }
}

}  // namespace
}  // namespace brevalt::pki
