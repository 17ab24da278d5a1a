// Bidder certificates against the trust anchors in the per-user folder,
// through Verify (its code) and the chain state that tools show.
#include "tavik/secretfile/bidder_trust.h"

#include <gtest/gtest.h>

#include <openssl/pem.h>

#include <filesystem>

#include "support/scoped_env.h"
#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/test_bid.h"
#include "tavik/tavik_handles.h"
#include "tavik/tavik_secret_file.h"
#include "tools/bidx/key_files.h"

namespace brevalt {
namespace {

namespace cnt = container;
using bidx::KeyKind;
using bidx::Signer;

void WritePem(const std::filesystem::path& path, const std::vector<const Signer*>& certs) {
  cnt::UniqueFile file(std::fopen(path.c_str(), "wb"));
  for (const Signer* signer : certs) {
    ASSERT_EQ(PEM_write_X509(file.get(), signer->cert.get()), 1);
  }
}

class BidderTrustTest : public ::testing::Test {
 protected:
  // Seals a bid with `signer` and verifies it through the C interface.
  int SealAndVerify(const Signer& signer) {
    const auto bid = dir_.Path("bid.bidx");
    EXPECT_EQ(testing::SealBid(bid, testing::BidParts{}, signer), cnt::kOk);
    CTavikFileDecryptor* raw = nullptr;
    int rc = TavikSecretFileDecryptorCreateHandle(&raw, bid.c_str());
    UniqueDecryptor handle(raw);
    return rc != 0 ? rc : TavikSecretFileDecryptorVerify(handle.get());
  }

  // Empties the anchor folder and puts `anchors` into anchors.pem there.
  void SetAnchors(const std::vector<const Signer*>& anchors) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    if (!anchors.empty()) {
      WritePem(folder_ / "anchors.pem", anchors);
    }
  }

  testing::TempDir dir_;
  testing::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path().string()};
  std::filesystem::path folder_ = dir_.path() / "TAVIK/qzv/trust/bidder";
};

TEST_F(BidderTrustTest, SignerMustChainToAnAnchorWhenThereAreAny) {
  ASSERT_EQ(cnt::BidderTrustFolder(), folder_.string());
  const Signer ca = bidx::MakeCaSigner(KeyKind::kEcP256, "Bidder CA", 1);
  const Signer other_ca = bidx::MakeCaSigner(KeyKind::kEcP256, "Other CA", 2);
  const Signer fake_ca = bidx::MakeCaSigner(KeyKind::kEcP256, "Bidder CA", 1);
  const Signer bidder = bidx::MakeIssuedSigner(KeyKind::kEcP256, "张三", 10, ca);
  const Signer expired =
      bidx::MakeIssuedSigner(KeyKind::kEcP256, "张三", 11, ca, "digitalSignature", -30);
  const Signer encipher_only =
      bidx::MakeIssuedSigner(KeyKind::kEcP256, "张三", 12, ca, "keyAgreement");
  const Signer look_alike = bidx::MakeIssuedSigner(KeyKind::kEcP256, "张三", 10, fake_ca);
  const Signer self_named_ca = bidx::MakeSelfSignedSigner(KeyKind::kEcP256, "Bidder CA", 1);
  using S = cnt::ChainStatus;
  const struct {
    const char* name;
    std::vector<const Signer*> anchors;
    const Signer& signer;
    S status;
    int code;
  } rows[] = {
      {"no anchors", {}, bidder, S::kUnchecked, 0},
      {"the bidder's CA", {&ca}, bidder, S::kVerified, 0},
      {"among other anchors", {&other_ca, &ca}, bidder, S::kVerified, 0},
      {"expired, validity not judged", {&ca}, expired, S::kVerified, 0},
      {"another CA only", {&other_ca}, bidder, S::kRefused, cnt::kSignerNotTrusted},
      {"look-alike from a self-made CA", {&ca}, look_alike, S::kRefused, cnt::kSignerNotTrusted},
      {"self-signed with the CA's names",
       {&ca},
       self_named_ca,
       S::kRefused,
       cnt::kSignerNotTrusted},
      {"key usage without signatures", {&ca}, encipher_only, S::kRefused, cnt::kSignerNotTrusted},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetAnchors(row.anchors);
    EXPECT_EQ(SealAndVerify(row.signer), row.code);
    const cnt::BidderChain chain =
        cnt::CheckBidderChain(bidx::CertificateDer(row.signer.cert.get()));
    EXPECT_EQ(chain.status, row.status) << chain.detail;
    if (row.status == S::kVerified) {
      EXPECT_EQ(chain.detail, "CN=Bidder CA");
    }
  }
}

