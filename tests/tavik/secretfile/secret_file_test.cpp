// The container library through its C interface: sealing then verifying,
// tampering with every region, the two-call protocol and the handle contract.
#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <algorithm>
#include <climits>
#include <filesystem>

#include "support/fifo.h"
#include "support/scoped_env.h"
#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/container_format.h"
#include "tavik/secretfile/sm2_signed_data.h"
#include "tavik/secretfile/test_bid.h"
#include "tavik/sm2/sm2_signature.h"
#include "tavik/tavik_handles.h"
#include "tavik/tavik_secret_file.h"
#include "tools/bidx/key_files.h"

namespace brevalt {
namespace {

namespace cnt = container;
using testing::Bytes;

class SecretFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(testing::SealBid(bid_, parts_, testing::SharedSigner()), cnt::kOk);
  }

  // Creates a handle on `path`, sets a folder and verifies; returns Verify's code.
  int Verify(const std::filesystem::path& path, UniqueDecryptor* out = nullptr) {
    CTavikFileDecryptor* raw = nullptr;
    int rc = TavikSecretFileDecryptorCreateHandle(&raw, path.c_str());
    UniqueDecryptor handle(raw);
    if (rc == 0) {
      rc = TavikSecretFileDecryptorSetFolder(handle.get(), dir_.path().c_str());
    }
    if (rc == 0) {
      rc = TavikSecretFileDecryptorVerify(handle.get());
    }
    if (out != nullptr) {
      *out = std::move(handle);
    }
    return rc;
  }

  // Offsets of the regions of the sealed test bid.
  std::size_t CustomAt() const { return cnt::kHeaderSize; }
  std::size_t PayloadAt() const { return CustomAt() + parts_.custom_data.size(); }
  std::size_t CertAt() const { return PayloadAt() + parts_.payload.size(); }
  std::size_t SignedEnd() const { return CertAt() + CertDer().size(); }
  Bytes CertDer() const { return bidx::CertificateDer(testing::SharedSigner().cert.get()); }

  testing::TempDir dir_;
  testing::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path().string()};  // no trust anchors
  testing::BidParts parts_;
  std::filesystem::path bid_ = dir_.Path("a_P001_1.tbs.bidx");
};

TEST_F(SecretFileTest, SealedBidVerifiesAndHandsOutItsParts) {
  UniqueDecryptor handle;
  ASSERT_EQ(Verify(bid_, &handle), 0);

  int length = 0;
  ASSERT_EQ(TavikSecretFileDecryptorGetSignCert(handle.get(), nullptr, &length), 0);
  Bytes cert(static_cast<std::size_t>(length));
  ASSERT_EQ(TavikSecretFileDecryptorGetSignCert(handle.get(), cert.data(), &length), 0);
  EXPECT_EQ(cert, CertDer());

  length = 0;
  ASSERT_EQ(TavikSecretFileDecryptorGetCustomData(handle.get(), nullptr, &length), 0);
  ASSERT_EQ(length, static_cast<int>(parts_.custom_data.size()));
  Bytes custom(static_cast<std::size_t>(length) + 4);  // a larger buffer is fine
  length = static_cast<int>(custom.size());
  ASSERT_EQ(TavikSecretFileDecryptorGetCustomData(handle.get(), custom.data(), &length), 0);
  EXPECT_EQ(length, static_cast<int>(parts_.custom_data.size()));
  custom.resize(static_cast<std::size_t>(length));
  EXPECT_EQ(custom, parts_.custom_data);

  int total = 0, min = 0;
  EXPECT_EQ(TavikSecretFileDecryptorGetTotalNum(handle.get(), &total), 0);
  EXPECT_EQ(TavikSecretFileDecryptorGetMinNum(handle.get(), &min), 0);
  EXPECT_EQ(total, 3);
  EXPECT_EQ(min, 2);
}

