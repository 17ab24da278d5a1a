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

// What the library says ended an exchange without an answer, in words.
std::string ExchangeFailureText(TAVIK_TIMESTAMP_st* request) {
  int failure = 0, detail = 0;
  if (TavikPKIMsgTimeStampGetFailure(request, &failure, &detail) != 1)
    return "no answer";
  const std::string code = " (curl code " + std::to_string(detail) + ")";
  switch (failure) {
    case TAVIK_TS_FAILED_BAD_URL:
      return "not an http or https URL" + code;
    case TAVIK_TS_FAILED_NOT_RESOLVED:
      return "its host name did not resolve";
    case TAVIK_TS_FAILED_REFUSED:
      return "connection refused (nothing listens there, or no route)";
    case TAVIK_TS_FAILED_TIMED_OUT:
      return "no answer in time";
    case TAVIK_TS_FAILED_CANCELLED:
      return "not waited for (another authority answered, or the time ran out)";
    case TAVIK_TS_FAILED_TLS:
      return "the HTTPS connection failed" + code;
    case TAVIK_TS_FAILED_TRANSPORT:
      return "the transfer failed" + code;
    case TAVIK_TS_FAILED_HTTP_STATUS:
      return "HTTP status " + std::to_string(detail);
    case TAVIK_TS_FAILED_TOO_LARGE:
      return "the answer is too large to be a time stamp";
    case TAVIK_TS_FAILED_MALFORMED:
      return "the answer is not a time-stamp answer";
    case TAVIK_TS_FAILED_NOT_BOUND:
      return "the answer is not for this request (imprint or nonce)";
    case TAVIK_TS_FAILED_BAD_SIGNATURE:
      return "the answer's signature does not verify";
    case TAVIK_TS_FAILED_UNTRUSTED:
      return "the answer is signed by an authority this computer does not trust (its CA is "
             "not in trust/tsa/ or the system store, or its certificate is expired or not "
             "for time stamping)";
    default:
      return "the request could not be set up";
  }
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

bool ReadGrantedTime(TAVIK_TIMESTAMP_st* request, int64_t* out, std::vector<unsigned char>* answer,
                     std::string* why) {
  std::string ignored;
  if (why == nullptr)
    why = &ignored;
  int status = -1;
  if (TavikPKIMsgTimeStampGetResponse(request, &status) != 1) {
    *why = ExchangeFailureText(request);
    return false;
  }
  if (status != 0 && status != 1) {
    *why = "the authority refused the request (PKIStatus " + std::to_string(status) + ")";
    return false;
  }
  *why = "the answer holds no readable time or token";
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