// OpenSSL 3.0 fails every SM2-signed link without the identifier: each
// link is checked under the standard one, and every other chain rule holds.
TEST_F(BidderTrustTest, Sm2ChainsWithAndWithoutAnIntermediate) {
  const Signer root = bidx::MakeCaSigner(KeyKind::kSm2, "SM2 Root", 1);
  const Signer inter = bidx::MakeCaSigner(KeyKind::kSm2, "SM2 Sub", 2, 3650, &root);
  const Signer fake_inter = bidx::MakeCaSigner(KeyKind::kSm2, "SM2 Sub", 2, 3650, &root);
  const Signer not_ca = bidx::MakeIssuedSigner(KeyKind::kSm2, "SM2 Sub", 3, root, "keyCertSign");
  const struct {
    const char* name;
    std::vector<const Signer*> anchors;
    Signer signer;
    int code;
  } rows[] = {
      {"issued by the root", {&root}, bidx::MakeIssuedSigner(KeyKind::kSm2, "李四", 10, root), 0},
      {"through an intermediate",
       {&root, &inter},
       bidx::MakeIssuedSigner(KeyKind::kSm2, "李四", 11, inter),
       0},
      {"the intermediate alone",
       {&inter},
       bidx::MakeIssuedSigner(KeyKind::kSm2, "李四", 12, inter),
       0},
      {"intermediate of the same name, other key",
       {&root, &inter},
       bidx::MakeIssuedSigner(KeyKind::kSm2, "李四", 13, fake_inter),
       cnt::kSignerNotTrusted},
      {"intermediate that is no CA",
       {&root, &not_ca},
       bidx::MakeIssuedSigner(KeyKind::kSm2, "李四", 14, not_ca),
       cnt::kSignerNotTrusted},
  };
  for (const auto& row : rows) {
    SetAnchors(row.anchors);
    EXPECT_EQ(SealAndVerify(row.signer), row.code) << row.name;
  }
}

// Only *.pem files count; a PEM file without a usable certificate, or a
// folder that cannot be listed, still turns the check on, so damaged anchors
// refuse rather than admit.
TEST_F(BidderTrustTest, WhichFilesCountAsAnchors) {
  const Signer ca = bidx::MakeCaSigner(KeyKind::kEcP256, "Bidder CA", 1);
  const Signer bidder = bidx::MakeIssuedSigner(KeyKind::kEcP256, "张三", 10, ca);
  SetAnchors({});
  WritePem(folder_ / "ca.txt", {&ca});
  EXPECT_EQ(cnt::CheckBidderChain(bidder.cert.get(), folder_.string()).status,
            cnt::ChainStatus::kUnchecked);
  testing::WriteBytes(folder_ / "broken.PEM", testing::BytesOf("-----BEGIN CERTIFICATE-----\n"));
  EXPECT_EQ(cnt::CheckBidderChain(bidder.cert.get(), folder_.string()).status,
            cnt::ChainStatus::kRefused);
  EXPECT_EQ(SealAndVerify(bidder), cnt::kSignerNotTrusted);
  WritePem(folder_ / "ca.pem", {&ca});
  EXPECT_EQ(SealAndVerify(bidder), 0);
  // A folder that exists but cannot be listed may hold anchors: refused.
  EXPECT_EQ(cnt::CheckBidderChain(bidder.cert.get(), (folder_ / "ca.pem").string()).status,
            cnt::ChainStatus::kRefused);
}

}  // namespace
}  // namespace brevalt
