// The fake PKI library: RFC 3161 time-stamp requests, answered per URL.
#include <ctime>

#include "fakes/fake_state.h"

namespace {

using brevalt::fake::TsaScript;
using brevalt::fake::detail::Kind;
using brevalt::fake::detail::Lock;
using brevalt::fake::detail::Shared;

const TsaScript& ScriptFor(const std::string& url) {
  auto it = Shared().tsa.find(url);
  return it == Shared().tsa.end() ? Shared().default_tsa : it->second;
}

// The current time as GeneralizedTime "YYYYMMDDHHMMSSZ".
std::string NowUtc() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  gmtime_r(&now, &parts);
  char text[32] = {};
  std::strftime(text, sizeof text, "%Y%m%d%H%M%SZ", &parts);
  return text;
}

// The answered request's scripted token, with prefix in front, handed out
// as library memory; 0 when the request has no token to give.
int HandOutToken(std::string_view name, const std::string& prefix, TAVIK_TIMESTAMP_st* request,
                 unsigned char** data, int* length) {
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(name, std::string(name));
  if (auto code = s.Scripted(name, nth))
    return *code;
  TAVIK_TIMESTAMP_st* r = s.Live(Kind::kTimeStamp, request, name);
  if (r == nullptr || !r->answered || data == nullptr || length == nullptr)
    return 0;
  const TsaScript& script = ScriptFor(r->url);
  if (!script.token)
    return 0;
  const std::string bytes = prefix + *script.token;
  *data = s.HandOutMemory(bytes);
  *length = static_cast<int>(bytes.size());
  return 1;
}

}  // namespace

extern "C" {

TAVIK_TIMESTAMP_st* TavikPKIMsgNewTimeStamp(void) {
  static constexpr std::string_view kName = "TavikPKIMsgNewTimeStamp";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName));
  if (s.ScriptedNull(kName, nth))
    return nullptr;
  return s.HandOut(Kind::kTimeStamp, std::make_shared<TAVIK_TIMESTAMP_st>());
}

void TavikPKIMsgFreeTimeStamp(TAVIK_TIMESTAMP_st* request) {
  auto lock = Lock();
  auto& s = Shared();
  s.Begin("TavikPKIMsgFreeTimeStamp", "TavikPKIMsgFreeTimeStamp");
  s.Release(Kind::kTimeStamp, request, "TavikPKIMsgFreeTimeStamp");
}

int TavikPKIMsgTimeStampSetTSA(TAVIK_TIMESTAMP_st* request, const char* url) {
  static constexpr std::string_view kName = "TavikPKIMsgTimeStampSetTSA";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " url=" + (url != nullptr ? url : "(null)"));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  TAVIK_TIMESTAMP_st* r = s.Live(Kind::kTimeStamp, request, kName);
  if (r == nullptr || url == nullptr)
    return 0;
  r->url = url;
  r->has_url = true;
  return ScriptFor(r->url).set_tsa_result;
}

int TavikPKIMsgTimeStampSetHashAlgorithm(TAVIK_TIMESTAMP_st* request, int algorithm) {
  static constexpr std::string_view kName = "TavikPKIMsgTimeStampSetHashAlgorithm";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " algorithm=" + std::to_string(algorithm));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  if (s.Live(Kind::kTimeStamp, request, kName) == nullptr)
    return 0;
  return algorithm == TAVIK_HASH_TIMESTAMP || algorithm == TAVIK_HASH_BID_CODE ? 1 : 0;
}

int TavikPKIMsgTimeStampSetMessageImprint(TAVIK_TIMESTAMP_st* request, const unsigned char* digest,
                                          int length) {
  static constexpr std::string_view kName = "TavikPKIMsgTimeStampSetMessageImprint";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " len=" + std::to_string(length));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  if (s.Live(Kind::kTimeStamp, request, kName) == nullptr)
    return 0;
  return digest != nullptr && length > 0 ? 1 : 0;
}

int TavikPKIMsgTimeStampSetTimeout(TAVIK_TIMESTAMP_st* request, int milliseconds) {
  static constexpr std::string_view kName = "TavikPKIMsgTimeStampSetTimeout";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " ms=" + std::to_string(milliseconds));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  if (s.Live(Kind::kTimeStamp, request, kName) == nullptr)
    return 0;
  return milliseconds > 0 ? 1 : 0;
}

int TavikPKIMsgTimeStampCancel(TAVIK_TIMESTAMP_st* request) {
  static constexpr std::string_view kName = "TavikPKIMsgTimeStampCancel";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  return s.Live(Kind::kTimeStamp, request, kName) != nullptr ? 1 : 0;
}

int TavikPKIMsgTimeStampGetResponse(TAVIK_TIMESTAMP_st* request, int* status) {
  static constexpr std::string_view kName = "TavikPKIMsgTimeStampGetResponse";
  auto lock = Lock();
  auto& s = Shared();
  TAVIK_TIMESTAMP_st* r = s.Live(Kind::kTimeStamp, request, kName);
  const std::string url = r != nullptr && r->has_url ? r->url : "(none)";
  const int nth = s.Begin(kName, std::string(kName) + " url=" + url);
  if (r != nullptr && r->has_url)
    s.tsa_asked.push_back(url);
  if (auto code = s.Scripted(kName, nth))
    return *code;
  if (r == nullptr || !r->has_url || status == nullptr)
    return 0;
  const TsaScript& script = ScriptFor(url);
  if (script.response_result != 1)
    return script.response_result;
  *status = script.status;
  r->answered = true;
  return 1;
}

char* TavikPKIMsgTimeStampGetTime(TAVIK_TIMESTAMP_st* request) {
  static constexpr std::string_view kName = "TavikPKIMsgTimeStampGetTime";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName));
  if (s.ScriptedNull(kName, nth))
    return nullptr;
  TAVIK_TIMESTAMP_st* r = s.Live(Kind::kTimeStamp, request, kName);
  if (r == nullptr || !r->answered)
    return nullptr;
  const TsaScript& script = ScriptFor(r->url);
  if (script.no_time)
    return nullptr;
  const std::string text = script.time.empty() ? NowUtc() : script.time;
  return reinterpret_cast<char*>(s.HandOutMemory(text));
}

int TavikPKIMsgTimeStampGetTimeStampToken(TAVIK_TIMESTAMP_st* request, unsigned char** token,
                                          int* length) {
  return HandOutToken("TavikPKIMsgTimeStampGetTimeStampToken", "", request, token, length);
}

// The answer is the token with a marker in front; receipts are never accepted.
int TavikPKIMsgTimeStampGetResponseData(TAVIK_TIMESTAMP_st* request, unsigned char** data,
                                        int* length) {
  return HandOutToken("TavikPKIMsgTimeStampGetResponseData", "ANSWER:", request, data, length);
}

// The fake names no cause: callers fall back to their own words.
int TavikPKIMsgTimeStampGetFailure(TAVIK_TIMESTAMP_st*, int*, int*) {
  return 0;
}

int TavikPKIMsgTimeStampCheckReceipt(const unsigned char*, int, const unsigned char*, int, char**,
                                     char**, int*, int* reason) {
  auto lock = Lock();
  Shared().Begin("TavikPKIMsgTimeStampCheckReceipt", "TavikPKIMsgTimeStampCheckReceipt");
  if (reason != nullptr)
    *reason = TAVIK_RECEIPT_MALFORMED;
  return 0;
}

}  // extern "C"
