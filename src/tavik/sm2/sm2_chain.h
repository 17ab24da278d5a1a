// SM2-signed links of certificate chains.
//
// OpenSSL 3.0 checks a certificate's SM2 signature under the identifier set
// on that certificate object (X509_set0_distinguishing_id), and certificates
// it reads carry none: every SM2-signed certificate of a chain fails with
// "certificate signature failure". Setting the identifier on every object of
// a shared trust store is not possible, so chains are built by OpenSSL as
// always and the links it cannot check are checked here.
#ifndef BREVALT_TAVIK_SM2_SM2_CHAIN_H
#define BREVALT_TAVIK_SM2_SM2_CHAIN_H

#include <openssl/x509.h>

#include <string_view>

namespace brevalt::sm2 {

// True when `cert` is signed SM2-with-SM3 by the SM2 key `issuer_key` under
// `id`. False for any other signature algorithm or key.
bool VerifyCertificateSignature(X509* cert, EVP_PKEY* issuer_key, std::string_view id);

// A verify callback for X509_STORE_CTX_set_verify_cb: passes every verdict
// of OpenSSL through, except a certificate signature failure on a link
// whose SM2-with-SM3 signature verifies with the issuer's key (the next
// certificate of the chain) under the standard identifier; that one is
// cleared. Every other rule of the chain (validity, CA basic constraints,
// key usage, path length, purpose) stays OpenSSL's.
int AcceptStandardSm2Links(int ok, X509_STORE_CTX* ctx);

}  // namespace brevalt::sm2

#endif  // BREVALT_TAVIK_SM2_SM2_CHAIN_H
