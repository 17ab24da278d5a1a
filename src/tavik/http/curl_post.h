// What the libraries' HTTP POSTs over libcurl have in common: one process-wide
// initialisation, a response body with a size limit, and the options every
// such POST sets. Each caller adds its own redirect and time-out policy.
#ifndef BREVALT_TAVIK_HTTP_CURL_POST_H
#define BREVALT_TAVIK_HTTP_CURL_POST_H

#include <curl/curl.h>

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/release_with.h"

namespace brevalt::http {

using CurlPtr = std::unique_ptr<CURL, ReleaseWith<curl_easy_cleanup>>;
using SlistPtr = std::unique_ptr<curl_slist, ReleaseWith<curl_slist_free_all>>;

// curl_global_init, once per process; false when it failed. Thread-safe.
bool InitCurlOnce();

// Where a response body goes: at most `limit` bytes are kept; a larger body
// sets too_large and aborts the transfer.
struct BodySink {
  std::vector<unsigned char>* body;
  std::size_t limit;
  bool too_large = false;
};

// Sets the options that every POST of ours shares: the URL, http and https
// only, no signals (safe on any thread), the headers, `query` as the raw
// request body (neither copied nor escaped: it must outlive the transfer)
// and the response body into `sink`. False when libcurl refused one.
bool SetPostOptions(CURL* curl, const std::string& url, std::span<const std::byte> query,
                    curl_slist* headers, BodySink* sink);

}  // namespace brevalt::http

#endif  // BREVALT_TAVIK_HTTP_CURL_POST_H
