#include "bid/verification_code.h"

#include <array>
#include <cstring>

#include "bid/locked_file.h"
#include "tavik/tavik_handles.h"

namespace brevalt {
namespace {

constexpr int kReadBufferSize = 8192;

// Feeds every byte of the file to the hash. False on a read or update failure.
bool DigestFile(LockedFile& file, TAVIK_HASH_st* hash) {
  std::array<unsigned char, kReadBufferSize> buffer;
  for (;;) {
    std::memset(buffer.data(), 0, buffer.size());
    long n = file.Read(buffer.data(), buffer.size());
    if (n < 0)
      return false;
    if (n == 0)
      return true;
    if (TavikPKICryptoHashUpdate(hash, buffer.data(), static_cast<int>(n)) != 1)
      return false;
  }
}

std::u16string HexUpper(const unsigned char* bytes, int length) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text;
  text.reserve(static_cast<size_t>(length) * 2);
  for (int i = 0; i < length; ++i) {
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return text;
}

}  // namespace

int ComputeVerificationCode(const std::u16string& path, CVerifyResult& result) {
  UniqueDevice device(TavikPKICryptoGetPseudoDevice());
  if (!device)
    return -1;
  UniqueHash hash(TavikPKICryptoNewHash(device.get(), TAVIK_HASH_BID_CODE));
  if (!hash)
    return -1;
  {
    LockedFile file;
    if (!file.Open(path))
      return -1;
    if (!DigestFile(file, hash.get()))
      return -1;
  }  // the file and its lock are released before the digest is finished
  unsigned char* raw_digest = nullptr;
  int length = 0;
  if (TavikPKICryptoHashFinal(hash.get(), &raw_digest, &length) != 1)
    return -1;
  UniqueLibBuffer<unsigned char> digest(raw_digest);
  if (!digest || length <= 0 || length > kMaxDigestLength)
    return -1;
  result.DigestLength = length;
  result.VerifyCode = HexUpper(digest.get(), length);
  return 0;
}

}  // namespace brevalt
