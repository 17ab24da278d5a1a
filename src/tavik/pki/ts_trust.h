// The trust anchors for time-stamp authorities: whose signatures on a
// time-stamp answer count.
#ifndef BREVALT_TAVIK_PKI_TS_TRUST_H
#define BREVALT_TAVIK_PKI_TS_TRUST_H

#include <openssl/x509.h>

#include <memory>
#include <string>

#include "platform/release_with.h"

namespace brevalt::pki {

using StorePtr = std::unique_ptr<X509_STORE, ReleaseWith<X509_STORE_free>>;

// <per-user data folder>/trust/tsa; empty when the platform names no
// per-user data folder.
std::u16string TimeStampTrustFolder();

// A new store holding the roots of this machine's CA store (OpenSSL's
// default paths, see system_anchors.h) and every certificate of every file named "*.pem" (any case)
// in folder, read afresh at each call. Any certificate in the store may end a
// chain (X509_V_FLAG_PARTIAL_CHAIN), so an intermediate CA or an authority's
// own certificate may be placed there. Other files, subfolders, files that
// cannot be read or are beyond 1 MiB, PEM blocks that are not certificates
// and a folder that cannot be listed are skipped; a FIFO never blocks. Null
// only when memory runs out.
StorePtr LoadTimeStampTrust(const std::u16string& folder);

// The store of LoadTimeStampTrust(TimeStampTrustFolder()), built once per
// process and shared: each call gives a new reference to the same store
// (verifying with it from several threads at once is safe) and only builds a
// new one when a source changed since the last build: the certificates the
// trust folder holds (its files are read at every call, and only contents
// not seen before are decoded), the folder itself (a new per-user data
// folder), or this machine's CA bundle file or CA folder (added, removed, or
// changed in size or modification time). A verification therefore sees a
// new anchor from the next request on, without a restart, while an unchanged
// machine decodes its anchors once. Thread-safe. Null only when memory runs
// out.
StorePtr SharedTimeStampTrust();

}  // namespace brevalt::pki

#endif  // BREVALT_TAVIK_PKI_TS_TRUST_H
