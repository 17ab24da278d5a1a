#include "bid/verification_code.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "bid/locked_file.h"
#include "tavik/tavik_handles.h"

namespace brevalt {
namespace {

// The hash takes pieces of at most 8192 bytes; the file is read in much
// larger blocks so that a 1 GiB bid costs about a thousand system calls
// rather than 131,072.
constexpr std::size_t kPieceSize = 8192;
constexpr std::size_t kReadBlockSize = 128 * kPieceSize;  // 1 MiB

// Hands the n bytes at data on to the hash in pieces of at most kPieceSize.
bool HashPieces(TAVIK_HASH_st* hash, const unsigned char* data, std::size_t n) {
  for (std::size_t offset = 0; offset < n; offset += kPieceSize) {
    const std::size_t piece = std::min(kPieceSize, n - offset);
    if (TavikPKICryptoHashUpdate(hash, data + offset, static_cast<int>(piece)) != 1)
      return false;
  }
  return true;
}

// Feeds every byte of the file to the hash. False on a read or update failure.
bool DigestFile(LockedFile& file, TAVIK_HASH_st* hash) {
  std::vector<unsigned char> block;
  try {
    block.resize(kReadBlockSize);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (;;) {
    const long n = file.Read(block.data(), block.size());
    if (n < 0)
      return false;
    if (n == 0)
      return true;
    if (!HashPieces(hash, block.data(), static_cast<std::size_t>(n)))
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

// The code of the file already open in `file` into *code and *length; 0 or -1.
int ComputeCode(LockedFile& file, std::u16string* code, int* length) {
  UniqueDevice device(TavikPKICryptoGetPseudoDevice());
  if (!device)
    return -1;
  UniqueHash hash(TavikPKICryptoNewHash(device.get(), TAVIK_HASH_BID_CODE));
  if (!hash || !DigestFile(file, hash.get()))
    return -1;
  unsigned char* raw_digest = nullptr;
  *length = 0;
  if (TavikPKICryptoHashFinal(hash.get(), &raw_digest, length) != 1)
    return -1;
  UniqueLibBuffer<unsigned char> digest(raw_digest);
  if (!digest || *length <= 0 || *length > kMaxDigestLength)
    return -1;
  *code = HexUpper(digest.get(), *length);
  return 0;
}

}  // namespace

int ComputeVerificationCode(const std::u16string& path, CVerifyResult& result) {
  std::u16string code;
  int length = 0;
  {
    LockedFile file;
    if (!file.Open(path) || ComputeCode(file, &code, &length) != 0)
      return -1;
  }  // the file and its lock are released before the record changes
  result.DigestLength = length;
  result.VerifyCode = std::move(code);
  return 0;
}

PendingVerificationCode::PendingVerificationCode(const std::u16string& path)
    : opened_(file_.Open(path)) {}

int PendingVerificationCode::Join(CVerifyResult& result,
                                  const std::vector<unsigned char>* verified) {
  if (!opened_)
    return -1;
  std::u16string code;
  int length = 0;
  if (verified != nullptr) {
    if (verified->empty() || verified->size() > static_cast<size_t>(kMaxDigestLength))
      return -1;
    length = static_cast<int>(verified->size());
    code = HexUpper(verified->data(), length);
  } else {
    try {
      if (ComputeCode(file_, &code, &length) != 0)
        return -1;
    } catch (const std::bad_alloc&) {
      return -1;
    }
  }
  result.DigestLength = length;
  result.VerifyCode = std::move(code);
  return 0;
}

}  // namespace brevalt
