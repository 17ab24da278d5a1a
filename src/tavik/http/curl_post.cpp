#include "tavik/http/curl_post.h"

#include <mutex>

namespace brevalt::http {
namespace {

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<BodySink*>(user);
  const size_t n = size * count;
  if (sink->body->size() > sink->limit || n > sink->limit - sink->body->size()) {
    sink->too_large = true;
    return 0;  // makes libcurl abort the transfer
  }
  sink->body->insert(sink->body->end(), data, data + n);
  return n;
}

}  // namespace

bool InitCurlOnce() {
  static std::once_flag once;
  static CURLcode result = CURLE_FAILED_INIT;
  std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
  return result == CURLE_OK;
}

bool SetPostOptions(CURL* curl, const std::string& url, std::span<const std::byte> query,
                    curl_slist* headers, BodySink* sink) {
  return curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                          static_cast<curl_off_t>(query.size())) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_POSTFIELDS, query.data()) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteBody) == CURLE_OK &&
         curl_easy_setopt(curl, CURLOPT_WRITEDATA, sink) == CURLE_OK;
}

}  // namespace brevalt::http
