#include "tavik/pki/ts_trust.h"

#include <openssl/err.h>
#include <openssl/x509_vfy.h>

#include "platform/user_folder.h"
#include "tavik/anchors/pem_folder.h"

namespace brevalt::pki {

std::u16string TimeStampTrustFolder() {
  return GetTrustFolder(u"tsa");
}

StorePtr LoadTimeStampTrust(const std::u16string& folder) {
  StorePtr store(X509_STORE_new());
  if (!store)
    return nullptr;
  X509_STORE_set_default_paths(store.get());  // a machine without a CA store still works
  // Whatever the user placed is an anchor, root or not: a chain may end at
  // the authority's issuing CA, or at the authority's own certificate.
  X509_STORE_set_flags(store.get(), X509_V_FLAG_PARTIAL_CHAIN);
  // An unreadable file or folder only adds no anchor: the machine's CA store
  // still decides, so nothing is trusted that would not be without the folder.
  const anchors::PemFolder found = anchors::ReadPemFolder(ToNativePath(folder));
  for (const anchors::X509Ptr& cert : found.certificates)
    X509_STORE_add_cert(store.get(), cert.get());  // takes its own reference
  ERR_clear_error();
  return store;
}

}  // namespace brevalt::pki
