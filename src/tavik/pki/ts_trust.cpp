#include "tavik/pki/ts_trust.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/user_folder.h"
#include "tavik/anchors/pem_folder.h"
#include "tavik/anchors/source_stamp.h"
#include "tavik/pki/system_anchors.h"

namespace brevalt::pki {
namespace {

// Whether two reads found the same anchors. The same file contents give
// the same shared objects (decoded_files.h), and the cache keeps a reference
// to every object it compares with, so no new object can take an old one's
// address: the same objects in the same order mean the same anchors.
bool SameObjects(const std::vector<anchors::X509Ptr>& a, const std::vector<anchors::X509Ptr>& b) {
  return std::equal(
      a.begin(), a.end(), b.begin(), b.end(),
      [](const anchors::X509Ptr& x, const anchors::X509Ptr& y) { return x.get() == y.get(); });
}

// A new store of this machine's roots and the anchors found.
StorePtr BuildStore(const anchors::PemFolder& found) {
  StorePtr store(X509_STORE_new());
  if (!store)
    return nullptr;
  AddSystemAnchors(store.get());
  // Whatever the user placed is an anchor, root or not: a chain may end at
  // the authority's issuing CA, or at the authority's own certificate.
  X509_STORE_set_flags(store.get(), X509_V_FLAG_PARTIAL_CHAIN);
  // An unreadable file or folder only adds no anchor: the machine's CA store
  // still decides, so nothing is trusted that would not be without the folder.
  for (const anchors::X509Ptr& cert : found.certificates)
    X509_STORE_add_cert(store.get(), cert.get());  // takes its own reference
  ERR_clear_error();
  return store;
}

// The shared store and what it was built from.
struct TrustCache {
  std::mutex mutex;
  StorePtr store;
  anchors::SourceStamp system_from;
  std::vector<anchors::X509Ptr> anchors_from;
};

TrustCache& Cache() {
  // OpenSSL registers its clean-up at exit when it initialises; initialising
  // it before the cache exists frees the cached store before that clean-up.
  [[maybe_unused]] static const int initialised = OPENSSL_init_crypto(0, nullptr);
  static TrustCache cache;
  return cache;
}

}  // namespace

std::u16string TimeStampTrustFolder() {
  return GetTrustFolder(u"tsa");
}

StorePtr LoadTimeStampTrust(const std::u16string& folder) {
  return BuildStore(anchors::ReadPemFolder(ToNativePath(folder)));
}

StorePtr SharedTimeStampTrust() {
  TrustCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  // The machine's CA store is stamped before it is read, so a change made
  // while the store is built shows at the next call; the trust folder is
  // read in full at every call, so no change of it can go unseen.
  anchors::SourceStamp system_now;
  AppendSystemAnchorStamp(&system_now);
  anchors::PemFolder found = anchors::ReadPemFolder(ToNativePath(TimeStampTrustFolder()));
  if (!cache.store || system_now != cache.system_from ||
      !SameObjects(found.certificates, cache.anchors_from)) {
    StorePtr fresh = BuildStore(found);
    if (!fresh)
      return nullptr;
    cache.store = std::move(fresh);
    cache.system_from = std::move(system_now);
    cache.anchors_from = std::move(found.certificates);
  }
  if (X509_STORE_up_ref(cache.store.get()) != 1)
    return nullptr;
  return StorePtr(cache.store.get());
}

}  // namespace brevalt::pki