TEST_F(SecretFileTest, BufferBelowTheLengthIsRefusedUntouched) {
  UniqueDecryptor handle;
  ASSERT_EQ(Verify(bid_, &handle), 0);
  Bytes small(4, 0);
  int length = 4;
  EXPECT_EQ(TavikSecretFileDecryptorGetCustomData(handle.get(), small.data(), &length),
            cnt::kBufferTooSmall);
  EXPECT_EQ(small, Bytes(4, 0));
  EXPECT_EQ(TavikSecretFileDecryptorGetSignCert(handle.get(), nullptr, nullptr),
            cnt::kInvalidArgument);
}

TEST_F(SecretFileTest, CountsAndEmptyBlocksAreStoredAsGiven) {
  const struct { std::int32_t total, min; } rows[] = {{0, 0}, {-5, 7}, {INT32_MIN, INT32_MAX}};
  for (const auto& row : rows) {
    parts_ = {row.total, row.min, {}, {}};
    ASSERT_EQ(testing::SealBid(bid_, parts_, testing::SharedSigner()), cnt::kOk);
    UniqueDecryptor handle;
    ASSERT_EQ(Verify(bid_, &handle), 0);
    int total = 1, min = 1, length = 99;
    TavikSecretFileDecryptorGetTotalNum(handle.get(), &total);
    TavikSecretFileDecryptorGetMinNum(handle.get(), &min);
    EXPECT_EQ(total, row.total);
    EXPECT_EQ(min, row.min);
    EXPECT_EQ(TavikSecretFileDecryptorGetCustomData(handle.get(), nullptr, &length), 0);
    EXPECT_EQ(length, 0);
  }
}

TEST_F(SecretFileTest, GettersNeedASuccessfulVerify) {
  CTavikFileDecryptor* raw = nullptr;
  ASSERT_EQ(TavikSecretFileDecryptorCreateHandle(&raw, bid_.c_str()), 0);
  UniqueDecryptor handle(raw);
  int value = 0;
  EXPECT_EQ(TavikSecretFileDecryptorGetSignCert(handle.get(), nullptr, &value), cnt::kNotVerified);
  EXPECT_EQ(TavikSecretFileDecryptorGetCustomData(handle.get(), nullptr, &value),
            cnt::kNotVerified);
  EXPECT_EQ(TavikSecretFileDecryptorGetTotalNum(handle.get(), &value), cnt::kNotVerified);
  EXPECT_EQ(TavikSecretFileDecryptorGetMinNum(handle.get(), &value), cnt::kNotVerified);

  // A later failing Verify withdraws what an earlier one established.
  ASSERT_EQ(TavikSecretFileDecryptorVerify(handle.get()), 0);
  Bytes file = testing::ReadBytes(bid_);
  file[PayloadAt()] ^= 0x01;
  testing::WriteBytes(bid_, file);
  EXPECT_EQ(TavikSecretFileDecryptorVerify(handle.get()), cnt::kContentDigestMismatch);
  EXPECT_EQ(TavikSecretFileDecryptorGetTotalNum(handle.get(), &value), cnt::kNotVerified);
}

