// One ECDSA signature per signer and message.
//
// An ECDSA signature (r, s) verifies exactly when (r, n - s) does (n is the
// group order), so anyone could turn a sealed bid into a second file that
// verifies as well. The sealer therefore always writes the form with
// s <= n / 2, and the reader accepts only that form.
#ifndef BREVALT_TAVIK_SECRETFILE_ECDSA_LOW_S_H
#define BREVALT_TAVIK_SECRETFILE_ECDSA_LOW_S_H

#include <openssl/asn1.h>
#include <openssl/evp.h>

#include <cstddef>

namespace brevalt::container {

// True when `der` is a DER ECDSA signature whose s is at most half the order
// of `key`'s group. False for anything else, a key without a group order
// included.
bool IsLowS(EVP_PKEY* key, const unsigned char* der, std::size_t size);

// Rewrites the DER ECDSA signature (r, s) in `signature` into (r, n - s), the
// other signature that verifies. False when it cannot.
bool MirrorS(EVP_PKEY* key, ASN1_OCTET_STRING* signature);

// Rewrites the DER ECDSA signature in `signature` into its low-s form (left
// unchanged when it is in that form already). False when it cannot.
bool MakeLowS(EVP_PKEY* key, ASN1_OCTET_STRING* signature);

}  // namespace brevalt::container

#endif  // BREVALT_TAVIK_SECRETFILE_ECDSA_LOW_S_H
