// SM2 signatures (GM/T 0003 keys on the SM2 curve, GM/T 0009 signing) with
// SM3 and a distinguishing identifier.
//
// An SM2 signature covers SM3(Z || message), where Z digests the signer's
// identifier, the curve and the public key; a signature made under one
// identifier does not verify under another. OpenSSL 3.0 applies the
// identifier only when it is set on the key's context for every signature,
// and CMS and time-stamp code there never set it, so callers sign and verify
// through these functions.
#ifndef BREVALT_TAVIK_SM2_SM2_SIGNATURE_H
#define BREVALT_TAVIK_SM2_SM2_SIGNATURE_H

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <span>
#include <string_view>
#include <vector>

namespace brevalt::sm2 {

// The identifier every SM2 signer uses unless agreed otherwise.
inline constexpr std::string_view kDefaultId = "1234567812345678";

// True when `key` is an SM2 key (OpenSSL's SM2 type) on the SM2 curve. An EC
// key on another curve is not one, whatever algorithm identifier names it.
bool IsSm2Key(EVP_PKEY* key);

// Signs `message` with SM2 and SM3 under `id`; the signature is the DER
// SEQUENCE { r, s }. False (and `*signature` empty) when `key` is no SM2
// private key or OpenSSL fails. Leaves the OpenSSL error queue empty.
bool Sign(EVP_PKEY* key, std::span<const unsigned char> message, std::string_view id,
          std::vector<unsigned char>* signature);

// True when `signature` (DER SEQUENCE { r, s }, in its one DER form) is an
// SM2-with-SM3 signature of `message` by `key` under `id`. False for a key
// that IsSm2Key refuses. Leaves the OpenSSL error queue empty.
bool Verify(EVP_PKEY* key, std::span<const unsigned char> message,
            std::span<const unsigned char> signature, std::string_view id);

// Signs `cert` (SM2-with-SM3, no parameters) with the issuer's SM2 private
// key under `id`. False when `issuer_key` is no SM2 key or OpenSSL fails.
bool SignCertificate(X509* cert, EVP_PKEY* issuer_key, std::string_view id);

}  // namespace brevalt::sm2

#endif  // BREVALT_TAVIK_SM2_SM2_SIGNATURE_H
