#include "fakes/fake_tavik.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "tavik/tavik_bid_rules_file.h"
#include "tavik/tavik_handles.h"
#include "tavik/tavik_pki.h"
#include "tavik/tavik_pki_ui.h"
#include "tavik/tavik_secret_file.h"

namespace brevalt {
namespace {

const unsigned char* Bytes(const std::string& text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

UniqueCert NewCert(const std::string& bytes) {
  return UniqueCert(TavikPKICertNewCert(Bytes(bytes), static_cast<int>(bytes.size())));
}

// An attribute text, or "<absent>" when the library refuses it.
std::string Attribute(TAVIK_CERT_st* cert, int id) {
  char* text = nullptr;
  if (TavikPKICertGetCertStringAttribute(cert, id, &text) != 1)
    return "<absent>";
  UniqueLibBuffer<char> owned(text);
  return owned.get();
}

std::string Hex(const unsigned char* data, int length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (int i = 0; i < length; ++i) {
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 15];
  }
  return text;
}

// Leak checks that are expected to fail: these tests reset by hand.
class FakeAccounting : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
  void TearDown() override { fake::Reset(); }
};

TEST_F(FakeAccounting, UnreturnedCertificateIsNamedWithItsOrigin) {
  TAVIK_CERT_st* cert = TavikPKICertNewCert(Bytes("XYZ"), 3);
  ASSERT_NE(cert, nullptr);
  EXPECT_FALSE(fake::AllReleased());
  EXPECT_NE(
      fake::Outstanding().find("not returned: certificate #1 from \"TavikPKICertNewCert len=3\""),
      std::string::npos)
      << fake::Outstanding();
  EXPECT_NONFATAL_FAILURE(fake::ExpectAllReleased(), "not returned: certificate #1");
  TavikPKICertFreeCert(cert);
  EXPECT_TRUE(fake::AllReleased()) << fake::Outstanding();
}

TEST_F(FakeAccounting, UnreturnedBufferAndUnreleasedHandlesAreReported) {
  fake::RegisterCert("XYZ", {.attributes = {{16, "name"}}});
  UniqueCert cert = NewCert("XYZ");
  char* text = nullptr;
  ASSERT_EQ(TavikPKICertGetCertStringAttribute(cert.get(), 16, &text), 1);
  CTavikFileDecryptor* container = nullptr;
  ASSERT_EQ(TavikSecretFileDecryptorCreateHandle(&container, "/x/y.bidx"), 0);
  CTavikBidRulesFile* rules = nullptr;
  ASSERT_EQ(TavikBidRulesFileCreateHandle(&rules), 0);

  const std::string outstanding = fake::Outstanding();
  EXPECT_NE(outstanding.find("library buffer #2 from \"TavikPKICertGetCertStringAttribute "
                             "attribute=16\""),
            std::string::npos)
      << outstanding;
  EXPECT_NE(outstanding.find("container handle #3"), std::string::npos) << outstanding;
  EXPECT_NE(outstanding.find("rules handle #4"), std::string::npos) << outstanding;

  TavikPKICryptoFreeMemory(text);
  cert.reset();
  TavikSecretFileDecryptorReleaseHandle(container);
  TavikBidRulesFileReleaseHandle(rules);
  EXPECT_TRUE(fake::AllReleased()) << fake::Outstanding();
}

TEST_F(FakeAccounting, DoubleAndForeignFreesAreErrorsNotCrashes) {
  TAVIK_CERT_st* cert = TavikPKICertNewCert(Bytes("XYZ"), 3);
  TavikPKICertFreeCert(cert);
  TavikPKICertFreeCert(cert);
  int local = 0;
  TavikPKICryptoFreeMemory(&local);
  TavikPKICryptoFreeMemory(nullptr);  // a null free is fine
  TavikPKICertFreeCert(nullptr);
  EXPECT_EQ(TavikSecretFileDecryptorReleaseHandle(nullptr), 1);  // nothing to release, no error

  const auto errors = fake::Errors();
  ASSERT_EQ(errors.size(), 2u) << fake::Outstanding();
  EXPECT_EQ(errors[0],
            "TavikPKICertFreeCert: double release of certificate #1 from "
            "\"TavikPKICertNewCert len=3\"");
  EXPECT_EQ(errors[1],
            "TavikPKICryptoFreeMemory: release of a pointer the library never handed out");
  EXPECT_FALSE(fake::AllReleased());
}

TEST_F(FakeAccounting, UseAfterReleaseAndWrongKindAreErrors) {
  TAVIK_CERT_st* cert = TavikPKICertNewCert(Bytes("XYZ"), 3);
  TavikPKICertFreeCert(cert);
  EXPECT_EQ(TavikPKICertDupCert(cert), nullptr);
  UniqueDevice device(TavikPKICryptoGetPseudoDevice());
  TavikPKICryptoFreeMemory(device.get());  // a device is not a buffer

  const auto errors = fake::Errors();
  ASSERT_EQ(errors.size(), 2u) << fake::Outstanding();
  EXPECT_NE(errors[0].find("use after release of certificate #1"), std::string::npos) << errors[0];
  EXPECT_NE(errors[1].find("expected a library buffer, got device #2"), std::string::npos)
      << errors[1];
}

TEST_F(FakeAccounting, ScopedGuardFailsWhenSomethingIsLeft) {
  EXPECT_NONFATAL_FAILURE(
      {
        fake::ScopedFake guard;
        TavikPKIMsgNewTimeStamp();
      },
      "not returned: time-stamp request #1");
}

class FakeDigest : public fake::FakeTavikTest {
 protected:
  // Digest of `chunks` fed one by one, as lower-case hex.
  static std::string Digest(std::initializer_list<std::string> chunks, int algorithm) {
    UniqueDevice device(TavikPKICryptoGetPseudoDevice());
    UniqueHash hash(TavikPKICryptoNewHash(device.get(), algorithm));
    device.reset();  // the hash outlives its device
    if (!hash)
      return "<null>";
    for (const std::string& chunk : chunks) {
      if (TavikPKICryptoHashUpdate(hash.get(), Bytes(chunk), static_cast<int>(chunk.size())) != 1) {
        return "<update failed>";
      }
    }
    unsigned char* digest = nullptr;
    int length = 0;
    if (TavikPKICryptoHashFinal(hash.get(), &digest, &length) != 1)
      return "<final failed>";
    UniqueLibBuffer<unsigned char> owned(digest);
    return Hex(digest, length);
  }
};

TEST_F(FakeDigest, BothAlgorithmsAreSha256OfTheFedBytes) {
  // FIPS 180-2 test vector for "abc".
  const std::string abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
  EXPECT_EQ(Digest({"a", "", "bc"}, TAVIK_HASH_BID_CODE), abc);
  EXPECT_EQ(Digest({"abc"}, TAVIK_HASH_TIMESTAMP), abc);
  EXPECT_EQ(Digest({"abc"}, 1), "<null>");
}

TEST_F(FakeDigest, ScriptedDigestAndResultsWin) {
  fake::SetHashDigest("\x01\x02");
  EXPECT_EQ(Digest({"abc"}, TAVIK_HASH_BID_CODE), "0102");
  fake::SetResultOnCall("TavikPKICryptoHashUpdate", 2, 0);  // the second digest's update
  EXPECT_EQ(Digest({"abc"}, TAVIK_HASH_BID_CODE), "<update failed>");
  fake::ReturnNull("TavikPKICryptoGetPseudoDevice");
  EXPECT_EQ(TavikPKICryptoGetPseudoDevice(), nullptr);
}

TEST_F(FakeDigest, CallLogKeepsOrderAndChunkSizes) {
  EXPECT_FALSE(fake::AnyCall());
  Digest({std::string(8192, 'a'), std::string(8192, 'b'), "c"}, TAVIK_HASH_BID_CODE);
  EXPECT_EQ(fake::Calls("TavikPKICryptoHashUpdate"),
            (std::vector<std::string>{"TavikPKICryptoHashUpdate len=8192",
                                      "TavikPKICryptoHashUpdate len=8192",
                                      "TavikPKICryptoHashUpdate len=1"}));
  EXPECT_EQ(
      fake::CallNames(),
      (std::vector<std::string>{
          "TavikPKICryptoGetPseudoDevice", "TavikPKICryptoNewHash", "TavikPKICryptoFreeDevice",
          "TavikPKICryptoHashUpdate", "TavikPKICryptoHashUpdate", "TavikPKICryptoHashUpdate",
          "TavikPKICryptoHashFinal", "TavikPKICryptoFreeMemory", "TavikPKICryptoFreeHash"}));
  EXPECT_EQ(fake::Calls()[1], "TavikPKICryptoNewHash algorithm=4096");
  EXPECT_EQ(fake::CallCount("TavikPKICryptoHashUpdate"), 3);
}

using FakeCert = fake::FakeTavikTest;

TEST_F(FakeCert, AttributesFollowTheRegisteredBytes) {
  fake::RegisterCert("XYZ", {.attributes = {{16, "张三"}, {18, "某公司"}, {31, "20301231235959"}}});
  UniqueCert known = NewCert("XYZ");
  UniqueCert unknown = NewCert("ABC");
  ASSERT_TRUE(known && unknown);
  EXPECT_EQ(Attribute(known.get(), TAVIK_CERT_ATTR_SUBJECT_NAME), "张三");
  EXPECT_EQ(Attribute(known.get(), TAVIK_CERT_ATTR_SUBJECT_ORG), "某公司");
  EXPECT_EQ(Attribute(known.get(), TAVIK_CERT_ATTR_NOT_AFTER_LOCAL), "20301231235959");
  EXPECT_EQ(Attribute(known.get(), TAVIK_CERT_ATTR_SUBJECT_CN), "<absent>");
  EXPECT_EQ(Attribute(unknown.get(), TAVIK_CERT_ATTR_SUBJECT_NAME), "<absent>");

  UniqueCert copy(TavikPKICertDupCert(known.get()));
  known.reset();  // the copy is independent
  EXPECT_EQ(Attribute(copy.get(), TAVIK_CERT_ATTR_SUBJECT_ORG), "某公司");

  char* untouched = nullptr;
  EXPECT_EQ(TavikPKICertGetCertStringAttribute(copy.get(), 20, &untouched), 0);
  EXPECT_EQ(untouched, nullptr);
}

TEST_F(FakeCert, InvalidBytesGiveNoCertificate) {
  fake::RegisterInvalidCert("BAD");
  EXPECT_EQ(NewCert("BAD"), nullptr);
  EXPECT_EQ(TavikPKICertNewCert(nullptr, 3), nullptr);
  EXPECT_EQ(TavikPKICertNewCert(Bytes("XYZ"), 0), nullptr);
  EXPECT_EQ(TavikPKICertNewCert(Bytes("XYZ"), -1), nullptr);
}

TEST_F(FakeCert, DuplicationFailsOnTheNthCallOrForGivenBytes) {
  fake::FailDupOnCall(2);
  fake::FailDupOf("NODUP");
  UniqueCert cert = NewCert("XYZ");
  UniqueCert nodup = NewCert("NODUP");
  UniqueCert first(TavikPKICertDupCert(cert.get()));
  UniqueCert second(TavikPKICertDupCert(cert.get()));
  UniqueCert third(TavikPKICertDupCert(cert.get()));
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_NE(third, nullptr);
  EXPECT_EQ(UniqueCert(TavikPKICertDupCert(nodup.get())), nullptr);
}

TEST_F(FakeCert, EncodeForm2IsBase64UnlessScripted) {
  fake::RegisterCert("SCRIPTED", {.encoded = "ENC+/="});
  struct Row {
    std::string bytes;
    int form;
    std::string expected;
  };
  const Row rows[] = {{"XYZ", 2, "WFla"}, {"SCRIPTED", 2, "ENC+/="}, {"XYZ", 1, "<failed>"}};
  for (const Row& row : rows) {
    UniqueCert cert = NewCert(row.bytes);
    unsigned char* data = nullptr;
    int length = 0;
    std::string got = "<failed>";
    if (TavikPKICertGetCertEncode(cert.get(), row.form, &data, &length) == 1) {
      got.assign(reinterpret_cast<char*>(data), static_cast<size_t>(length));
      TavikPKICryptoFreeMemory(data);
    }
    EXPECT_EQ(got, row.expected) << row.bytes << " form " << row.form;
  }
}

TEST_F(FakeCert, DisplayIsRecordedAndSucceeds) {
  UniqueCert cert = NewCert("XYZ");
  EXPECT_EQ(TavikPKIUIDisplayCert(nullptr, cert.get()), 1);
  EXPECT_EQ(fake::Calls("TavikPKIUIDisplayCert"),
            std::vector<std::string>{"TavikPKIUIDisplayCert cert=XYZ"});
}

class FakeTimeStamp : public fake::FakeTavikTest {
 protected:
  // One request the way a client makes it; "" on success, else where it stopped.
  static std::string Ask(const char* url, std::string* time) {
    UniqueTimeStamp request(TavikPKIMsgNewTimeStamp());
    if (!request)
      return "new";
    if (TavikPKIMsgTimeStampSetTSA(request.get(), url) != 1)
      return "tsa";
    int status = -1;
    if (TavikPKIMsgTimeStampGetResponse(request.get(), &status) != 1)
      return "response";
    if (status != 0 && status != 1)
      return "status " + std::to_string(status);
    UniqueLibBuffer<char> text(TavikPKIMsgTimeStampGetTime(request.get()));
    if (!text)
      return "time";
    *time = text.get();
    unsigned char* token = nullptr;
    int length = 0;
    if (TavikPKIMsgTimeStampGetTimeStampToken(request.get(), &token, &length) != 1)
      return "token";
    TavikPKICryptoFreeMemory(token);
    return "";
  }
};

TEST_F(FakeTimeStamp, EachUrlFollowsItsOwnScript) {
  fake::ScriptTsa("http://fail", {.response_result = 0});
  fake::ScriptTsa("http://rejects", {.status = 2});
  fake::ScriptTsa("http://notime", {.no_time = true});
  fake::ScriptTsa("http://notoken", {.token = std::nullopt});
  fake::ScriptTsa("http://good", {.time = "20240102030405Z"});
  fake::ScriptTsa("http://badtsa", {.set_tsa_result = 0});
  std::string time;
  EXPECT_EQ(Ask("http://fail", &time), "response");
  EXPECT_EQ(Ask("http://rejects", &time), "status 2");
  EXPECT_EQ(Ask("http://notime", &time), "time");
  EXPECT_EQ(Ask("http://notoken", &time), "token");
  EXPECT_EQ(Ask("http://badtsa", &time), "tsa");
  EXPECT_EQ(Ask("http://good", &time), "");
  EXPECT_EQ(time, "20240102030405Z");
  EXPECT_EQ(fake::TsaUrlsAsked(),
            (std::vector<std::string>{"http://fail", "http://rejects", "http://notime",
                                      "http://notoken", "http://good"}));
}

TEST_F(FakeTimeStamp, DefaultAnswerIsGrantedWithTheCurrentUtcTime) {
  std::string time;
  EXPECT_EQ(Ask("http://any", &time), "");
  ASSERT_EQ(time.size(), 15u);
  EXPECT_EQ(time.back(), 'Z');
  fake::SetDefaultTsa({.status = 1, .time = "20200101000000Z"});
  EXPECT_EQ(Ask("http://any", &time), "");
  EXPECT_EQ(time, "20200101000000Z");
}

TEST_F(FakeTimeStamp, TimeIsAnsweredEvenForARejection) {
  // A caller that skips the status check must not be rescued by the fake.
  fake::SetDefaultTsa({.status = 2, .time = "20200101000000Z"});
  UniqueTimeStamp request(TavikPKIMsgNewTimeStamp());
  TavikPKIMsgTimeStampSetTSA(request.get(), "http://x");
  int status = 0;
  ASSERT_EQ(TavikPKIMsgTimeStampGetResponse(request.get(), &status), 1);
  EXPECT_EQ(status, 2);
  UniqueLibBuffer<char> text(TavikPKIMsgTimeStampGetTime(request.get()));
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text.get(), "20200101000000Z");
}

