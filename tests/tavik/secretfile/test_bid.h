// Helpers for tests that seal, tamper with and re-sign bid containers.
#ifndef BREVALT_TESTS_PLATFORM_CONTAINER_TEST_BID_H
#define BREVALT_TESTS_PLATFORM_CONTAINER_TEST_BID_H

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tavik/secretfile/openssl_owners.h"
#include "tools/bidx/ephemeral_signer.h"

namespace brevalt::testing {

using Bytes = std::vector<unsigned char>;

// A fresh directory under the system temp folder, removed with its contents
// when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path Path(const std::string& name) const { return path_ / name; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes BytesOf(const std::string& text);

// One EC signer shared by all tests of a binary (key generation is slow
// under the sanitizers).
const bidx::Signer& SharedSigner();
// The same for an SM2 signer (SM2 curve, certificate signed SM2-with-SM3).
const bidx::Signer& SharedSm2Signer();

struct BidParts {
  std::int32_t total = 3;
  std::int32_t min = 2;
  Bytes custom_data = {'R', 'U', 'L', 'F', 0, 0, 0, 5, 'h', 'e', 'l', 'l', 'o'};
  Bytes payload = BytesOf("the bid documents");
};

// Seals `parts` with `signer` to `path`; returns the container error code.
int SealBid(const std::filesystem::path& path, const BidParts& parts, const bidx::Signer& signer);

// The signed attributes (as the SET that is signed) and signature of the bid at `path`.
struct SignerParts {
  Bytes attributes;
  Bytes signature;
};
SignerParts SignerOf(const std::filesystem::path& path);

// Replaces the signature block (and its length) of the container at `path`.
void ReplaceSignature(const std::filesystem::path& path, const Bytes& der);

// Replaces the signature of the container at `path` with a CMS SignedData
// over the same signed bytes, made with `cert`/`key`, digest `md` and CMS
// `flags` (CMS_DETACHED and CMS_BINARY are always added). An ECDSA signature
// is written in its low-s form, or in the other (high-s) form with `mirror_s`.
void Resign(const std::filesystem::path& path, X509* cert, EVP_PKEY* key, const EVP_MD* md,
            unsigned int flags, bool mirror_s = false);

}  // namespace brevalt::testing

#endif  // BREVALT_TESTS_PLATFORM_CONTAINER_TEST_BID_H
