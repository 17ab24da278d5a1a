// bidx seal and inspect through their command-line front end, and the
// documented openssl command on extracted bids.
#include <gtest/gtest.h>

#include <openssl/pem.h>
#include <openssl/sha.h>

#include <cstdlib>
#include <sstream>

#include "support/fifo.h"
#include "support/scoped_env.h"
#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/test_bid.h"
#include "tavik/tavik_handles.h"
#include "tavik/tavik_secret_file.h"
#include "tools/bidx/bidx_cli.h"

namespace brevalt {
namespace {

namespace cnt = container;
using testing::Bytes;

std::string Sha256Hex(const Bytes& bytes) {
  unsigned char digest[32];
  SHA256(bytes.data(), bytes.size(), digest);
  std::string hex;
  for (unsigned char b : digest) {
    hex += "0123456789ABCDEF"[b >> 4];
    hex += "0123456789ABCDEF"[b & 0x0F];
  }
  return hex;
}

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

  // Writes `key` as PEM, encrypted with the passphrase "secret" under `cipher`.
  void WriteKey(const std::string& name, EVP_PKEY* key, const EVP_CIPHER* cipher = nullptr) {
    container::UniqueFile file(std::fopen(Path(name).c_str(), "wb"));
    ASSERT_EQ(PEM_write_PrivateKey(file.get(), key, cipher, nullptr, 0, nullptr,
                                   const_cast<char*>("secret")),
              1);
  }

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

  testing::WriteBytes(dir_.Path("utf8.xml"), testing::BytesOf("<bidenv>\xE6\x8B\x9B</bidenv>"));
  ASSERT_EQ(Seal({"--rules", Path("utf8.xml")}), 0);
  EXPECT_NE(err_.str().find("warning: rules document " + Path("utf8.xml") + " is not GBK text"),
            std::string::npos)
      << err_.str();
}

TEST_F(BidxCliTest, HelpListsEveryOption) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"seal", "-h"}, {"help"}}) {
    ASSERT_EQ(Run(args), 0);
    EXPECT_EQ(err_.str(), "");
    for (const char* option : {"--out", "--signer-cert", "--signer-key", "--payload", "--rules",
                               "--custom-data", "--total", "--min", "--extract", "--help"}) {
      EXPECT_NE(out_.str().find(std::string("  ") + option), std::string::npos) << option;
    }
  }
}

// Every refusal names the file or option and the cause.
TEST_F(BidxCliTest, ErrorsNameTheFileAndTheCause) {
  const cnt::UniqueKey ed(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"));
  const bidx::Signer other = bidx::MakeSelfSignedSigner(bidx::KeyKind::kEcP256, "Other", 7);
  WriteKey("ed.key", ed.get());
  WriteKey("other.key", other.key.get());
  WriteKey("enc.key", testing::SharedSigner().key.get(), EVP_aes_128_cbc());
  ASSERT_TRUE(testing::MakeFifo(Path("fifo")));
  const auto seal = [&](const std::string& cert, const std::string& key,
                        std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"seal", "--out",        Path("x"), "--signer-cert",
                                     cert,   "--signer-key", key};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  };
  const std::string cert = Path("signer.pem"), key = Path("signer.key");
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } rows[] = {
      {{}, 2, "a command is missing"},
      {{"open"}, 2, "unknown command open"},
      {seal(cert, key, {"--bogus", "1"}), 2, "unknown option --bogus"},
      {seal(cert, key, {"--out", Path("y")}), 2, "option --out given twice"},
      {seal(cert, key, {"--payload"}), 2, "option --payload needs a value"},
      {{"seal", "--out", Path("x"), "--signer-cert", cert}, 2, "--signer-key is missing"},
      {seal(cert, key, {"--rules", Path("rules.xml"), "--custom-data", Path("rules.xml")}), 2,
       "not both"},
      {seal(cert, key, {"--total", "3x"}), 2, "--total takes a 32-bit integer"},
      {seal(Path("missing.pem"), key), 1,
       "certificate " + Path("missing.pem") + ": does not exist"},
      {seal(cert, Path("")), 1, "key " + Path("") + ": is a folder"},
      {seal(cert, Path("enc.key")), 1, "is encrypted"},
      {seal(cert, Path("other.key")), 1, "does not belong to the certificate " + cert},
      {seal(cert, Path("ed.key")), 1, "unsupported ED25519 key"},
      {seal(cert, cert), 1, "key " + cert + ": holds no private key"},
      {seal(key, key), 1, "certificate " + key + ": holds no certificate"},
      {seal(cert, key, {"--payload", Path("fifo")}), 1,
       "payload " + Path("fifo") + ": is not a regular file"},
      {{"inspect"}, 2, "the bid file is missing"},
      {{"inspect", Path("missing.bidx")}, 1, "bid " + Path("missing.bidx") + ": does not exist"},
      {{"inspect", Path("fifo")}, 1, "is not a regular file"},
  };
  for (const auto& row : rows) {
    const std::optional<int> status =
        testing::WithoutBlocking<int>(Path("fifo"), [&] { return Run(row.args); });
    EXPECT_EQ(status, row.status) << row.message;
    EXPECT_NE(err_.str().find(row.message), std::string::npos) << err_.str();
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("x")));
  EXPECT_EQ(Run({"inspect", Path("rules.xml")}), 1);
  EXPECT_NE(out_.str().find("container: not valid: not a bid container"), std::string::npos);
}

