// The HTTP exchange with the rules service: one POST of the query bytes.
// Internal to the rules-file library and its tests.
#ifndef BREVALT_TAVIK_BIDRULES_RULES_HTTP_H
#define BREVALT_TAVIK_BIDRULES_RULES_HTTP_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brevalt::rulesfile {

// Limits of one exchange: nothing waits forever on a dead service.
inline constexpr long kConnectTimeoutSeconds = 10;
inline constexpr long kTotalTimeoutSeconds = 30;
// A larger answer is not a rules file; the transfer is aborted.
inline constexpr size_t kMaxRulesFileBytes = 16 * 1024 * 1024;

// POSTs query, byte for byte, as Content-Type application/octet-stream, to
// url (passed to libcurl as given; http and https only). On kOk *body holds
// the HTTP 200 answer, which is never empty. Otherwise returns the failure's
// code from rules_errors.h (26 for HTTP 404) and *body is empty. Blocks the
// calling thread up to the total time-out, lowered to limit_ms when that is
// above 0 and shorter (connecting included); several threads may call it at
// once.
int PostRulesQuery(const std::string& url, std::string_view query, long limit_ms,
                   std::vector<unsigned char>* body);

// Tests only: replaces the two time-outs by the given milliseconds for every
// later exchange; (0, 0) restores kConnectTimeoutSeconds and kTotalTimeoutSeconds.
void SetTimeoutsForTesting(long connect_ms, long total_ms);

}  // namespace brevalt::rulesfile

#endif  // BREVALT_TAVIK_BIDRULES_RULES_HTTP_H