TEST_F(SecretFileTest, HandleContract) {
  CTavikFileDecryptor* raw = reinterpret_cast<CTavikFileDecryptor*>(&raw);
  EXPECT_EQ(TavikSecretFileDecryptorCreateHandle(&raw, dir_.Path("missing.bidx").c_str()),
            cnt::kFileOpenFailed);
  EXPECT_EQ(raw, nullptr);
  EXPECT_EQ(TavikSecretFileDecryptorCreateHandle(&raw, dir_.path().c_str()), cnt::kFileOpenFailed);
  const std::string fifo = dir_.Path("fifo.bidx").string();
  ASSERT_TRUE(testing::MakeFifo(fifo));
  EXPECT_EQ(testing::WithoutBlocking<int>(
                fifo, [&] { return TavikSecretFileDecryptorCreateHandle(&raw, fifo.c_str()); }),
            cnt::kFileOpenFailed);
  EXPECT_EQ(TavikSecretFileDecryptorCreateHandle(&raw, nullptr), cnt::kInvalidArgument);
  EXPECT_EQ(TavikSecretFileDecryptorCreateHandle(nullptr, bid_.c_str()), cnt::kInvalidArgument);
  EXPECT_EQ(TavikSecretFileDecryptorVerify(nullptr), cnt::kInvalidArgument);
  EXPECT_EQ(TavikSecretFileDecryptorSetFolder(nullptr, "x"), cnt::kInvalidArgument);
  EXPECT_EQ(TavikSecretFileDecryptorReleaseHandle(nullptr), 0);

  // The file vanishing between create and verify is reported by Verify.
  ASSERT_EQ(TavikSecretFileDecryptorCreateHandle(&raw, bid_.c_str()), 0);
  UniqueDecryptor handle(raw);
  std::filesystem::remove(bid_);
  EXPECT_EQ(TavikSecretFileDecryptorVerify(handle.get()), cnt::kFileOpenFailed);
}

// After Verify no descriptor of this process refers to the bid, and the
// working folder holds nothing but the bid itself.
TEST_F(SecretFileTest, VerifyLeavesNoOpenFileAndWritesNothing) {
  UniqueDecryptor handle;
  ASSERT_EQ(Verify(bid_, &handle), 0);
  const auto canonical = std::filesystem::canonical(bid_);
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    EXPECT_NE(std::filesystem::read_symlink(fd.path(), ec), canonical);
  }
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_.path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

// Where the regions of the sealed test bid lie.
struct Regions {
  std::size_t custom, payload, cert, signed_end;
  std::uint64_t payload_size;
};

// One row per way of damaging a sealed bid, with the exact code expected.
struct Damage {
  const char* name;
  void (*apply)(Bytes&, const Regions&);
  int expected;
};

void Flip(Bytes& file, std::size_t at) {
  file.at(at) ^= 0x01;
}
void SetField64(Bytes& file, std::size_t at, std::uint64_t v) {
  cnt::StoreBigEndian64(v, file.data() + at);
}
void SetSignatureLength(Bytes& file, const Regions& r, std::uint32_t v) {
  cnt::StoreBigEndian32(v, &file.at(r.signed_end));
}
std::uint32_t SignatureLength(const Bytes& file, const Regions& r) {
  return static_cast<std::uint32_t>(file.size() - r.signed_end - 4);
}

