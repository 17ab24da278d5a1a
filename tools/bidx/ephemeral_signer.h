// Throw-away signers for tests, benchmarks and demo data: self-signed
// certificates, certificate authorities and certificates they issue.
#ifndef BREVALT_TOOLS_BIDX_EPHEMERAL_SIGNER_H
#define BREVALT_TOOLS_BIDX_EPHEMERAL_SIGNER_H

#include <string>

#include "tavik/secretfile/openssl_owners.h"

namespace brevalt::bidx {

// kSm2: an SM2 key on the SM2 curve; the certificates it signs are
// SM2-with-SM3 under the standard identifier.
enum class KeyKind { kEcP256, kRsa2048, kSm2 };

struct Signer {
  container::UniqueX509 cert;
  container::UniqueKey key;
};

// A fresh key and a self-signed certificate (SHA-256, or SM3 for SM2) with the given subject
// common name and serial number, valid from now for `days` days (a negative
// `days`: a certificate that ended that many days ago). No extensions.
// Returns a signer with null members when OpenSSL fails.
Signer MakeSelfSignedSigner(KeyKind kind, const std::string& common_name, long serial,
                            long days = 365);

// A certificate authority: basic constraints CA:TRUE and key usage
// keyCertSign, cRLSign (both critical); self-signed, or an intermediate
// authority when `issuer` is given.
Signer MakeCaSigner(KeyKind kind, const std::string& common_name, long serial, long days = 3650,
                    const Signer* issuer = nullptr);

// A certificate for `common_name` issued and signed by `issuer`, with the
// given key usage in OpenSSL's configuration form (for example
// "digitalSignature,nonRepudiation"; empty for no key usage extension).
Signer MakeIssuedSigner(KeyKind kind, const std::string& common_name, long serial,
                        const Signer& issuer,
                        const std::string& key_usage = "digitalSignature,nonRepudiation",
                        long days = 365);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_EPHEMERAL_SIGNER_H
