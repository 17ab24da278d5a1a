#include "timestamp/time_stamp_request.h"

#include <algorithm>
#include <array>
#include <utility>

#include "timestamp/authority_time.h"

namespace brevalt {
namespace {

// The request is not bound to any document: its imprint is the digest of
// this fixed block.
constexpr std::size_t kImprintBlockLength = 80;
constexpr unsigned char kImprintBlockByte = 1;

// The library's digest buffer and its length.
struct Digest {
  UniqueLibBuffer<unsigned char> bytes;
  int length = 0;
};

// Hands size bytes to the hash in pieces an int can count.
bool HashPieces(TAVIK_HASH_st* hash, const unsigned char* bytes, std::size_t size) {
  constexpr std::size_t kPiece = 1u << 20;
  for (std::size_t at = 0; at < size; at += kPiece) {
    const std::size_t n = std::min(kPiece, size - at);
    if (TavikPKICryptoHashUpdate(hash, bytes + at, static_cast<int>(n)) != 1)
      return false;
  }
  return true;
}

// The digest of data (of the fixed block when data is empty) into *digest;
// false when any library step fails.
bool DigestImprint(std::string_view data, int algorithm, Digest* digest) {
  UniqueHash hash;
  {
    // The hash outlives its device, which is released at once.
    UniqueDevice device(TavikPKICryptoGetPseudoDevice());
    if (!device)
      return false;
    hash.reset(TavikPKICryptoNewHash(device.get(), algorithm));
  }
  if (!hash)
    return false;
  std::array<unsigned char, kImprintBlockLength> block;
  block.fill(kImprintBlockByte);
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  if (data.empty()
          ? TavikPKICryptoHashUpdate(hash.get(), block.data(), static_cast<int>(block.size())) != 1
          : !HashPieces(hash.get(), bytes, data.size())) {
    return false;
  }
  unsigned char* raw = nullptr;
  int length = 0;
  const int rc = TavikPKICryptoHashFinal(hash.get(), &raw, &length);
  digest->bytes.reset(raw);  // owned whatever the result, so never leaked
  if (rc != 1 || raw == nullptr || length <= 0)
    return false;
  digest->length = length;
  return true;
}

// Names the authority, the algorithm, the imprint and the time limit; the
// digest is handed back to the library as soon as the request holds its own copy.
bool SetUpRequest(TAVIK_TIMESTAMP_st* request, const char* url_ansi, Digest digest, int algorithm,
                  std::chrono::milliseconds limit) {
  if (TavikPKIMsgTimeStampSetTSA(request, url_ansi) != 1)
    return false;
  if (TavikPKIMsgTimeStampSetHashAlgorithm(request, algorithm) != 1)
    return false;
  const int rc = TavikPKIMsgTimeStampSetMessageImprint(request, digest.bytes.get(), digest.length);
  digest.bytes.reset();
  return rc == 1 && TavikPKIMsgTimeStampSetTimeout(request, static_cast<int>(limit.count())) == 1;
}

}  // namespace

UniqueTimeStamp PrepareTimeStampRequest(const char* url_ansi, std::chrono::milliseconds limit,
                                        std::string_view data, int algorithm) {
  Digest digest;
  if (url_ansi == nullptr || !DigestImprint(data, algorithm, &digest))
    return nullptr;
  UniqueTimeStamp request(TavikPKIMsgNewTimeStamp());
  if (!request || !SetUpRequest(request.get(), url_ansi, std::move(digest), algorithm, limit))
    return nullptr;
  return request;
}

bool ReadGrantedTime(TAVIK_TIMESTAMP_st* request, int64_t* out,
                     std::vector<unsigned char>* answer) {
  int status = -1;
  if (TavikPKIMsgTimeStampGetResponse(request, &status) != 1)
    return false;
  if (status != 0 && status != 1)
    return false;
  int64_t time = 0;
  {
    UniqueLibBuffer<char> text(TavikPKIMsgTimeStampGetTime(request));
    if (!text || !ParseAuthorityTime(text.get(), &time))
      return false;
  }
  unsigned char* raw = nullptr;
  int length = 0;
  const int rc = TavikPKIMsgTimeStampGetTimeStampToken(request, &raw, &length);
  UniqueLibBuffer<unsigned char> token(raw);
  if (rc != 1 || !token || length <= 0)
    return false;
  if (answer != nullptr) {
    unsigned char* bytes = nullptr;
    const int got = TavikPKIMsgTimeStampGetResponseData(request, &bytes, &length);
    UniqueLibBuffer<unsigned char> whole(bytes);
    if (got != 1 || !whole || length <= 0)
      return false;
    answer->assign(whole.get(), whole.get() + length);
  }
  *out = time;
  return true;
}

}  // namespace brevalt