using R = const Regions&;
const Damage kDamages[] = {
    {"magic", [](Bytes& f, R) { Flip(f, 0); }, cnt::kNotAContainer},
    {"version", [](Bytes& f, R) { Flip(f, 11); }, cnt::kUnsupportedVersion},
    {"total count", [](Bytes& f, R) { Flip(f, 15); }, cnt::kContentDigestMismatch},
    {"minimum count", [](Bytes& f, R) { Flip(f, 19); }, cnt::kContentDigestMismatch},
    {"custom data", [](Bytes& f, R r) { Flip(f, r.custom + 9); }, cnt::kContentDigestMismatch},
    {"payload", [](Bytes& f, R r) { Flip(f, r.payload); }, cnt::kContentDigestMismatch},
    {"certificate tag", [](Bytes& f, R r) { Flip(f, r.cert); }, cnt::kCertificateMalformed},
    {"certificate body", [](Bytes& f, R r) { Flip(f, r.signed_end - 1); },
     cnt::kContentDigestMismatch},
    {"signature tag", [](Bytes& f, R r) { Flip(f, r.signed_end + 4); }, cnt::kSignatureMalformed},
    {"signature value", [](Bytes& f, R) { Flip(f, f.size() - 1); }, cnt::kSignatureInvalid},
    {"cut by one", [](Bytes& f, R) { f.pop_back(); }, cnt::kTruncated},
    {"cut in the payload", [](Bytes& f, R r) { f.resize(r.payload + 1); }, cnt::kTruncated},
    {"only the header", [](Bytes& f, R) { f.resize(44); }, cnt::kTruncated},
    {"header cut short", [](Bytes& f, R) { f.resize(30); }, cnt::kTruncated},
    {"magic cut short", [](Bytes& f, R) { f.resize(7); }, cnt::kNotAContainer},
    {"empty file", [](Bytes& f, R) { f.clear(); }, cnt::kNotAContainer},
    {"one byte appended", [](Bytes& f, R) { f.push_back(0); }, cnt::kTrailingBytes},
    {"payload length past the end", [](Bytes& f, R r) { SetField64(f, 28, r.payload_size + 1); },
     cnt::kTruncated},
    {"payload length above 32 bits",
     [](Bytes& f, R r) { SetField64(f, 28, r.payload_size + (1ull << 32)); }, cnt::kTruncated},
    {"payload length at the 64-bit limit", [](Bytes& f, R) { SetField64(f, 28, UINT64_MAX); },
     cnt::kTruncated},
    {"huge custom data length", [](Bytes& f, R) { SetField64(f, 20, 1ull << 40); },
     cnt::kLengthOutOfRange},
    {"huge certificate length", [](Bytes& f, R) { SetField64(f, 36, UINT64_MAX); },
     cnt::kLengthOutOfRange},
    {"signature length one more",
     [](Bytes& f, R r) { SetSignatureLength(f, r, SignatureLength(f, r) + 1); }, cnt::kTruncated},
    {"signature length one less",
     [](Bytes& f, R r) { SetSignatureLength(f, r, SignatureLength(f, r) - 1); },
     cnt::kTrailingBytes},
    {"huge signature length", [](Bytes& f, R r) { SetSignatureLength(f, r, UINT32_MAX); },
     cnt::kLengthOutOfRange},
};

TEST_F(SecretFileTest, EveryDamageFailsWithItsCode) {
  const Regions regions{CustomAt(), PayloadAt(), CertAt(), SignedEnd(), parts_.payload.size()};
  const Bytes sealed = testing::ReadBytes(bid_);
  for (const Damage& row : kDamages) {
    Bytes file = sealed;
    row.apply(file, regions);
    const auto path = dir_.Path("damaged.bidx");
    testing::WriteBytes(path, file);
    EXPECT_EQ(Verify(path), row.expected) << row.name;
  }
}

// Signatures that are well formed but made the wrong way.
TEST_F(SecretFileTest, SignaturesMadeTheWrongWayAreRejected) {
  const bidx::Signer& own = testing::SharedSigner();
  const bidx::Signer other = bidx::MakeSelfSignedSigner(bidx::KeyKind::kEcP256, "Other", 7);
  // Same subject, issuer and serial as the embedded certificate, another key.
  const bidx::Signer forger = bidx::MakeSelfSignedSigner(bidx::KeyKind::kEcP256, "投标人甲", 1001);
  const struct {
    const char* name;
    X509* cert;
    EVP_PKEY* key;
    const EVP_MD* md;
    unsigned int flags;
    int expected;
  } rows[] = {
      {"own key again", own.cert.get(), own.key.get(), EVP_sha256(), CMS_NOCERTS, cnt::kOk},
      {"certificates inside the CMS", own.cert.get(), own.key.get(), EVP_sha256(), 0,
       cnt::kSignatureUnexpectedForm},
      {"another signer", other.cert.get(), other.key.get(), EVP_sha256(), CMS_NOCERTS,
       cnt::kSignerMismatch},
      {"forged signer identity", forger.cert.get(), forger.key.get(), EVP_sha256(), CMS_NOCERTS,
       cnt::kSignatureInvalid},
      {"SHA-1 digest", own.cert.get(), own.key.get(), EVP_sha1(), CMS_NOCERTS,
       cnt::kUnsupportedAlgorithm},
      {"no signed attributes", own.cert.get(), own.key.get(), EVP_sha256(),
       CMS_NOCERTS | CMS_NOATTR, cnt::kSignatureMalformed},
      {"fewer signed attributes", own.cert.get(), own.key.get(), EVP_sha256(),
       CMS_NOCERTS | CMS_NOSMIMECAP, cnt::kSignatureUnexpectedForm},
  };
  for (const auto& row : rows) {
    testing::Resign(bid_, row.cert, row.key, row.md, row.flags);
    EXPECT_EQ(Verify(bid_), row.expected) << row.name;
  }
  // (r, n - s) verifies as well as (r, s); only the low-s form is taken.
  testing::Resign(bid_, own.cert.get(), own.key.get(), EVP_sha256(), CMS_NOCERTS, true);
  EXPECT_EQ(Verify(bid_), cnt::kSignatureNotCanonical);
}

