// bidx seal and inspect through their command-line front end, and the
// documented openssl command on extracted bids.
#include <gtest/gtest.h>

#include <openssl/pem.h>

#include <cstdlib>
#include <sstream>

#include "support/scoped_env.h"
#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/test_bid.h"
#include "tavik/tavik_handles.h"
#include "tavik/tavik_secret_file.h"
#include "tools/bidx/bidx_cli.h"

namespace brevalt {
namespace {

using testing::Bytes;

constexpr const char* kRules =
    "<?xml version=\"1.0\"?><bidenv><source><projectname>P</projectname>"
    "<rules><rule><m> 3</m><n>2x</n><openers/></rule></rules></source></bidenv>";

class BidxCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const bidx::Signer& signer = testing::SharedSigner();
    container::UniqueFile cert(std::fopen(Path("signer.pem").c_str(), "wb"));
    container::UniqueFile key(std::fopen(Path("signer.key").c_str(), "wb"));
    container::UniqueFile cert_der(std::fopen(Path("signer.cer").c_str(), "wb"));
    container::UniqueFile key_der(std::fopen(Path("signer.der").c_str(), "wb"));
    ASSERT_EQ(PEM_write_X509(cert.get(), signer.cert.get()), 1);
    ASSERT_EQ(
        PEM_write_PrivateKey(key.get(), signer.key.get(), nullptr, nullptr, 0, nullptr, nullptr),
        1);
    ASSERT_EQ(i2d_X509_fp(cert_der.get(), signer.cert.get()), 1);
    ASSERT_EQ(i2d_PrivateKey_fp(key_der.get(), signer.key.get()), 1);
    testing::WriteBytes(dir_.Path("rules.xml"), testing::BytesOf(kRules));
    testing::WriteBytes(dir_.Path("bid.zip"), testing::BytesOf("documents"));
  }

  std::string Path(const std::string& name) const { return dir_.Path(name).string(); }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return bidx::RunBidx(args, out_, err_);
  }

  int Seal(std::vector<std::string> extra, const std::string& cert = "signer.pem",
           const std::string& key = "signer.key") {
    std::vector<std::string> args = {"seal",          "--out",     Path("a.bidx"),
                                     "--signer-cert", Path(cert),  "--signer-key",
                                     Path(key),       "--payload", Path("bid.zip")};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args);
  }

  // Verifies a.bidx through the library; returns its custom data and counts.
  void ExpectSealed(const Bytes& custom, int total, int min) {
    CTavikFileDecryptor* raw = nullptr;
    ASSERT_EQ(TavikSecretFileDecryptorCreateHandle(&raw, Path("a.bidx").c_str()), 0);
    UniqueDecryptor handle(raw);
    ASSERT_EQ(TavikSecretFileDecryptorVerify(handle.get()), 0);
    int length = 0, got_total = 0, got_min = 0;
    TavikSecretFileDecryptorGetCustomData(handle.get(), nullptr, &length);
    Bytes got(static_cast<std::size_t>(length));
    TavikSecretFileDecryptorGetCustomData(handle.get(), got.data(), &length);
    TavikSecretFileDecryptorGetTotalNum(handle.get(), &got_total);
    TavikSecretFileDecryptorGetMinNum(handle.get(), &got_min);
    EXPECT_EQ(got, custom);
    EXPECT_EQ(got_total, total);
    EXPECT_EQ(got_min, min);
  }

  testing::TempDir dir_;
  testing::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path().string()};  // no trust anchors
  std::ostringstream out_, err_;
};

TEST_F(BidxCliTest, RulesAreWrappedAndGiveTheDefaultCounts) {
  ASSERT_EQ(Seal({"--rules", Path("rules.xml")}), 0) << err_.str();
  Bytes expected = {'R', 'U', 'L', 'F', 0, 0, 0, static_cast<unsigned char>(strlen(kRules))};
  const Bytes rules = testing::BytesOf(kRules);
  expected.insert(expected.end(), rules.begin(), rules.end());
  ExpectSealed(expected, 3, 2);  // " 3" and "2x" read like atoi

  ASSERT_EQ(Seal({"--rules", Path("rules.xml"), "--total", "5"}), 0);
  ExpectSealed(expected, 5, 2);
}

TEST_F(BidxCliTest, OddInputsAreSealedAsGivenWithAWarning) {
  testing::WriteBytes(dir_.Path("junk"), testing::BytesOf("RULF\xff"));
  ASSERT_EQ(Seal({"--custom-data", Path("junk"), "--total", "0", "--min", "-1"}), 0);
  ExpectSealed(testing::BytesOf("RULF\xff"), 0, -1);
  EXPECT_NE(err_.str().find("warning"), std::string::npos);

  ASSERT_EQ(Seal({"--custom-data", Path("junk"), "--total", "2", "--min", "3"}), 0);
  EXPECT_NE(err_.str().find("minimum is above the total"), std::string::npos);

  testing::WriteBytes(dir_.Path("bad.xml"), testing::BytesOf("not <xml"));
  ASSERT_EQ(Seal({"--rules", Path("bad.xml")}, "signer.cer", "signer.der"), 0);
  EXPECT_NE(err_.str().find("warning"), std::string::npos);
  Bytes expected = {'R', 'U', 'L', 'F', 0, 0, 0, 8, 'n', 'o', 't', ' ', '<', 'x', 'm', 'l'};
  ExpectSealed(expected, 1, 1);
}

