// Our SM2 signatures and SM3 digests against Botan's: what one makes, the
// other accepts, under the standard identifier only.
#include <gtest/gtest.h>

#include <botan/auto_rng.h>
#include <botan/data_src.h>
#include <botan/hash.h>
#include <botan/pkcs8.h>
#include <botan/pubkey.h>
#include <botan/sm2.h>
#include <botan/x509_key.h>
#include <openssl/x509.h>

#include <algorithm>
#include <memory>
#include <string>

#include "support/scoped_env.h"
#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/container_reader.h"
#include "tavik/secretfile/container_signature.h"
#include "tavik/secretfile/file_digests.h"
#include "tavik/secretfile/sm2_signed_data.h"
#include "tavik/secretfile/test_bid.h"

namespace brevalt {
namespace {

namespace cnt = container;
using testing::Bytes;

const std::string kStandard = "1234567812345678,SM3";  // Botan: identifier, hash

Bytes BotanSm3(const Bytes& data) {
  auto sm3 = Botan::HashFunction::create_or_throw("SM3");
  const auto digest = sm3->process(data);
  return Bytes(digest.begin(), digest.end());
}

// Botan's SM2 key with the scalar of `key`, on the curve of `key`.
std::unique_ptr<Botan::SM2_PrivateKey> BotanKey(EVP_PKEY* key, Botan::RandomNumberGenerator& rng) {
  const std::unique_ptr<PKCS8_PRIV_KEY_INFO, ReleaseWith<PKCS8_PRIV_KEY_INFO_free>> info(
      EVP_PKEY2PKCS8(key));
  Bytes pkcs8(static_cast<std::size_t>(i2d_PKCS8_PRIV_KEY_INFO(info.get(), nullptr)));
  unsigned char* p = pkcs8.data();
  i2d_PKCS8_PRIV_KEY_INFO(info.get(), &p);
  Botan::DataSource_Memory source(pkcs8);
  const auto loaded = Botan::PKCS8::load_key(source);
  const auto& ec = dynamic_cast<const Botan::EC_PrivateKey&>(*loaded);
  return std::make_unique<Botan::SM2_PrivateKey>(rng, ec.domain(), ec.private_value());
}

Botan::SM2_PublicKey BotanPublicKey(X509* cert) {
  Bytes spki(static_cast<std::size_t>(i2d_PUBKEY(X509_get0_pubkey(cert), nullptr)));
  unsigned char* p = spki.data();
  i2d_PUBKEY(X509_get0_pubkey(cert), &p);
  const std::unique_ptr<Botan::Public_Key> loaded(Botan::X509::load_key(spki));
  const auto& ec = dynamic_cast<const Botan::EC_PublicKey&>(*loaded);
  return Botan::SM2_PublicKey(ec.domain(), ec.public_point());
}

bool BotanVerifies(const Botan::Public_Key& key, const Bytes& message, const Bytes& signature,
                   const std::string& params) {
  Botan::PK_Verifier verifier(key, params, Botan::DER_SEQUENCE);
  return verifier.verify_message(message, signature);
}

class BotanPeerTest : public ::testing::Test {
 protected:
  int Verify() {
    cnt::ContainerContents contents;
    const int rc = cnt::ReadContainer(bid_.string(), &contents);
    return rc == cnt::kOk ? cnt::CheckSignature(contents) : rc;
  }
  // The signed bytes of the bid; `*contents` as the reader found them.
  Bytes SignedBytes(cnt::ContainerContents* contents) {
    EXPECT_EQ(cnt::ReadContainer(bid_.string(), contents), cnt::kOk);
    Bytes file = testing::ReadBytes(bid_);
    file.resize(static_cast<std::size_t>(contents->signed_length));
    return file;
  }