// The signature block of a bid sealed by a signer with an ASCII name, and
// where it starts in the file.
struct SealedBid {
  Bytes file;
  std::size_t signature_at = 0;
};

SealedBid SmallAsciiBid(const std::filesystem::path& path,
                        bidx::KeyKind kind = bidx::KeyKind::kEcP256) {
  static const bidx::Signer ec = bidx::MakeSelfSignedSigner(bidx::KeyKind::kEcP256, "Bidder", 5);
  static const bidx::Signer sm2 = bidx::MakeSelfSignedSigner(bidx::KeyKind::kSm2, "Bidder", 6);
  const bidx::Signer& signer = kind == bidx::KeyKind::kSm2 ? sm2 : ec;
  testing::BidParts parts;
  parts.custom_data = {'R', 'U', 'L', 'F', 0, 0, 0, 1, 'x'};
  parts.payload = testing::BytesOf("p");
  EXPECT_EQ(testing::SealBid(path, parts, signer), cnt::kOk);
  SealedBid bid{testing::ReadBytes(path), 0};
  cnt::ContainerHeader h;
  EXPECT_EQ(cnt::DecodeHeader(bid.file.data(), bid.file.size(), &h), cnt::kOk);
  bid.signature_at = cnt::kHeaderSize + h.custom_length + h.payload_length + h.cert_length + 4;
  return bid;
}

// The n-th place (from 0) in the signature block where `pattern` starts.
std::size_t Find(const SealedBid& bid, const Bytes& pattern, int n = 0) {
  auto at = bid.file.begin() + static_cast<std::ptrdiff_t>(bid.signature_at);
  for (;; ++at) {
    at = std::search(at, bid.file.end(), pattern.begin(), pattern.end());
    if (at == bid.file.end() || n-- == 0) {
      return static_cast<std::size_t>(at - bid.file.begin());
    }
  }
}

// Fields no signature covers, each changed into another valid DER value.
TEST_F(SecretFileTest, UnsignedFieldsOfTheSignatureCannotChange) {
  const SealedBid bid = SmallAsciiBid(bid_);
  const Bytes version = {0x02, 0x01, 0x01};
  const Bytes sha256 = {0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x01};
  const Bytes ecdsa_sha256 = {0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x04, 0x03, 0x02};
  const struct {
    const char* name;
    std::size_t at;
    unsigned char value;
    int expected;
  } rows[] = {
      {"SignedData version 3", Find(bid, version) + 2, 3, cnt::kSignatureUnexpectedForm},
      {"digestAlgorithms SHA-512", Find(bid, sha256) + 8, 3, cnt::kUnsupportedAlgorithm},
      {"SignerInfo version 3", Find(bid, version, 1) + 2, 3, cnt::kSignatureUnexpectedForm},
      {"issuer name in lower case", Find(bid, testing::BytesOf("Bidder")), 'b',
       cnt::kSignerMismatch},
      {"signer's digest SHA-512", Find(bid, sha256, 1) + 8, 3, cnt::kUnsupportedAlgorithm},
      {"ecdsa-with-SHA384", Find(bid, ecdsa_sha256) + 7, 3, cnt::kUnsupportedAlgorithm},
  };
  const auto path = dir_.Path("edited.bidx");
  for (const auto& row : rows) {
    Bytes file = bid.file;
    file.at(row.at) = row.value;
    testing::WriteBytes(path, file);
    EXPECT_EQ(Verify(path), row.expected) << row.name;
  }
  // The outer length written with one byte more than it needs.
  Bytes file = bid.file;
  const std::size_t outer = bid.signature_at;
  ASSERT_EQ(file.at(outer + 1), 0x82);
  file[outer + 1] = 0x83;
  file.insert(file.begin() + static_cast<std::ptrdiff_t>(outer) + 2, 0x00);
  cnt::StoreBigEndian32(static_cast<std::uint32_t>(file.size() - outer), &file[outer - 4]);
  testing::WriteBytes(path, file);
  EXPECT_EQ(Verify(path), cnt::kSignatureNotCanonical);
}

