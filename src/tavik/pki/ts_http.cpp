#include "tavik/pki/ts_http.h"

#include <curl/curl.h>

#include <atomic>
#include <cctype>
#include <memory>
#include <mutex>
#include <string_view>

namespace brevalt::pki {
namespace {

std::atomic<long> g_connect_ms{0};  // 0: the product value
std::atomic<long> g_total_ms{0};

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

// True when the media type (before any ';' parameters) is application/timestamp-reply.
bool IsTimeStampReply(const char* content_type) {
  if (content_type == nullptr) {
    return false;
  }
  std::string_view type(content_type);
  type = type.substr(0, type.find(';'));
  while (!type.empty() && std::isspace(static_cast<unsigned char>(type.back()))) {
    type.remove_suffix(1);
  }
  constexpr std::string_view kExpected = "application/timestamp-reply";
  if (type.size() != kExpected.size()) {
    return false;
  }
  for (size_t i = 0; i < type.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(type[i])) != kExpected[i]) {
      return false;
    }
  }
  return true;
}

bool Configure(CURL* curl, const std::string& url, std::span<const unsigned char> query,
               curl_slist* headers, Sink* sink) {
  const long connect_ms = g_connect_ms.load();
  const long total_ms = g_total_ms.load();
  return curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                          connect_ms > 0 ? connect_ms : kConnectTimeoutSeconds * 1000) ==
             CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS,
                          total_ms > 0 ? total_ms : kTotalTimeoutSeconds * 1000) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_POSTFIELDS, query.data()) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                          static_cast<curl_off_t>(query.size())) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteBody) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_WRITEDATA, sink) == CURLE_OK;
}

}  // namespace

HttpOutcome PostTimeStampQuery(const std::string& url, std::span<const unsigned char> query,
                               std::vector<unsigned char>* response) {
  if (url.empty() || response == nullptr || !InitCurlOnce()) {
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
  if (!Configure(curl.get(), url, query, headers.get(), &sink)) {
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
  long status = 0;
  const char* content_type = nullptr;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
  curl_easy_getinfo(curl.get(), CURLINFO_CONTENT_TYPE, &content_type);
  if (status != 200) {
    return HttpOutcome::kBadStatus;
  }
  return IsTimeStampReply(content_type) ? HttpOutcome::kOk : HttpOutcome::kBadContentType;
}

void SetTimeoutsForTesting(long connect_ms, long total_ms) {
  g_connect_ms.store(connect_ms);
  g_total_ms.store(total_ms);
}

}  // namespace brevalt::pki
