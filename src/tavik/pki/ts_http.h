// The HTTP exchange with a time-stamp authority (RFC 3161 over HTTP/HTTPS).
#ifndef BREVALT_PLATFORM_PKI_TS_HTTP_H
#define BREVALT_PLATFORM_PKI_TS_HTTP_H

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace brevalt::pki {

// Limits of one exchange. Nothing waits forever on a dead authority.
inline constexpr long kConnectTimeoutSeconds = 10;
inline constexpr long kTotalTimeoutSeconds = 30;
// An answer larger than this is not a time-stamp reply; the transfer is aborted.
inline constexpr size_t kMaxResponseBytes = 1024 * 1024;

enum class HttpOutcome {
  kOk = 0,
  kBadUrl,          // empty, or not an http/https URL libcurl accepts
  kTransport,       // connection refused, time-out, TLS or protocol failure
  kTooLarge,        // body beyond kMaxResponseBytes
  kBadStatus,       // HTTP status other than 200 (redirects are not followed)
  kBadContentType,  // not application/timestamp-reply
};

// POSTs query (content type application/timestamp-query) to url and, on kOk,
// leaves the reply body in *response. Blocks the calling thread up to the
// total time-out. Safe to call from several threads at once.
HttpOutcome PostTimeStampQuery(const std::string& url, std::span<const unsigned char> query,
                               std::vector<unsigned char>* response);

// Tests only: replaces the two time-outs by the given milliseconds for every
// later exchange; (0, 0) restores kConnectTimeoutSeconds and kTotalTimeoutSeconds.
void SetTimeoutsForTesting(long connect_ms, long total_ms);

}  // namespace brevalt::pki

#endif  // BREVALT_PLATFORM_PKI_TS_HTTP_H
