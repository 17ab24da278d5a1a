// The fake PKI library: device, digests and library memory.
#include <openssl/evp.h>

#include "fakes/fake_state.h"

namespace {

using brevalt::fake::detail::Kind;
using brevalt::fake::detail::Lock;
using brevalt::fake::detail::Shared;

std::string Sha256(const std::string& bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr) != 1)
    return {};
  return std::string(reinterpret_cast<const char*>(digest), size);
}

}  // namespace

extern "C" {

TAVIK_DEVICE_st* TavikPKICryptoGetPseudoDevice(void) {
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin("TavikPKICryptoGetPseudoDevice", "TavikPKICryptoGetPseudoDevice");
  if (s.ScriptedNull("TavikPKICryptoGetPseudoDevice", nth))
    return nullptr;
  return s.HandOut(Kind::kDevice, std::make_shared<TAVIK_DEVICE_st>());
}

void TavikPKICryptoFreeDevice(TAVIK_DEVICE_st* device) {
  auto lock = Lock();
  auto& s = Shared();
  s.Begin("TavikPKICryptoFreeDevice", "TavikPKICryptoFreeDevice");
  s.Release(Kind::kDevice, device, "TavikPKICryptoFreeDevice");
}

TAVIK_HASH_st* TavikPKICryptoNewHash(TAVIK_DEVICE_st* device, int algorithm) {
  static constexpr std::string_view kName = "TavikPKICryptoNewHash";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " algorithm=" + std::to_string(algorithm));
  if (s.ScriptedNull(kName, nth))
    return nullptr;
  if (s.Live(Kind::kDevice, device, kName) == nullptr)
    return nullptr;
  if (algorithm != TAVIK_HASH_BID_CODE && algorithm != TAVIK_HASH_TIMESTAMP)
    return nullptr;
  auto hash = std::make_shared<TAVIK_HASH_st>();
  hash->algorithm = algorithm;
  return s.HandOut(Kind::kHash, std::move(hash));
}

int TavikPKICryptoHashUpdate(TAVIK_HASH_st* hash, const unsigned char* data, int length) {
  static constexpr std::string_view kName = "TavikPKICryptoHashUpdate";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " len=" + std::to_string(length));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  TAVIK_HASH_st* h = s.Live(Kind::kHash, hash, kName);
  if (h == nullptr || h->finished || length < 0 || (data == nullptr && length > 0))
    return 0;
  if (length > 0)
    h->fed.append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
  return 1;
}

int TavikPKICryptoHashFinal(TAVIK_HASH_st* hash, unsigned char** digest, int* length) {
  static constexpr std::string_view kName = "TavikPKICryptoHashFinal";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  TAVIK_HASH_st* h = s.Live(Kind::kHash, hash, kName);
  if (h == nullptr || h->finished || digest == nullptr || length == nullptr)
    return 0;
  const std::string bytes = s.hash_digest ? *s.hash_digest : Sha256(h->fed);
  if (bytes.empty())
    return 0;
  h->finished = true;
  *digest = s.HandOutMemory(bytes);
  *length = static_cast<int>(bytes.size());
  return 1;
}

void TavikPKICryptoFreeHash(TAVIK_HASH_st* hash) {
  auto lock = Lock();
  auto& s = Shared();
  s.Begin("TavikPKICryptoFreeHash", "TavikPKICryptoFreeHash");
  s.Release(Kind::kHash, hash, "TavikPKICryptoFreeHash");
}

void TavikPKICryptoFreeMemory(void* memory) {
  auto lock = Lock();
  auto& s = Shared();
  s.Begin("TavikPKICryptoFreeMemory", "TavikPKICryptoFreeMemory");
  s.Release(Kind::kMemory, memory, "TavikPKICryptoFreeMemory");
}

}  // extern "C"
