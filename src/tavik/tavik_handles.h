// RAII owners for the objects and buffers the closed libraries hand out.
// Each unique_ptr calls the library's own release function.
#ifndef BREVALT_PLATFORM_TAVIK_HANDLES_H
#define BREVALT_PLATFORM_TAVIK_HANDLES_H

#include <memory>

#include "tavik/tavik_bid_rules_file.h"
#include "tavik/tavik_pki.h"
#include "tavik/tavik_secret_file.h"

namespace brevalt {

struct DeviceDeleter {
  void operator()(TAVIK_DEVICE_st* p) const { TavikPKICryptoFreeDevice(p); }
};
struct HashDeleter {
  void operator()(TAVIK_HASH_st* p) const { TavikPKICryptoFreeHash(p); }
};
struct CertDeleter {
  void operator()(TAVIK_CERT_st* p) const { TavikPKICertFreeCert(p); }
};
struct TimeStampDeleter {
  void operator()(TAVIK_TIMESTAMP_st* p) const { TavikPKIMsgFreeTimeStamp(p); }
};
struct LibMemoryDeleter {
  void operator()(void* p) const { TavikPKICryptoFreeMemory(p); }
};
struct DecryptorDeleter {
  void operator()(CTavikFileDecryptor* p) const { TavikSecretFileDecryptorReleaseHandle(p); }
};
struct RulesFileDeleter {
  void operator()(CTavikBidRulesFile* p) const { TavikBidRulesFileReleaseHandle(p); }
};

using UniqueDevice = std::unique_ptr<TAVIK_DEVICE_st, DeviceDeleter>;
using UniqueHash = std::unique_ptr<TAVIK_HASH_st, HashDeleter>;
using UniqueCert = std::unique_ptr<TAVIK_CERT_st, CertDeleter>;
using UniqueTimeStamp = std::unique_ptr<TAVIK_TIMESTAMP_st, TimeStampDeleter>;
// A buffer or text handed out by the PKI library.
template <typename T>
using UniqueLibBuffer = std::unique_ptr<T, LibMemoryDeleter>;
using UniqueDecryptor = std::unique_ptr<CTavikFileDecryptor, DecryptorDeleter>;
using UniqueRulesFile = std::unique_ptr<CTavikBidRulesFile, RulesFileDeleter>;

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_TAVIK_HANDLES_H
