#include "tavik/pki/ts_trust.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/x509_vfy.h>

#include <mutex>

#include "platform/user_folder.h"
#include "tavik/anchors/shared_pem_folder.h"
#include "tavik/anchors/source_stamp.h"
#include "tavik/pki/system_anchors.h"

namespace brevalt::pki {
namespace {

// Everything LoadTimeStampTrust reads for `folder`, as it stands now.
anchors::SourceStamp StampSources(const std::string& native_folder) {
  anchors::SourceStamp stamp;
  AppendSystemAnchorStamp(&stamp);
  anchors::AppendPemFolderStamp(native_folder, &stamp);
  return stamp;
}

// The shared store and the stamp of the sources it was built from.
struct TrustCache {
  std::mutex mutex;
  StorePtr store;
  anchors::SourceStamp built_from;
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
  StorePtr store(X509_STORE_new());
  if (!store)
    return nullptr;
  AddSystemAnchors(store.get());
  // Whatever the user placed is an anchor, root or not: a chain may end at
  // the authority's issuing CA, or at the authority's own certificate.
  X509_STORE_set_flags(store.get(), X509_V_FLAG_PARTIAL_CHAIN);
  // An unreadable file or folder only adds no anchor: the machine's CA store
  // still decides, so nothing is trusted that would not be without the folder.
  const std::shared_ptr<const anchors::PemFolder> found =
      anchors::SharedPemFolder(ToNativePath(folder));
  for (const anchors::X509Ptr& cert : found->certificates)
    X509_STORE_add_cert(store.get(), cert.get());  // takes its own reference
  ERR_clear_error();
  return store;
}

StorePtr SharedTimeStampTrust() {
  TrustCache& cache = Cache();
  const std::u16string folder = TimeStampTrustFolder();
  std::lock_guard lock(cache.mutex);
  // Stamped before loading: a change made while the store is built shows
  // as a difference at the next call, never as a store taken for current.
  anchors::SourceStamp now = StampSources(ToNativePath(folder));
  if (!cache.store || now != cache.built_from) {
    StorePtr fresh = LoadTimeStampTrust(folder);
    if (!fresh)
      return nullptr;
    cache.store = std::move(fresh);
    cache.built_from = std::move(now);
  }
  if (X509_STORE_up_ref(cache.store.get()) != 1)
    return nullptr;
  return StorePtr(cache.store.get());
}

}  // namespace brevalt::pki
