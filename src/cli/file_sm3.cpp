#include "cli/file_sm3.h"

#include <algorithm>
#include <vector>

#include "config/text_convert.h"
#include "platform/regular_file.h"
#include "tavik/tavik_handles.h"

namespace brevalt::cli {
namespace {

// The PKI library takes pieces of at most this many bytes.
constexpr unsigned long kPieceSize = 8192;

// The finished digest of hash as upper-case hexadecimal; empty on failure.
std::string FinishHex(TAVIK_HASH_st* hash) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  unsigned char* raw = nullptr;
  int length = 0;
  if (TavikPKICryptoHashFinal(hash, &raw, &length) != 1)
    return {};
  UniqueLibBuffer<unsigned char> digest(raw);
  std::string hex;
  for (int i = 0; digest && i < length; ++i) {
    hex += kDigits[digest.get()[i] >> 4];
    hex += kDigits[digest.get()[i] & 0x0F];
  }
  return hex;
}

}  // namespace

std::optional<std::string> FileSm3Of(const std::string& path,
                                     const std::u16string& verification_code) {
  if (verification_code.empty())
    return std::nullopt;
  UniqueDevice device(TavikPKICryptoGetPseudoDevice());
  UniqueHash sha256(device ? TavikPKICryptoNewHash(device.get(), TAVIK_HASH_BID_CODE) : nullptr);
  UniqueHash sm3(device ? TavikPKICryptoNewHash(device.get(), TAVIK_HASH_SM3) : nullptr);
  const UniqueFd file = OpenRegularFileNative(path);
  if (!sha256 || !sm3 || !file.valid())
    return std::nullopt;
  std::vector<unsigned char> block(128 * kPieceSize);
  for (;;) {
    const long n = ReadSome(file, block.data(), block.size());
    if (n < 0)
      return std::nullopt;
    if (n == 0)
      break;
    for (long at = 0; at < n; at += static_cast<long>(kPieceSize)) {
      const int piece = static_cast<int>(std::min<long>(n - at, kPieceSize));
      if (TavikPKICryptoHashUpdate(sha256.get(), block.data() + at, piece) != 1 ||
          TavikPKICryptoHashUpdate(sm3.get(), block.data() + at, piece) != 1)
        return std::nullopt;
    }
  }
  if (Utf8ToWide(FinishHex(sha256.get())) != verification_code)
    return std::nullopt;
  std::string hex = FinishHex(sm3.get());
  return hex.empty() ? std::nullopt : std::optional<std::string>(std::move(hex));
}

}  // namespace brevalt::cli
