// The software device and the running digests. Algorithm ids 4096 (bid
// verification code) and 8192 (time-stamp imprint) are both SHA-256.
#include <openssl/evp.h>

#include <memory>

#include "tavik/pki/pki_memory.h"
#include "tavik/tavik_pki.h"

// The software device holds no state: digests run in this process.
struct TAVIK_DEVICE_st {
  int unused = 0;
};

struct TAVIK_HASH_st {
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context{nullptr, &EVP_MD_CTX_free};
  bool finished = false;  // after HashFinal the digest takes no more input
};

namespace {

const EVP_MD* DigestForAlgorithm(int algorithm) {
  switch (algorithm) {
    case TAVIK_HASH_BID_CODE:
    case TAVIK_HASH_TIMESTAMP:
      return EVP_sha256();
    case TAVIK_HASH_SM3:
      return EVP_sm3();
    default:
      return nullptr;
  }
}

}  // namespace

extern "C" {

TAVIK_DEVICE_st* TavikPKICryptoGetPseudoDevice(void) {
  return new (std::nothrow) TAVIK_DEVICE_st();
}

void TavikPKICryptoFreeDevice(TAVIK_DEVICE_st* device) {
  delete device;
}

TAVIK_HASH_st* TavikPKICryptoNewHash(TAVIK_DEVICE_st* device, int algorithm) {
  const EVP_MD* md = DigestForAlgorithm(algorithm);
  if (device == nullptr || md == nullptr) {
    return nullptr;
  }
  auto hash = std::unique_ptr<TAVIK_HASH_st>(new (std::nothrow) TAVIK_HASH_st());
  if (!hash) {
    return nullptr;
  }
  hash->context.reset(EVP_MD_CTX_new());
  if (!hash->context || EVP_DigestInit_ex(hash->context.get(), md, nullptr) != 1) {
    return nullptr;
  }
  return hash.release();
}

int TavikPKICryptoHashUpdate(TAVIK_HASH_st* hash, const unsigned char* data, int length) {
  if (hash == nullptr || hash->finished || length < 0 || (data == nullptr && length > 0)) {
    return 0;
  }
  if (length == 0) {
    return 1;
  }
  return EVP_DigestUpdate(hash->context.get(), data, static_cast<size_t>(length)) == 1 ? 1 : 0;
}

int TavikPKICryptoHashFinal(TAVIK_HASH_st* hash, unsigned char** digest, int* length) {
  if (hash == nullptr || hash->finished || digest == nullptr || length == nullptr) {
    return 0;
  }
  unsigned char value[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  hash->finished = true;
  if (EVP_DigestFinal_ex(hash->context.get(), value, &size) != 1) {
    return 0;
  }
  unsigned char* buffer = brevalt::pki::CopyToLibBuffer(value, size);
  if (buffer == nullptr) {
    return 0;
  }
  *digest = buffer;
  *length = static_cast<int>(size);
  return 1;
}

void TavikPKICryptoFreeHash(TAVIK_HASH_st* hash) {
  delete hash;
}

}  // extern "C"
