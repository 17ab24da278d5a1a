// The CMS SignerInfo of an SM2 signer (RFC 5652 with the national
// algorithms), as our SM2 writers put it out: the bid container's SM2 form
// and the development authority's SM2 time-stamp tokens.
#ifndef BREVALT_TAVIK_SM2_SM2_SIGNER_INFO_H
#define BREVALT_TAVIK_SM2_SM2_SIGNER_INFO_H

#include <openssl/x509.h>

#include <span>
#include <vector>

namespace brevalt::sm2 {

// SignerInfo { version 1, issuerAndSerialNumber of `cert` (its own bytes),
// digestAlgorithm sm3, [0] the signed attributes (`attributes` is their DER
// SET, its tag becomes [0]), signatureAlgorithm sm2sign-with-sm3, signature }.
// Empty on failure.
std::vector<unsigned char> SignerInfo(X509* cert, std::span<const unsigned char> attributes,
                                      std::span<const unsigned char> signature);

// Attribute ::= SEQUENCE { type, SET { value } }, both given as DER.
std::vector<unsigned char> Attribute(std::span<const unsigned char> type,
                                     std::span<const unsigned char> value);

}  // namespace brevalt::sm2

#endif  // BREVALT_TAVIK_SM2_SM2_SIGNER_INFO_H
