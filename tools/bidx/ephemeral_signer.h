// Throw-away self-signed signers for tests, benchmarks and demo data.
#ifndef BREVALT_TOOLS_BIDX_EPHEMERAL_SIGNER_H
#define BREVALT_TOOLS_BIDX_EPHEMERAL_SIGNER_H

#include <string>

#include "tavik/secretfile/openssl_owners.h"

namespace brevalt::bidx {

enum class KeyKind { kEcP256, kRsa2048 };

struct Signer {
  container::UniqueX509 cert;
  container::UniqueKey key;
};

// A fresh key and a self-signed certificate (SHA-256) with the given subject
// common name and serial number, valid from now for `days` days. Returns a
// signer with null members when OpenSSL fails.
Signer MakeSelfSignedSigner(KeyKind kind, const std::string& common_name, long serial,
                            long days = 365);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_EPHEMERAL_SIGNER_H
