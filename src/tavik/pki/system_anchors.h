// This machine's CA store as trust anchors for time-stamp answers: where
// OpenSSL's default paths point (SSL_CERT_FILE and SSL_CERT_DIR override
// them), read as cheaply as the machine allows.
#ifndef BREVALT_TAVIK_PKI_SYSTEM_ANCHORS_H
#define BREVALT_TAVIK_PKI_SYSTEM_ANCHORS_H

#include <openssl/x509.h>

#include "tavik/anchors/source_stamp.h"

namespace brevalt::pki {

// Adds the machine's CA store to store. The CA folders (SSL_CERT_DIR, a list
// separated by ":", ";" on Windows, or OpenSSL's built-in folder) are always
// added as a lookup by subject hash: a CA is read from them only when a chain
// needs it. The bundle file (SSL_CERT_FILE, or the built-in file) is parsed
// whole, which costs about 19 ms of CPU for the Debian bundle, only when
// SSL_CERT_FILE names another file than the built-in one, or when no CA
// folder holds hashed certificates ("<8 hex digits>.<n>"): on Debian both
// come from the same certificates (update-ca-certificates writes them
// together), so the folder alone trusts the same CAs. Missing files and
// folders add nothing.
void AddSystemAnchors(X509_STORE* store);

// Stamps of everything AddSystemAnchors reads: the bundle file and each CA
// folder itself (its time changes when certificates are added or removed).
void AppendSystemAnchorStamp(anchors::SourceStamp* out);

}  // namespace brevalt::pki

#endif  // BREVALT_TAVIK_PKI_SYSTEM_ANCHORS_H