// A file that verifies is exactly the file that was sealed: no changed byte
// anywhere and no shorter file verifies.
class SecretFileFlipTest : public SecretFileTest,
                           public ::testing::WithParamInterface<bidx::KeyKind> {};

TEST_P(SecretFileFlipTest, EveryByteFlipAndTruncationIsRefused) {
  const SealedBid bid = SmallAsciiBid(bid_, GetParam());
  ASSERT_EQ(Verify(bid_), 0);
  const auto path = dir_.Path("flipped.bidx");
  for (std::size_t at = 0; at < bid.file.size(); ++at) {
    for (const unsigned char mask : {0x01, 0x20, 0x80}) {
      Bytes file = bid.file;
      file[at] ^= mask;
      testing::WriteBytes(path, file);
      ASSERT_NE(Verify(path), 0) << "byte " << at << " ^ " << int{mask};
    }
    testing::WriteBytes(path, Bytes(bid.file.begin(), bid.file.begin() + at));
    ASSERT_NE(Verify(path), 0) << "cut to " << at << " bytes";
  }
}
INSTANTIATE_TEST_SUITE_P(EcdsaAndSm2, SecretFileFlipTest,
                         ::testing::Values(bidx::KeyKind::kEcP256, bidx::KeyKind::kSm2));

// The SM2 form takes the standard identifier, SM3 and an SM2 key only.
TEST_F(SecretFileTest, Sm2SignaturesMadeTheWrongWayAreRejected) {
  const bidx::Signer& sm2 = testing::SharedSm2Signer();
  ASSERT_EQ(testing::SealBid(bid_, parts_, sm2), cnt::kOk);
  ASSERT_EQ(Verify(bid_), 0);
  const Bytes attributes = testing::SignerOf(bid_).attributes;
  const Bytes sha256_attributes = cnt::Sm2SignedAttributes(Bytes(32, 0xAB), 0);
  const auto form = [&](const Bytes& signed_attributes, std::string_view id, X509* cert) {
    Bytes signature;
    EXPECT_TRUE(sm2::Sign(sm2.key.get(), signed_attributes, id, &signature));
    return cnt::Sm2SignedData(cert, signed_attributes, signature);
  };
  const struct {
    const char* name;
    Bytes signature;
    int expected;
  } rows[] = {
      {"empty identifier", form(attributes, "", sm2.cert.get()), cnt::kSignatureInvalid},
      {"another digest signed", form(sha256_attributes, sm2::kDefaultId, sm2.cert.get()),
       cnt::kContentDigestMismatch},
  };
  for (const auto& row : rows) {
    testing::ReplaceSignature(bid_, row.signature);
    EXPECT_EQ(Verify(bid_), row.expected) << row.name;
  }
}

TEST_F(SecretFileTest, RsaSignerVerifies) {
  const bidx::Signer rsa = bidx::MakeSelfSignedSigner(bidx::KeyKind::kRsa2048, "RSA bidder", 3);
  ASSERT_EQ(testing::SealBid(bid_, parts_, rsa), cnt::kOk);
  EXPECT_EQ(Verify(bid_), 0);
}

