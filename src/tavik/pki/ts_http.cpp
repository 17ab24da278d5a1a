#include "tavik/pki/ts_http.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace brevalt::pki {
namespace {

struct CurlDeleter {
  void operator()(CURL* p) const { curl_easy_cleanup(p); }
};
struct SlistDeleter {
  void operator()(curl_slist* p) const { curl_slist_free_all(p); }
};

bool InitCurlOnce() {
  static std::once_flag once;
  static CURLcode result = CURLE_FAILED_INIT;
  std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
  return result == CURLE_OK;
}

struct Sink {
  std::vector<unsigned char>* body;
  bool too_large = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t n = size * count;
  if (sink->body->size() + n > kMaxResponseBytes) {
    sink->too_large = true;
    return 0;  // makes libcurl abort the transfer
  }
  sink->body->insert(sink->body->end(), data, data + n);
  return n;
}

bool Configure(CURL* curl, const std::string& url, std::span<const unsigned char> query,
               long total_ms, curl_slist* headers, Sink* sink) {
  return curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_POSTREDIR, CURL_REDIR_POST_ALL) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, std::min(kConnectTimeoutMs, total_ms)) ==
             CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, total_ms) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_POSTFIELDS, query.data()) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                          static_cast<curl_off_t>(query.size())) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteBody) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_WRITEDATA, sink) == CURLE_OK;
}

}  // namespace

HttpOutcome PostTimeStampQuery(const std::string& url, std::span<const unsigned char> query,
                               long total_ms, std::vector<unsigned char>* response) {
  if (url.empty() || total_ms <= 0 || response == nullptr || !InitCurlOnce()) {
    return HttpOutcome::kBadUrl;
  }
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  std::unique_ptr<curl_slist, SlistDeleter> headers(
      curl_slist_append(nullptr, "Content-Type: application/timestamp-query"));
  if (!curl || !headers) {
    return HttpOutcome::kTransport;
  }
  response->clear();
  Sink sink{response};
  if (!Configure(curl.get(), url, query, total_ms, headers.get(), &sink)) {
    return HttpOutcome::kBadUrl;
  }
  const CURLcode code = curl_easy_perform(curl.get());
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
  long status = 0;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
  return status == 200 ? HttpOutcome::kOk : HttpOutcome::kBadStatus;
}

}  // namespace brevalt::pki