using FakeContainer = fake::FakeTavikTest;

// Both calls of the two-call protocol; "" when either fails.
std::string SignCert(CTavikFileDecryptor* handle, int* first, int* second) {
  int length = 0;
  *first = TavikSecretFileDecryptorGetSignCert(handle, nullptr, &length);
  if (*first != 0)
    return "";
  std::string buffer(static_cast<size_t>(length), '\0');
  *second = TavikSecretFileDecryptorGetSignCert(
      handle, reinterpret_cast<unsigned char*>(buffer.data()), &length);
  return *second == 0 ? buffer.substr(0, static_cast<size_t>(length)) : "";
}

TEST_F(FakeContainer, TwoCallsDeliverTheScriptedBytesPerPath) {
  fake::SetContainer({.sign_cert = "DEFAULT", .custom_data = "RULF", .total = 5, .min = 3});
  fake::SetContainerFor("/b.bidx", {.sign_cert = std::string("B\0C", 3)});
  CTavikFileDecryptor* a = nullptr;
  CTavikFileDecryptor* b = nullptr;
  ASSERT_EQ(TavikSecretFileDecryptorCreateHandle(&a, "/a.bidx"), 0);
  ASSERT_EQ(TavikSecretFileDecryptorCreateHandle(&b, "/b.bidx"), 0);
  UniqueDecryptor own_a(a), own_b(b);
  int first = -1, second = -1;
  EXPECT_EQ(SignCert(a, &first, &second), "DEFAULT");
  EXPECT_EQ(SignCert(b, &first, &second), std::string("B\0C", 3));
  int total = 0, min = 0;
  EXPECT_EQ(TavikSecretFileDecryptorGetTotalNum(a, &total), 0);
  EXPECT_EQ(TavikSecretFileDecryptorGetMinNum(a, &min), 0);
  EXPECT_EQ(total * 10 + min, 53);
  EXPECT_EQ(fake::Calls("TavikSecretFileDecryptorGetSignCert")[1],
            "TavikSecretFileDecryptorGetSignCert buffer=set length=7");
}

