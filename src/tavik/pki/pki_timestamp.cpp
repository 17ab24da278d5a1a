// One RFC 3161 request and its answer: the TAVIK_TIMESTAMP_st handle.
#include <openssl/objects.h>

#include <chrono>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "tavik/http/curl_cancel.h"
#include "tavik/pki/pki_memory.h"
#include "tavik/pki/ts_http.h"
#include "tavik/pki/ts_request.h"
#include "tavik/pki/ts_response.h"
#include "tavik/pki/ts_trust.h"
#include "tavik/tavik_pki.h"

struct TAVIK_TIMESTAMP_st {
  std::string url;                     // bytes as given (system code page)
  int digest_nid = 0;                  // NID_undef until a known algorithm is set
  std::vector<unsigned char> imprint;  // the caller's digest
  long timeout_ms = brevalt::pki::kTotalTimeoutMs;
  bool answered = false;  // a well-formed answer to this request arrived
  int failure = 0;        // TAVIK_TS_FAILED_* of the last exchange that found none
  int failure_detail = 0;
  brevalt::pki::TimeStampFields answer;
  std::vector<unsigned char> reply;    // that answer's DER, exactly as received
  brevalt::http::CancelSignal cancel;  // raised by TavikPKIMsgTimeStampCancel
};

namespace {

bool Granted(const TAVIK_TIMESTAMP_st* request) {
  return request->answered && (request->answer.status == 0 || request->answer.status == 1);
}

int NidForAlgorithm(int algorithm) {
  if (algorithm == TAVIK_HASH_SM3)
    return NID_sm3;
  return algorithm == TAVIK_HASH_TIMESTAMP || algorithm == TAVIK_HASH_BID_CODE ? NID_sha256
                                                                               : NID_undef;
}

long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  const auto elapsed = std::chrono::steady_clock::now() - start;
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

// Why a transfer that did not end with a 200 failed: TAVIK_TS_FAILED_*,
// with its detail.
int TransferFailure(brevalt::pki::HttpOutcome outcome, const brevalt::pki::HttpFailure& http,
                    bool cancelled, int* detail) {
  using brevalt::pki::HttpOutcome;
  *detail = static_cast<int>(http.code);
  if (outcome == HttpOutcome::kTooLarge) {
    return TAVIK_TS_FAILED_TOO_LARGE;
  }
  if (outcome == HttpOutcome::kBadStatus) {
    *detail = static_cast<int>(http.status);
    return TAVIK_TS_FAILED_HTTP_STATUS;
  }
  if (outcome == HttpOutcome::kBadUrl) {
    return TAVIK_TS_FAILED_BAD_URL;
  }
  switch (http.code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return TAVIK_TS_FAILED_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
      return TAVIK_TS_FAILED_REFUSED;
    case CURLE_OPERATION_TIMEDOUT:
      return TAVIK_TS_FAILED_TIMED_OUT;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE:
      return TAVIK_TS_FAILED_TLS;
    default:
      return cancelled ? TAVIK_TS_FAILED_CANCELLED : TAVIK_TS_FAILED_TRANSPORT;
  }
}

int CheckFailure(brevalt::pki::ResponseCheck check) {
  using brevalt::pki::ResponseCheck;
  switch (check) {
    case ResponseCheck::kImprintMismatch:
    case ResponseCheck::kNonceMissing:
    case ResponseCheck::kNonceMismatch:
      return TAVIK_TS_FAILED_NOT_BOUND;
    case ResponseCheck::kBadSignature:
      return TAVIK_TS_FAILED_BAD_SIGNATURE;
    case ResponseCheck::kUntrustedSigner:
      return TAVIK_TS_FAILED_UNTRUSTED;
    default:
      return TAVIK_TS_FAILED_MALFORMED;
  }
}

// Sends one query and checks the answer; true when it is an answer to it,
// signed by an authority that chains to a trusted root. Reading the anchors
// counts against the request's time limit too. On failure, request->failure
// says why.
bool Exchange(TAVIK_TIMESTAMP_st* request) {
  using namespace brevalt::pki;
  const auto start = std::chrono::steady_clock::now();
  request->failure = TAVIK_TS_FAILED_SETUP;
  TimeStampQuery query;
  if (!BuildTimeStampQuery(request->digest_nid, request->imprint, RandomNonce(), &query)) {
    return false;
  }
  // The store is shared and rebuilt whenever a trust source changed, so an
  // authority added to (or removed from) the trust folder counts from the
  // next request on.
  StorePtr trusted = SharedTimeStampTrust();
  const long left = request->timeout_ms - MillisecondsSince(start);
  std::vector<unsigned char> reply;
  if (!trusted) {
    return false;
  }
  if (left <= 0) {
    request->failure = TAVIK_TS_FAILED_TIMED_OUT;
    return false;
  }
  HttpFailure http;
  const HttpOutcome outcome =
      PostTimeStampQuery(request->url, query.der, left, &reply, &request->cancel, &http);
  if (outcome != HttpOutcome::kOk) {
    request->failure =
        TransferFailure(outcome, http, request->cancel.raised(), &request->failure_detail);
    return false;
  }
  const ExpectedBinding expected{request->digest_nid, request->imprint, query.nonce};
  const ResponseCheck check =
      ValidateTimeStampResponse(reply, expected, trusted.get(), &request->answer);
  if (check != ResponseCheck::kOk) {
    request->failure = CheckFailure(check);
    return false;
  }
  request->failure = 0;
  request->reply = std::move(reply);
  return true;
}

// A library buffer holding bytes; 1, or 0 when there are none or no memory.
int CopyOut(const std::vector<unsigned char>& bytes, unsigned char** data, int* length) {
  unsigned char* buffer =
      bytes.empty() ? nullptr : brevalt::pki::CopyToLibBuffer(bytes.data(), bytes.size());
  if (buffer == nullptr) {
    return 0;
  }
  *data = buffer;
  *length = static_cast<int>(bytes.size());
  return 1;
}

}  // namespace

