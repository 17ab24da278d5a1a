#include "tavik/x509/decoded_certs.h"

#include <openssl/crypto.h>
#include <openssl/err.h>

#include <climits>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/release_with.h"

namespace brevalt::x509 {
namespace {

using X509Ptr = std::unique_ptr<X509, ReleaseWith<X509_free>>;

struct DecodedCerts {
  std::mutex mutex;
  std::map<std::string, X509Ptr, std::less<>> by_der;
  std::deque<std::string> oldest_first;
};

DecodedCerts& Kept() {
  // OpenSSL registers its clean-up at exit when it initialises; initialising
  // it before the cache exists frees the kept certificates before that.
  [[maybe_unused]] static const int initialised = OPENSSL_init_crypto(0, nullptr);
  static DecodedCerts kept;
  return kept;
}

X509* Decode(const unsigned char* der, std::size_t size) {
  const unsigned char* cursor = der;
  X509* cert = d2i_X509(nullptr, &cursor, static_cast<long>(size));
  if (cert != nullptr && cursor != der + size) {
    X509_free(cert);
    cert = nullptr;
  }
  return cert;
}

}  // namespace

X509* DecodeDerShared(const unsigned char* der, std::size_t size) {
  if (der == nullptr || size == 0 || size > static_cast<std::size_t>(LONG_MAX)) {
    return nullptr;
  }
  if (size > kMaxKeptCertBytes) {
    return Decode(der, size);
  }
  const std::string key(reinterpret_cast<const char*>(der), size);
  DecodedCerts& kept = Kept();
  std::lock_guard lock(kept.mutex);
  if (const auto found = kept.by_der.find(key); found != kept.by_der.end()) {
    return X509_up_ref(found->second.get()) == 1 ? found->second.get() : nullptr;
  }
  X509Ptr cert(Decode(der, size));
  if (!cert || X509_up_ref(cert.get()) != 1) {
    return nullptr;  // what failed to decode is not kept: it may be tried as text
  }
  if (kept.oldest_first.size() >= kKeptDecodedCerts) {
    kept.by_der.erase(kept.oldest_first.front());
    kept.oldest_first.pop_front();
  }
  X509* shared = cert.get();
  kept.oldest_first.push_back(key);
  kept.by_der.emplace(key, std::move(cert));
  return shared;
}

}  // namespace brevalt::x509
