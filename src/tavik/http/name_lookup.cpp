#include "tavik/http/name_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace brevalt::http {
namespace {

using std::chrono::milliseconds;

// How often a wait looks at the cancel signal.
constexpr milliseconds kCancelPoll{20};

std::mutex g_resolver_mutex;
NameResolver g_resolver;  // guarded by g_resolver_mutex; empty: SystemLookup

bool SystemLookup(const std::string& host, std::vector<std::string>* addresses) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0)
    return false;
  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* address =
        entry->ai_family == AF_INET
            ? static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(entry->ai_addr)->sin_addr)
            : static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(entry->ai_addr)->sin6_addr);
    if ((entry->ai_family != AF_INET && entry->ai_family != AF_INET6) ||
        inet_ntop(entry->ai_family, address, text, sizeof text) == nullptr)
      continue;
    // libcurl takes an IPv6 address in brackets.
    std::string& added = addresses->emplace_back(entry->ai_family == AF_INET6 ? "[" : "");
    added.append(text);
    if (entry->ai_family == AF_INET6)
      added.push_back(']');
  }
  freeaddrinfo(found);
  return !addresses->empty();
}

// What the lookup thread and the waiting caller share; whoever leaves last
// frees it.
struct Lookup {
  std::mutex mutex;
  std::condition_variable done_changed;
  bool done = false;
  bool resolved = false;
  std::vector<std::string> addresses;
};

bool IsAddress(const std::string& host) {
  unsigned char bytes[16];
  return host.empty() || host.front() == '[' || inet_pton(AF_INET, host.c_str(), bytes) == 1 ||
         inet_pton(AF_INET6, host.c_str(), bytes) == 1;
}

// The URL's host and port; false when libcurl cannot read them.
bool HostAndPort(const std::string& url, std::string* host, std::string* port) {
  std::unique_ptr<CURLU, ReleaseWith<curl_url_cleanup>> parsed(curl_url());
  char* host_text = nullptr;
  char* port_text = nullptr;
  const bool read =
      parsed && curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parsed.get(), CURLUPART_HOST, &host_text, 0) == CURLUE_OK &&
      curl_url_get(parsed.get(), CURLUPART_PORT, &port_text, CURLU_DEFAULT_PORT) == CURLUE_OK;
  if (read) {
    *host = host_text;
    *port = port_text;
  }
  curl_free(host_text);
  curl_free(port_text);
  return read;
}

}  // namespace

void SetNameResolverForTesting(NameResolver resolver) {
  std::lock_guard lock(g_resolver_mutex);
  g_resolver = std::move(resolver);
}

CURLcode PinNameLookup(CURL* curl, const std::string& url, milliseconds limit,
                       const CancelSignal* cancel, SlistPtr* pinned) {
  std::string host, port;
  if (!HostAndPort(url, &host, &port) || IsAddress(host))
    return CURLE_OK;
  NameResolver resolver;
  {
    std::lock_guard lock(g_resolver_mutex);
    resolver = g_resolver ? g_resolver : NameResolver(&SystemLookup);
  }
  auto lookup = std::make_shared<Lookup>();
  try {
    std::thread([lookup, resolver, host] {
      std::vector<std::string> addresses;
      const bool resolved = resolver(host, &addresses);
      std::lock_guard lock(lookup->mutex);
      lookup->resolved = resolved;
      lookup->addresses = std::move(addresses);
      lookup->done = true;
      lookup->done_changed.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return CURLE_COULDNT_RESOLVE_HOST;
  }
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::unique_lock lock(lookup->mutex);
  while (!lookup->done) {
    if (cancel != nullptr && cancel->raised())
      return CURLE_ABORTED_BY_CALLBACK;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline)
      return CURLE_OPERATION_TIMEDOUT;
    lookup->done_changed.wait_until(lock, std::min(deadline, now + kCancelPoll));
  }
  if (!lookup->resolved)
    return CURLE_COULDNT_RESOLVE_HOST;
  std::string entry = host + ":" + port + ":";
  for (std::size_t i = 0; i < lookup->addresses.size(); ++i)
    entry += (i == 0 ? "" : ",") + lookup->addresses[i];
  pinned->reset(curl_slist_append(nullptr, entry.c_str()));
  if (!*pinned || curl_easy_setopt(curl, CURLOPT_RESOLVE, pinned->get()) != CURLE_OK)
    return CURLE_OUT_OF_MEMORY;
  return CURLE_OK;
}

}  // namespace brevalt::http