extern "C" {

TAVIK_TIMESTAMP_st* TavikPKIMsgNewTimeStamp(void) {
  return new (std::nothrow) TAVIK_TIMESTAMP_st();
}

void TavikPKIMsgFreeTimeStamp(TAVIK_TIMESTAMP_st* request) {
  delete request;
}

int TavikPKIMsgTimeStampSetTSA(TAVIK_TIMESTAMP_st* request, const char* url) {
  if (request == nullptr || url == nullptr || *url == '\0') {
    return 0;
  }
  request->url = url;
  return 1;
}

int TavikPKIMsgTimeStampSetHashAlgorithm(TAVIK_TIMESTAMP_st* request, int algorithm) {
  const int nid = NidForAlgorithm(algorithm);
  if (request == nullptr || nid == NID_undef) {
    return 0;
  }
  request->digest_nid = nid;
  return 1;
}

int TavikPKIMsgTimeStampSetMessageImprint(TAVIK_TIMESTAMP_st* request, const unsigned char* digest,
                                          int length) {
  if (request == nullptr || digest == nullptr || length <= 0) {
    return 0;
  }
  request->imprint.assign(digest, digest + length);
  return 1;
}

int TavikPKIMsgTimeStampSetTimeout(TAVIK_TIMESTAMP_st* request, int milliseconds) {
  if (request == nullptr || milliseconds <= 0) {
    return 0;
  }
  request->timeout_ms = milliseconds;
  return 1;
}

int TavikPKIMsgTimeStampCancel(TAVIK_TIMESTAMP_st* request) {
  if (request == nullptr) {
    return 0;
  }
  request->cancel.Raise();
  return 1;
}

int TavikPKIMsgTimeStampGetResponse(TAVIK_TIMESTAMP_st* request, int* status) {
  if (request == nullptr || status == nullptr) {
    return 0;
  }
  request->answered = false;
  request->answer = {};
  request->reply.clear();
  request->failure = TAVIK_TS_FAILED_SETUP;
  request->failure_detail = 0;
  if (request->cancel.raised()) {
    request->failure = TAVIK_TS_FAILED_CANCELLED;
  }
  if (request->url.empty() || request->digest_nid == NID_undef || request->cancel.raised() ||
      !Exchange(request)) {
    request->answer = {};
    return 0;
  }
  request->answered = true;
  *status = request->answer.status;
  return 1;
}

int TavikPKIMsgTimeStampGetFailure(TAVIK_TIMESTAMP_st* request, int* failure, int* detail) {
  if (request == nullptr || failure == nullptr || detail == nullptr || request->answered ||
      request->failure == 0) {
    return 0;
  }
  *failure = request->failure;
  *detail = request->failure_detail;
  return 1;
}

char* TavikPKIMsgTimeStampGetTime(TAVIK_TIMESTAMP_st* request) {
  if (request == nullptr || !Granted(request)) {
    return nullptr;
  }
  return brevalt::pki::CopyToLibText(request->answer.gen_time);
}

int TavikPKIMsgTimeStampGetTimeStampToken(TAVIK_TIMESTAMP_st* request, unsigned char** token,
                                          int* length) {
  if (request == nullptr || token == nullptr || length == nullptr || !Granted(request)) {
    return 0;
  }
  return CopyOut(request->answer.token, token, length);
}

int TavikPKIMsgTimeStampGetResponseData(TAVIK_TIMESTAMP_st* request, unsigned char** data,
                                        int* length) {
  if (request == nullptr || data == nullptr || length == nullptr || !Granted(request)) {
    return 0;
  }
  return CopyOut(request->reply, data, length);
}

}  // extern "C"