TEST_F(FakeContainer, EachCallOfTheProtocolFailsSeparately) {
  UniqueDecryptor handle;
  CTavikFileDecryptor* raw = nullptr;
  ASSERT_EQ(TavikSecretFileDecryptorCreateHandle(&raw, "/x/y.bidx"), 0);
  handle.reset(raw);
  int first = -1, second = -1;
  fake::SetFillCallResult("TavikSecretFileDecryptorGetSignCert", 9);
  SignCert(handle.get(), &first, &second);
  EXPECT_EQ(first * 10 + second, 9);
  fake::SetLengthCallResult("TavikSecretFileDecryptorGetSignCert", 4);
  SignCert(handle.get(), &first, &second);
  EXPECT_EQ(first, 4);
  fake::SetResult("TavikSecretFileDecryptorVerify", -3);
  EXPECT_EQ(TavikSecretFileDecryptorVerify(handle.get()), -3);
}

TEST_F(FakeContainer, TooSmallBufferIsAnError) {
  UniqueDecryptor handle;
  CTavikFileDecryptor* raw = nullptr;
  TavikSecretFileDecryptorCreateHandle(&raw, "/x");
  handle.reset(raw);
  unsigned char buffer[3] = {};
  int length = 3;
  EXPECT_EQ(TavikSecretFileDecryptorGetSignCert(handle.get(), buffer, &length), 1);
  EXPECT_EQ(fake::Errors(), std::vector<std::string>{
                                "TavikSecretFileDecryptorGetSignCert: a buffer of 3 bytes for 6"});
  handle.reset();
  fake::Reset();
}

