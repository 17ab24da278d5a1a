#include "tavik/anchors/decoded_files.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <climits>
#include <deque>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>

#include "tavik/x509/decoded_certs.h"

namespace brevalt::anchors {
namespace {

using BioPtr = std::unique_ptr<BIO, ReleaseWith<BIO_free>>;

// Every "CERTIFICATE" block of text; without one, the one DER certificate
// that text is in full.
std::vector<X509Ptr> DecodeAll(const std::string& text) {
  std::vector<X509Ptr> certs;
  BioPtr bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
  while (bio) {
    X509Ptr cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!cert)
      break;
    certs.push_back(std::move(cert));
  }
  if (certs.empty()) {
    X509Ptr der(
        x509::DecodeDerShared(reinterpret_cast<const unsigned char*>(text.data()), text.size()));
    if (der)
      certs.push_back(std::move(der));
  }
  return certs;
}

// The SHA-256 of text; empty when it cannot be computed.
std::string ContentKey(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_Digest(text.data(), text.size(), digest, &size, EVP_sha256(), nullptr) != 1)
    return {};
  return std::string(reinterpret_cast<const char*>(digest), size);
}

struct DecodedFiles {
  std::mutex mutex;
  std::map<std::string, std::vector<X509Ptr>> by_content;
  std::deque<std::string> oldest_first;
};

DecodedFiles& Kept() {
  // OpenSSL registers its clean-up at exit when it initialises; initialising
  // it before the cache exists frees the kept certificates before that.
  [[maybe_unused]] static const int initialised = OPENSSL_init_crypto(0, nullptr);
  static DecodedFiles kept;
  return kept;
}

// New references to certs, appended to out.
void AppendReferences(const std::vector<X509Ptr>& certs, std::vector<X509Ptr>* out) {
  for (const X509Ptr& cert : certs) {
    if (X509_up_ref(cert.get()) == 1)
      out->emplace_back(cert.get());
  }
}

}  // namespace

void AppendDecodedCertificates(const std::string& text, std::vector<X509Ptr>* out) {
  if (text.empty() || text.size() > INT_MAX)
    return;
  const std::string key = ContentKey(text);
  if (key.empty()) {  // out of memory: decoded, not kept
    std::vector<X509Ptr> certs = DecodeAll(text);
    std::move(certs.begin(), certs.end(), std::back_inserter(*out));
    return;
  }
  DecodedFiles& kept = Kept();
  std::lock_guard lock(kept.mutex);
  auto found = kept.by_content.find(key);
  if (found == kept.by_content.end()) {
    if (kept.oldest_first.size() >= kKeptAnchorFiles) {
      kept.by_content.erase(kept.oldest_first.front());
      kept.oldest_first.pop_front();
    }
    kept.oldest_first.push_back(key);
    found = kept.by_content.emplace(key, DecodeAll(text)).first;
  }
  AppendReferences(found->second, out);
}

}  // namespace brevalt::anchors
