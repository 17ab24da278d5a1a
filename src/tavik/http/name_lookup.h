// Name lookups that a transfer waits for no longer than its time limit.
// libcurl's own resolver thread is joined when a transfer ends, so a hung
// lookup would hold a cancelled transfer past any budget; here the lookup
// runs on a thread of its own that is left to finish alone when the time is
// up, and the transfer connects to the addresses found.
#ifndef BREVALT_TAVIK_HTTP_NAME_LOOKUP_H
#define BREVALT_TAVIK_HTTP_NAME_LOOKUP_H

#include <curl/curl.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tavik/http/curl_cancel.h"
#include "tavik/http/curl_post.h"

namespace brevalt::http {

// Looks up host (for port) and hands libcurl the addresses found
// (CURLOPT_RESOLVE, kept alive in *pinned until the transfer ends), so the
// transfer itself never waits for a resolver. Waits at most limit, and not
// past a raised cancel. A URL that names an address, or that libcurl cannot
// parse, needs no lookup and is left to the transfer. Returns CURLE_OK, or
// CURLE_COULDNT_RESOLVE_HOST (the name does not resolve),
// CURLE_OPERATION_TIMEDOUT (no answer within limit) or
// CURLE_ABORTED_BY_CALLBACK (cancelled).
CURLcode PinNameLookup(CURL* curl, const std::string& url, std::chrono::milliseconds limit,
                       const CancelSignal* cancel, SlistPtr* pinned);

// Tests only: the lookup that PinNameLookup runs (the system's getaddrinfo
// when empty): fills addresses (numeric text) and returns true when the name
// resolves. It runs on a thread of its own and may never return.
using NameResolver = std::function<bool(const std::string& host, std::vector<std::string>*)>;
void SetNameResolverForTesting(NameResolver resolver);

}  // namespace brevalt::http

#endif  // BREVALT_TAVIK_HTTP_NAME_LOOKUP_H