TEST_F(BidxCliTest, UsageAndInputErrors) {
  const struct {
    std::vector<std::string> args;
    int status;
  } rows[] = {
      {{}, 2},
      {{"open"}, 2},
      {{"seal", "--out", Path("x")}, 2},
      {{"seal", "--out", Path("x"), "--signer-cert", Path("signer.pem"), "--signer-key",
        Path("signer.key"), "--rules", Path("rules.xml"), "--custom-data", Path("rules.xml")},
       2},
      {{"seal", "--out", Path("x"), "--signer-cert", Path("signer.pem"), "--signer-key",
        Path("signer.key"), "--total", "3x"},
       2},
      {{"seal", "--out", Path("x"), "--signer-cert", Path("missing.pem"), "--signer-key",
        Path("signer.key")},
       1},
      {{"seal", "--out", Path("x"), "--signer-cert", Path("signer.pem"), "--signer-key",
        Path("signer.pem")},
       1},
      {{"seal", "--out", Path("x"), "--signer-cert", Path("signer.pem"), "--signer-key",
        Path("signer.key"), "--payload", Path("missing.zip")},
       1},
      {{"inspect"}, 2},
      {{"inspect", Path("missing.bidx")}, 1},
      {{"inspect", Path("rules.xml")}, 1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Run(row.args), row.status) << (row.args.empty() ? "" : row.args.back());
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("x")));
}

TEST_F(BidxCliTest, InspectShowsTheContainerAndTheVerdict) {
  ASSERT_EQ(Seal({"--rules", Path("rules.xml")}), 0);
  ASSERT_EQ(Run({"inspect", Path("a.bidx")}), 0);
  const std::string shown = out_.str();
  for (const char* line : {"format version: 1", "openers: total 3, minimum 2", "RULF rules file of",
                           "payload: 9 bytes", "CN=投标人甲", "signature: verified"}) {
    EXPECT_NE(shown.find(line), std::string::npos) << line << "\n" << shown;
  }
  Bytes file = testing::ReadBytes(dir_.Path("a.bidx"));
  file[50] ^= 0x20;
  testing::WriteBytes(dir_.Path("a.bidx"), file);
  EXPECT_EQ(Run({"inspect", Path("a.bidx")}), 1);
  EXPECT_NE(out_.str().find("NOT verified"), std::string::npos);
  EXPECT_NE(out_.str().find("(code 34)"), std::string::npos);
}

// The documented openssl command accepts what we seal and rejects a
// tampered bid, so anyone can check a bid without our code.
TEST_F(BidxCliTest, ExtractedBidChecksWithOpenssl) {
  const std::string kCommand =
      "openssl cms -verify -binary -inform DER -in '{d}/sig.der' -content '{d}/signed.bin' "
      "-certfile '{d}/signer.pem' -nointern -noverify -out /dev/null 2>/dev/null";
  const auto command_for = [&](const std::string& dir) {
    std::string command = kCommand;
    for (std::size_t at; (at = command.find("{d}")) != std::string::npos;) {
      command.replace(at, 3, dir);
    }
    return command;
  };
  ASSERT_EQ(Seal({"--rules", Path("rules.xml")}), 0);
  ASSERT_EQ(Run({"inspect", Path("a.bidx"), "--extract", Path("good")}), 0);
  EXPECT_EQ(std::system(command_for(Path("good")).c_str()), 0);

  Bytes file = testing::ReadBytes(dir_.Path("a.bidx"));
  file[file.size() / 2] ^= 0x01;  // inside the certificate or the payload
  testing::WriteBytes(dir_.Path("a.bidx"), file);
  EXPECT_EQ(Run({"inspect", Path("a.bidx"), "--extract", Path("bad")}), 1);
  EXPECT_NE(std::system(command_for(Path("bad")).c_str()), 0);
}

// A payload much larger than the copy buffer survives sealing byte for byte.
TEST_F(BidxCliTest, LargePayloadIsStoredExactly) {
  Bytes payload(3 * 64 * 1024 + 17);
  for (std::size_t i = 0; i < payload.size(); ++i) {
    payload[i] = static_cast<unsigned char>(i * 131 + (i >> 9));
  }
  testing::WriteBytes(dir_.Path("bid.zip"), payload);
  ASSERT_EQ(Seal({}), 0);
  ExpectSealed({}, 1, 1);
  const Bytes file = testing::ReadBytes(dir_.Path("a.bidx"));
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), file.begin() + 44));
}

}  // namespace
}  // namespace brevalt