TEST_F(FakeContainer, FailedOrNullCreationHandsOutNothing) {
  fake::SetResultOnCall("TavikSecretFileDecryptorCreateHandle", 1, 7);
  fake::ReturnNullOnCall("TavikSecretFileDecryptorCreateHandle", 2);
  CTavikFileDecryptor* handle = reinterpret_cast<CTavikFileDecryptor*>(&handle);
  EXPECT_EQ(TavikSecretFileDecryptorCreateHandle(&handle, "/x"), 7);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(TavikSecretFileDecryptorCreateHandle(&handle, "/x"), 0);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(fake::Calls()[0], "TavikSecretFileDecryptorCreateHandle path=/x");
}

class FakeRules : public fake::FakeTavikTest {
 protected:
  void SetUp() override {
    FakeTavikTest::SetUp();
    CTavikBidRulesFile* raw = nullptr;
    TavikBidRulesFileCreateHandle(&raw);
    handle_.reset(raw);
  }
  void TearDown() override {
    handle_.reset();
    FakeTavikTest::TearDown();
  }
  UniqueRulesFile handle_;
};

TEST_F(FakeRules, TextsUseTheTwoCallProtocolWithATerminatorByte) {
  fake::SetRules({.open_org = "ORG", .open_time = "2024-01-02 09:30:00"});
  int length = 0;
  ASSERT_EQ(TavikBidRulesFileGetOpenTime(handle_.get(), nullptr, &length), 0);
  EXPECT_EQ(length, 19);
  std::string buffer(static_cast<size_t>(length) + 1, 'x');
  std::memset(buffer.data(), 0, buffer.size());
  ASSERT_EQ(TavikBidRulesFileGetOpenTime(handle_.get(), buffer.data(), &length), 0);
  EXPECT_STREQ(buffer.c_str(), "2024-01-02 09:30:00");
  fake::SetFillCallResult("TavikBidRulesFileGetOpenOrg", 5);
  length = 0;
  EXPECT_EQ(TavikBidRulesFileGetOpenOrg(handle_.get(), nullptr, &length), 0);
  EXPECT_EQ(TavikBidRulesFileGetOpenOrg(handle_.get(), buffer.data(), &length), 5);
}