TEST_F(BidxCliTest, InspectShowsTheContainerAndTheVerdict) {
  ASSERT_EQ(Seal({"--rules", Path("rules.xml")}), 0);
  ASSERT_EQ(Run({"inspect", Path("a.bidx")}), 0);
  std::string shown = out_.str();
  const std::string code = "verification code: " + Sha256Hex(testing::ReadBytes(Path("a.bidx")));
  for (const std::string& line :
       {code, std::string("format version: 1\n"), std::string("openers: total 3, minimum 2\n"),
        std::string("RULF rules file of"), std::string("payload: 9 bytes\n"),
        std::string("CN=投标人甲"), std::string("signature: verified"),
        std::string("chain: not checked (no bidder trust anchors)")}) {
    EXPECT_NE(shown.find(line), std::string::npos) << line << "\n" << shown;
  }
  Bytes file = testing::ReadBytes(dir_.Path("a.bidx"));
  file[50] ^= 0x20;
  testing::WriteBytes(dir_.Path("a.bidx"), file);
  EXPECT_EQ(Run({"inspect", Path("a.bidx")}), 1);
  shown = out_.str();
  for (const char* line :
       {"openers: total 3, minimum 2 (unverified)", "payload: 9 bytes (unverified)", "NOT verified",
        "(code 34)", "chain: not checked (the signature"}) {
    EXPECT_NE(shown.find(line), std::string::npos) << line << "\n" << shown;
  }
}

// With a bidder CA among the trust anchors, the report says which anchor the
// signer chains to, or why it does not; the exit status follows Verify.
TEST_F(BidxCliTest, InspectShowsTheChain) {
  const bidx::Signer ca = bidx::MakeCaSigner(bidx::KeyKind::kEcP256, "Bidder CA", 1);
  const bidx::Signer bidder = bidx::MakeIssuedSigner(bidx::KeyKind::kEcP256, "张三", 2, ca);
  const auto anchors = dir_.path() / "TAVIK/qzv/trust/bidder";
  std::filesystem::create_directories(anchors);
  container::UniqueFile pem(std::fopen((anchors / "ca.pem").c_str(), "wb"));
  ASSERT_EQ(PEM_write_X509(pem.get(), ca.cert.get()), 1);
  pem.reset();
  ASSERT_EQ(testing::SealBid(dir_.Path("b.bidx"), testing::BidParts{}, bidder), 0);
  EXPECT_EQ(Run({"inspect", Path("b.bidx")}), 0);
  EXPECT_NE(out_.str().find("chain: verified to CN=Bidder CA\n"), std::string::npos) << out_.str();
  ASSERT_EQ(Seal({}), 0);  // the self-signed shared signer
  EXPECT_EQ(Run({"inspect", Path("a.bidx")}), 1);
  EXPECT_NE(out_.str().find("chain: refused: "), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("(code 38)"), std::string::npos);
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
  EXPECT_EQ(testing::ReadBytes(dir_.Path("good/payload.bin")), testing::BytesOf("documents"));
  for (const char* name : {"signed.bin", "sig.der", "signer.pem", "payload.bin (9 bytes"}) {
    EXPECT_NE(out_.str().find("wrote " + Path("good/") + name), std::string::npos) << name;
  }

  Bytes file = testing::ReadBytes(dir_.Path("a.bidx"));
  file[file.size() / 2] ^= 0x01;  // inside the certificate or the payload
  testing::WriteBytes(dir_.Path("a.bidx"), file);
  EXPECT_EQ(Run({"inspect", Path("a.bidx"), "--extract", Path("bad")}), 1);
  EXPECT_NE(std::system(command_for(Path("bad")).c_str()), 0);
}

// An SM2 bidder through the command line: the report names SM2, and the
// documented openssl commands check the extracted signature.
TEST_F(BidxCliTest, Sm2BidIsNamedAndChecksWithOpenssl) {
  container::UniqueFile cert(std::fopen(Path("sm2.pem").c_str(), "wb"));
  ASSERT_EQ(PEM_write_X509(cert.get(), testing::SharedSm2Signer().cert.get()), 1);
  cert.reset();
  WriteKey("sm2.key", testing::SharedSm2Signer().key.get());
  ASSERT_EQ(Seal({}, "sm2.pem", "sm2.key"), 0) << err_.str();
  ASSERT_EQ(Run({"inspect", Path("a.bidx"), "--extract", Path("x")}), 0);
  for (const char* line : {"key: SM2, 256 bits (certificate signed SM2-with-SM3)",
                           "verified (SM2-with-SM3)", "sm3: "}) {
    EXPECT_NE(out_.str().find(line), std::string::npos) << line << "\n" << out_.str();
  }
  const std::string x = "'" + Path("x") + "/";
  const std::string command = "openssl x509 -in " + x + "signer.pem' -pubkey -noout > " + x +
                              "pub.pem' && openssl pkeyutl -verify -pubin -inkey " + x +
                              "pub.pem' -rawin -digest sm3 -in " + x + "attrs.der' -sigfile " + x +
                              "sm2sig.der' -pkeyopt distid:1234567812345678 >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
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
