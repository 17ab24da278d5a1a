#include "tavik/pki/ts_http.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>

#include "tavik/http/curl_post.h"
#include "tavik/http/name_lookup.h"

namespace brevalt::pki {
namespace {

bool Configure(CURL* curl, const std::string& url, std::span<const unsigned char> query,
               long total_ms, curl_slist* headers, http::BodySink* sink) {
  return http::SetPostOptions(curl, url, std::as_bytes(query), headers, sink) &&
         curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_POSTREDIR, CURL_REDIR_POST_ALL) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, std::min(kConnectTimeoutMs, total_ms)) ==
             CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, total_ms) == CURLE_OK;
}

}  // namespace

HttpOutcome PostTimeStampQuery(const std::string& url, std::span<const unsigned char> query,
                               long total_ms, std::vector<unsigned char>* response,
                               http::CancelSignal* cancel, HttpFailure* failure) {
  HttpFailure ignored;
  if (failure == nullptr) {
    failure = &ignored;
  }
  if (url.empty() || total_ms <= 0 || response == nullptr || !http::InitCurlOnce()) {
    return HttpOutcome::kBadUrl;
  }
  http::CurlPtr curl(curl_easy_init());
  http::SlistPtr headers(curl_slist_append(nullptr, "Content-Type: application/timestamp-query"));
  if (!curl || !headers) {
    return HttpOutcome::kTransport;
  }
  response->clear();
  http::BodySink sink{response, kMaxResponseBytes};
  if (!Configure(curl.get(), url, query, total_ms, headers.get(), &sink)) {
    return HttpOutcome::kBadUrl;
  }
  // The name lookup counts against the same limit as the rest of the
  // exchange, and nothing waits for a lookup past it.
  const auto start = std::chrono::steady_clock::now();
  http::SlistPtr pinned;
  CURLcode code =
      http::PinNameLookup(curl.get(), url, std::chrono::milliseconds(total_ms), cancel, &pinned);
  const long left =
      total_ms - static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now() - start)
                                       .count());
  if (code == CURLE_OK && left <= 0) {
    code = CURLE_OPERATION_TIMEDOUT;
  }
  if (code == CURLE_OK && (curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, left) != CURLE_OK ||
                           curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS,
                                            std::min(kConnectTimeoutMs, left)) != CURLE_OK)) {
    return HttpOutcome::kBadUrl;
  }
  if (code == CURLE_OK) {
    code = http::PerformCancellable(curl.get(), cancel);
  }
  failure->code = code;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &failure->status);
  if (sink.too_large) {
    return HttpOutcome::kTooLarge;
  }
  if (code == CURLE_URL_MALFORMAT || code == CURLE_UNSUPPORTED_PROTOCOL) {
    return HttpOutcome::kBadUrl;
  }
  if (code != CURLE_OK) {
    return HttpOutcome::kTransport;
  }
  // The reply's Content-Type is not judged: authorities label their answers
  // in many ways, and the body is checked for what it is anyway.
  return failure->status == 200 ? HttpOutcome::kOk : HttpOutcome::kBadStatus;
}

}  // namespace brevalt::pki
