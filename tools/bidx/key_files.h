// Loading the signer's certificate and private key from PEM or DER files.
#ifndef BREVALT_TOOLS_BIDX_KEY_FILES_H
#define BREVALT_TOOLS_BIDX_KEY_FILES_H

#include <string>
#include <vector>

#include "tavik/secretfile/openssl_owners.h"

namespace brevalt::bidx {

// Reads a whole small file (at most `limit` bytes); false when it cannot be
// read or is larger.
bool ReadSmallFile(const std::string& path, std::size_t limit, std::vector<unsigned char>* bytes);

// Loads an X.509 certificate, PEM or DER; null when neither parses.
container::UniqueX509 LoadCertificate(const std::string& path);

// Loads a private key (PEM or DER, PKCS#8 or traditional, unencrypted); null
// when none parses.
container::UniqueKey LoadPrivateKey(const std::string& path);

// The DER encoding of `cert`; empty on failure.
std::vector<unsigned char> CertificateDer(X509* cert);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_KEY_FILES_H
