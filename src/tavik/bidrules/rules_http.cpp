#include "tavik/bidrules/rules_http.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <span>

#include "tavik/bidrules/rules_errors.h"
#include "tavik/http/curl_post.h"

namespace brevalt::rulesfile {
namespace {

std::atomic<long> g_connect_ms{0};  // 0: the product value
std::atomic<long> g_total_ms{0};

// The query goes out as raw bytes: without an explicit type libcurl would
// label it form-encoded, inviting the service to decode "+" and "%".
http::SlistPtr Headers() {
  http::SlistPtr headers(curl_slist_append(nullptr, "Content-Type: application/octet-stream"));
  // No "Expect: 100-continue" round trip for queries over 1 KiB.
  curl_slist* more = headers ? curl_slist_append(headers.get(), "Expect:") : nullptr;
  return more != nullptr ? std::move(headers) : nullptr;
}

// The product value, or the tests' replacement when set.
long Configured(const std::atomic<long>& test_ms, long product_ms) {
  const long ms = test_ms.load();
  return ms > 0 ? ms : product_ms;
}

bool Configure(CURL* curl, const std::string& url, std::string_view query, long limit_ms,
               curl_slist* headers, http::BodySink* sink) {
  long total_ms = Configured(g_total_ms, kTotalTimeoutSeconds * 1000);
  if (limit_ms > 0)
    total_ms = std::min(total_ms, limit_ms);
  const long connect_ms =
      std::min(total_ms, Configured(g_connect_ms, kConnectTimeoutSeconds * 1000));
  return http::SetPostOptions(curl, url, std::as_bytes(std::span(query.data(), query.size())),
                              headers, sink) &&
         curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, connect_ms) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, total_ms) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                          static_cast<curl_off_t>(kMaxRulesFileBytes)) == CURLE_OK;
}

int TransportCode(CURLcode code) {
  switch (code) {
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return kBadUrl;
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return kConnectFailed;
    case CURLE_OPERATION_TIMEDOUT:
      return kTimedOut;
    case CURLE_FILESIZE_EXCEEDED:
      return kTooLarge;
    default:
      return kTransport;
  }
}

int StatusCode(long status, bool empty) {
  if (status == 200) {
    return empty ? kEmptyBody : kOk;
  }
  if (status == 404) {
    return kNoRulesFile;
  }
  return status >= 300 && status < 400 ? kRedirect : kHttpStatus;
}

}  // namespace

int PostRulesQuery(const std::string& url, std::string_view query, long limit_ms,
                   std::vector<unsigned char>* body) {
  body->clear();
  if (!http::InitCurlOnce()) {
    return kTransport;
  }
  http::CurlPtr curl(curl_easy_init());
  http::SlistPtr headers = Headers();
  if (!curl || !headers) {
    return kOutOfMemory;
  }
  http::BodySink sink{body, kMaxRulesFileBytes};
  if (!Configure(curl.get(), url, query, limit_ms, headers.get(), &sink)) {
    return kBadUrl;
  }
  const CURLcode code = curl_easy_perform(curl.get());
  long status = 0;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
  const int rc = sink.too_large     ? kTooLarge
                 : code != CURLE_OK ? TransportCode(code)
                                    : StatusCode(status, body->empty());
  if (rc != kOk) {
    body->clear();
  }
  return rc;
}

void SetTimeoutsForTesting(long connect_ms, long total_ms) {
  g_connect_ms.store(connect_ms);
  g_total_ms.store(total_ms);
}

}  // namespace brevalt::rulesfile