  testing::TempDir dir_;
  testing::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path().string()};  // no trust anchors
  std::filesystem::path bid_ = dir_.Path("b.bidx");
  Botan::AutoSeeded_RNG rng_;
  const bidx::Signer& sm2_ = testing::SharedSm2Signer();
};

TEST_F(BotanPeerTest, OurSm2SealVerifiesInBotan) {
  ASSERT_EQ(testing::SealBid(bid_, {}, sm2_), cnt::kOk);
  const testing::SignerParts signer = testing::SignerOf(bid_);
  const Botan::SM2_PublicKey key = BotanPublicKey(sm2_.cert.get());
  EXPECT_TRUE(BotanVerifies(key, signer.attributes, signer.signature, kStandard));
  EXPECT_FALSE(BotanVerifies(key, signer.attributes, signer.signature, ",SM3"));
  // The message digest attribute (the last in DER order) is SM3 of the signed bytes.
  cnt::ContainerContents contents;
  const Bytes sm3 = BotanSm3(SignedBytes(&contents));
  EXPECT_TRUE(std::equal(sm3.begin(), sm3.end(), signer.attributes.end() - 32));
}

TEST_F(BotanPeerTest, BotanSm2SignatureVerifiesInOurReader) {
  ASSERT_EQ(testing::SealBid(bid_, {}, sm2_), cnt::kOk);
  const Bytes attributes = testing::SignerOf(bid_).attributes;
  const auto key = BotanKey(sm2_.key.get(), rng_);
  const struct {
    std::string params;
    int expected;
  } rows[] = {{kStandard, cnt::kOk}, {",SM3", cnt::kSignatureInvalid}};
  for (const auto& row : rows) {
    Botan::PK_Signer signer(*key, rng_, row.params, Botan::DER_SEQUENCE);
    const Bytes signature = signer.sign_message(attributes, rng_);
    testing::ReplaceSignature(bid_, cnt::Sm2SignedData(sm2_.cert.get(), attributes, signature));
    EXPECT_EQ(Verify(), row.expected) << row.params;
  }
}

// A valid SM2 signature over P-256 (Botan signs SM2 on any curve), in the SM2
// form under a P-256 certificate: the curve decides, not the identifiers.
TEST_F(BotanPeerTest, NonSm2CurveUnderTheSm2IdentifiersIsRefused) {
  const bidx::Signer& ec = testing::SharedSigner();
  ASSERT_EQ(testing::SealBid(bid_, {}, ec), cnt::kOk);
  cnt::ContainerContents contents;
  const Bytes attributes = cnt::Sm2SignedAttributes(BotanSm3(SignedBytes(&contents)), 0);
  const auto key = BotanKey(ec.key.get(), rng_);
  Botan::PK_Signer signer(*key, rng_, kStandard, Botan::DER_SEQUENCE);
  const Bytes signature = signer.sign_message(attributes, rng_);
  ASSERT_TRUE(BotanVerifies(BotanPublicKey(ec.cert.get()), attributes, signature, kStandard));
  testing::ReplaceSignature(bid_, cnt::Sm2SignedData(ec.cert.get(), attributes, signature));
  EXPECT_EQ(Verify(), cnt::kUnsupportedAlgorithm);
}

// Sizes around SM3's 64-byte block and the 64 KiB read buffer: the signed
// bytes' SM3 from the reader's pass, and the whole file's.
TEST_F(BotanPeerTest, Sm3AgreesWithBotan) {
  for (const std::size_t size : {0u, 1u, 55u, 56u, 64u, 65536u, 65536u + 71u}) {
    testing::BidParts parts;
    parts.payload.assign(size, 0x5A);
    ASSERT_EQ(testing::SealBid(bid_, parts, sm2_), cnt::kOk);
    cnt::ContainerContents contents;
    const Bytes expected = BotanSm3(SignedBytes(&contents));
    ASSERT_TRUE(contents.signed_sm3.has_value()) << size;
    EXPECT_EQ(Bytes(contents.signed_sm3->begin(), contents.signed_sm3->end()), expected) << size;
    cnt::FileDigests file;
    ASSERT_TRUE(cnt::DigestFile(bid_.string(), &file));
    EXPECT_EQ(Bytes(file.sm3.begin(), file.sm3.end()), BotanSm3(testing::ReadBytes(bid_)));
  }
}

}  // namespace
}  // namespace brevalt