TEST_F(SecretFileTest, SealerRefusesAKeyOfAnotherCertificate) {
  const bidx::Signer other = bidx::MakeSelfSignedSigner(bidx::KeyKind::kEcP256, "Other", 7);
  bidx::Signer mixed;
  mixed.cert.reset(X509_dup(testing::SharedSigner().cert.get()));
  mixed.key.reset(EVP_PKEY_dup(other.key.get()));
  EXPECT_EQ(testing::SealBid(dir_.Path("mixed.bidx"), parts_, mixed), cnt::kSigningFailed);
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("mixed.bidx")));
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("mixed.bidx.part")));
  // An SM2 key of another SM2 certificate.
  const bidx::Signer other_sm2 = bidx::MakeSelfSignedSigner(bidx::KeyKind::kSm2, "Other", 8);
  mixed.cert.reset(X509_dup(testing::SharedSm2Signer().cert.get()));
  mixed.key.reset(EVP_PKEY_dup(other_sm2.key.get()));
  EXPECT_EQ(testing::SealBid(dir_.Path("mixed.bidx"), parts_, mixed), cnt::kSigningFailed);
}

// What callers outside the library reach through the C interface instead of
// its headers: the bidder chain and the anchor folder's description, with the
// two-call protocol's bounds.
TEST_F(SecretFileTest, ChainAndAnchorFolderThroughTheCInterface) {
  const Bytes der = CertDer();
  int status = -1;
  ASSERT_EQ(TavikSecretFileCheckBidderChain(der.data(), static_cast<int>(der.size()), &status), 0);
  EXPECT_STREQ(TavikSecretFileChainStatusName(status), "unchecked");  // no anchors yet
  EXPECT_EQ(TavikSecretFileCheckBidderChain(der.data(), -1, &status), cnt::kInvalidArgument);
  EXPECT_EQ(TavikSecretFileCheckBidderChain(nullptr, 5, &status), cnt::kInvalidArgument);
  EXPECT_EQ(TavikSecretFileCheckBidderChain(der.data(), 1, nullptr), cnt::kInvalidArgument);

  const std::filesystem::path folder = dir_.Path("TAVIK/qzv/trust/bidder");
  std::filesystem::create_directories(folder);
  testing::WriteBytes(folder / "signer.cer", der);
  testing::WriteBytes(folder / "junk.pem", Bytes{'x'});
  const Bytes garbage{0x30, 0x03, 0x02, 0x01, 0x01};
  ASSERT_EQ(TavikSecretFileCheckBidderChain(garbage.data(), 5, &status), 0);
  EXPECT_EQ(status, TAVIK_CHAIN_REFUSED);

  const std::string expected = "junk.pem: refused, holds no certificate; signer.cer: 1 certificate";
  int length = 0;
  EXPECT_EQ(TavikSecretFileDescribeAnchorFolder(folder.c_str(), nullptr, nullptr),
            cnt::kInvalidArgument);
  ASSERT_EQ(TavikSecretFileDescribeAnchorFolder(folder.c_str(), nullptr, &length), 0);
  ASSERT_EQ(length, static_cast<int>(expected.size()));
  std::string text(expected.size() + 1, '#');
  length = static_cast<int>(expected.size());  // no room for the terminator
  EXPECT_EQ(TavikSecretFileDescribeAnchorFolder(folder.c_str(), text.data(), &length),
            cnt::kBufferTooSmall);
  EXPECT_EQ(text, std::string(expected.size() + 1, '#'));
  length = static_cast<int>(text.size());
  ASSERT_EQ(TavikSecretFileDescribeAnchorFolder(folder.c_str(), text.data(), &length), 0);
  EXPECT_EQ(length, static_cast<int>(expected.size()));
  EXPECT_STREQ(text.c_str(), expected.c_str());
}

}  // namespace
}  // namespace brevalt
