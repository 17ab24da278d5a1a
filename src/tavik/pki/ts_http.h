// The HTTP exchange with a time-stamp authority (RFC 3161 over HTTP/HTTPS).
#ifndef BREVALT_PLATFORM_PKI_TS_HTTP_H
#define BREVALT_PLATFORM_PKI_TS_HTTP_H

#include <curl/curl.h>

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "tavik/http/curl_cancel.h"

namespace brevalt::pki {

// Limits of one exchange. Nothing waits forever on a dead authority. A
// request may lower the total (TavikPKIMsgTimeStampSetTimeout); connecting
// never takes longer than the total.
inline constexpr long kConnectTimeoutMs = 5'000;
inline constexpr long kTotalTimeoutMs = 15'000;
// Redirects followed (http and https only; a POST stays a POST).
inline constexpr long kMaxRedirects = 3;
// An answer larger than this is not a time-stamp reply; the transfer is aborted.
inline constexpr size_t kMaxResponseBytes = 1024 * 1024;

enum class HttpOutcome {
  kOk = 0,
  kBadUrl,     // empty, or not an http/https URL libcurl accepts (also as a redirect target)
  kTransport,  // connection refused, time-out, TLS or protocol failure, too many redirects
  kTooLarge,   // body beyond kMaxResponseBytes
  kBadStatus,  // final HTTP status other than 200
};

// What ended an exchange that was not kOk: libcurl's result and the final
// HTTP status (0 when none arrived).
struct HttpFailure {
  CURLcode code = CURLE_OK;
  long status = 0;
};

// POSTs query (content type application/timestamp-query) to url, following
// up to kMaxRedirects redirects, and, on kOk, leaves the reply body in
// *response whatever its Content-Type: the caller judges the body. The whole
// exchange (connecting, redirects, reading) ends within total_ms (> 0), the
// connection phase within min(kConnectTimeoutMs, total_ms). Blocks the
// calling thread meanwhile; raising `cancel` (when given) from another thread
// ends the exchange at once with kTransport. Safe to call from several
// threads at once. When failure is given, it receives what ended the
// exchange.
HttpOutcome PostTimeStampQuery(const std::string& url, std::span<const unsigned char> query,
                               long total_ms, std::vector<unsigned char>* response,
                               http::CancelSignal* cancel = nullptr,
                               HttpFailure* failure = nullptr);

}  // namespace brevalt::pki

#endif  // BREVALT_PLATFORM_PKI_TS_HTTP_H
