#include "timestamp/time_stamp_client.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "config/settings.h"
#include "config/text_convert.h"
#include "tavik/tavik_handles.h"
#include "timestamp/authority_time.h"

namespace brevalt {
namespace {

// The request is not bound to any document: its imprint is the digest of
// this fixed block.
constexpr std::size_t kImprintBlockLength = 80;
constexpr unsigned char kImprintBlockByte = 1;

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

std::atomic<long> g_whole_ms{0};  // 0: kWholeRequestBudget
std::atomic<long> g_per_authority_ms{0};

milliseconds WholeBudget() {
  const long ms = g_whole_ms.load();
  return ms > 0 ? milliseconds(ms) : kWholeRequestBudget;
}

milliseconds PerAuthorityBudget() {
  const long ms = g_per_authority_ms.load();
  return ms > 0 ? milliseconds(ms) : kPerAuthorityBudget;
}

// The library's digest buffer and its length.
struct Digest {
  UniqueLibBuffer<unsigned char> bytes;
  int length = 0;
};

// The imprint digest into *digest; false when any library step fails.
bool DigestImprintBlock(Digest* digest) {
  UniqueHash hash;
  {
    // The hash outlives its device, which is released at once.
    UniqueDevice device(TavikPKICryptoGetPseudoDevice());
    if (!device)
      return false;
    hash.reset(TavikPKICryptoNewHash(device.get(), TAVIK_HASH_TIMESTAMP));
  }
  if (!hash)
    return false;
  std::array<unsigned char, kImprintBlockLength> block;
  block.fill(kImprintBlockByte);
  if (TavikPKICryptoHashUpdate(hash.get(), block.data(), static_cast<int>(block.size())) != 1) {
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
bool PrepareRequest(TAVIK_TIMESTAMP_st* request, const char* url_ansi, Digest digest,
                    milliseconds limit) {
  if (TavikPKIMsgTimeStampSetTSA(request, url_ansi) != 1)
    return false;
  if (TavikPKIMsgTimeStampSetHashAlgorithm(request, TAVIK_HASH_TIMESTAMP) != 1)
    return false;
  const int rc = TavikPKIMsgTimeStampSetMessageImprint(request, digest.bytes.get(), digest.length);
  digest.bytes.reset();
  return rc == 1 && TavikPKIMsgTimeStampSetTimeout(request, static_cast<int>(limit.count())) == 1;
}

// Runs the exchange and reads the granted answer's time; requires a token.
bool ReadGrantedTime(TAVIK_TIMESTAMP_st* request, int64_t* out) {
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
  *out = time;
  return true;
}

// One request that ends within limit (> 0).
int RequestTimeStampWithin(const char* url_ansi, milliseconds limit, int64_t* out) {
  if (url_ansi == nullptr || out == nullptr)
    return 0;
  Digest digest;
  if (!DigestImprintBlock(&digest))
    return 0;
  UniqueTimeStamp request(TavikPKIMsgNewTimeStamp());
  if (!request)
    return 0;
  if (!PrepareRequest(request.get(), url_ansi, std::move(digest), limit))
    return 0;
  int64_t time = 0;
  if (!ReadGrantedTime(request.get(), &time))
    return 0;
  request.reset();
  *out = time;
  return 1;
}

}  // namespace

int RequestTimeStamp(const char* url_ansi, int64_t* out) {
  return RequestTimeStampWithin(url_ansi, PerAuthorityBudget(), out);
}

int GetTimeStampTime(int64_t* out) {
  if (out == nullptr)
    return 0;
  const std::vector<std::u16string> urls = SplitString(ReadTimeStampUrl(), u';');
  if (urls.empty())
    return RequestTimeStamp(WideToAnsi(kDefaultTimeStampUrl).c_str(), out);
  const SteadyClock::time_point deadline = SteadyClock::now() + WholeBudget();
  for (const std::u16string& url : urls) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - SteadyClock::now());
    if (left <= milliseconds(0))
      return 0;  // the budget is spent: the authorities left are not asked
    if (RequestTimeStampWithin(WideToAnsi(url).c_str(), std::min(left, PerAuthorityBudget()), out))
      return 1;
  }
  return 0;
}

void SetTimeStampBudgetsForTesting(milliseconds whole, milliseconds per_authority) {
  g_whole_ms.store(static_cast<long>(whole.count()));
  g_per_authority_ms.store(static_cast<long>(per_authority.count()));
}

}  // namespace brevalt