TEST_F(FakeRules, CertificatesByIndexAndScriptedCount) {
  fake::SetRules({.certs = {"ONE", "TWO22"}, .cert_count = 3});
  int count = 0;
  ASSERT_EQ(TavikBidRulesFileGetCertCount(handle_.get(), &count), 0);
  EXPECT_EQ(count, 3);
  int length = 0;
  ASSERT_EQ(TavikBidRulesFileGetCertLen(handle_.get(), 1, &length), 0);
  EXPECT_EQ(length, 5);
  unsigned char buffer[5] = {};
  int out = 0;  // output only
  ASSERT_EQ(TavikBidRulesFileGetCert(handle_.get(), 1, buffer, &out), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 5), "TWO22");
  EXPECT_EQ(out, 5);
  EXPECT_EQ(TavikBidRulesFileGetCertLen(handle_.get(), 2, &length), 1);
  fake::SetFillCallResult("TavikBidRulesFileGetCert", 7);
  EXPECT_EQ(TavikBidRulesFileGetCert(handle_.get(), 0, buffer, &out), 7);
}

TEST_F(FakeRules, DownloadAndCompareFollowTheScript) {
  fake::SetRules({.rules_file = "RULES"});
  EXPECT_EQ(TavikBidRulesFileGetRules(handle_.get(), "projectid=P1", 12), 0);
  EXPECT_EQ(TavikBidRulesFileCompareFile(handle_.get(), Bytes("RULES"), 5), 0);
  EXPECT_EQ(TavikBidRulesFileCompareFile(handle_.get(), Bytes("RULEZ"), 5), 1);
  fake::SetResult("TavikBidRulesFileGetRules", TAVIK_RULES_ERR_SPECIAL);
  EXPECT_EQ(TavikBidRulesFileGetRules(handle_.get(), "projectid=P1", 12), 26);
  EXPECT_EQ(fake::Calls("TavikBidRulesFileGetRules")[0],
            "TavikBidRulesFileGetRules query=projectid=P1");
}

TEST(FakeThreads, ConcurrentCallersKeepConsistentAccounting) {
  fake::ScopedFake guard;
  auto work = [] {
    for (int i = 0; i < 200; ++i) {
      UniqueCert cert(TavikPKICertNewCert(Bytes("XYZ"), 3));
      UniqueCert copy(TavikPKICertDupCert(cert.get()));
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(fake::CallCount("TavikPKICertFreeCert"), 800);
}

}  // namespace
}  // namespace brevalt
