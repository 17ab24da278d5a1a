// Time-stamp tokens signed with SM2, checked by our code.
//
// OpenSSL 3.0 verifies a CMS SM2 signature under the empty identifier and
// checks no SM2-signed certificate of a chain, so TS_RESP_verify_token fails
// on every SM2-signed answer. A token whose signer certificate holds an SM2
// key is checked here instead, with every rule of OpenSSL's check.
#ifndef BREVALT_TAVIK_PKI_TS_SM2_TOKEN_H
#define BREVALT_TAVIK_PKI_TS_SM2_TOKEN_H

#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <span>
#include <vector>

namespace brevalt::pki {

// True when `token` (a SignedData) has exactly one SignerInfo, names a
// certificate it carries, and that certificate's key is an SM2 key.
bool IsSm2Token(PKCS7* token);

// True when the one signer of `token` signed it: content type id-ct-TSTInfo
// in the token and in the signed attributes, a messageDigest attribute equal
// to the digest (SM3 or SHA-256, as the SignerInfo names it) of the TSTInfo,
// a signature algorithm naming SM2 (sm2sign-with-sm3, sm2-1 or the SM2 curve),
// and an SM2-with-SM3 signature over the signed attributes that verifies with
// the carried certificate under the standard identifier or the empty one
// (which authorities built on OpenSSL write).
bool VerifySm2TokenSignature(PKCS7* token);

// VerifySm2TokenSignature, and: a chain from the signer through the
// certificates the token carries to `trusted` (null: nothing is trusted),
// valid at the store's time, for time stamping (X509_PURPOSE_TIMESTAMP_SIGN:
// critical extended key usage timeStamping as the only purpose), its
// SM2-signed links checked under the standard identifier; and a
// signing-certificate attribute, v1 or v2, that names the signer.
bool VerifySm2TokenTrust(PKCS7* token, X509_STORE* trusted);

// A TimeStampResp whose token's ContentInfo names GM/T 0010's signedData
// (1.2.156.10197.6.1.4.2.2) rewritten with id-signedData, every other byte
// as it was (the signature does not cover that identifier); empty when the
// bytes are no such answer.
std::vector<unsigned char> RfcFormOfGmtResponse(std::span<const unsigned char> bytes);

}  // namespace brevalt::pki

#endif  // BREVALT_TAVIK_PKI_TS_SM2_TOKEN_H
