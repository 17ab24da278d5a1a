// The SM2 form of the signature block (docs/container.md), built by hand:
// OpenSSL 3.0's CMS cannot sign with SM2, and verifies SM2 without the
// signer's identifier.
#ifndef BREVALT_TAVIK_SECRETFILE_SM2_SIGNED_DATA_H
#define BREVALT_TAVIK_SECRETFILE_SM2_SIGNED_DATA_H

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <ctime>
#include <span>
#include <string>
#include <vector>

namespace brevalt::container {

// The DER SET of the signed attributes of the SM2 form, in DER order:
// content type id-data, signing time `when` (UTCTime up to 2049,
// GeneralizedTime after) and the message digest `sm3`. Empty on failure.
std::vector<unsigned char> Sm2SignedAttributes(std::span<const unsigned char> sm3,
                                               std::time_t when);

// The ContentInfo of the SM2 form: a detached SignedData over id-data with
// one SignerInfo naming `cert` by its issuer and serial number, carrying
// `attributes` (a SET as above, stored as [0]) and `signature`. Empty on
// failure.
std::vector<unsigned char> Sm2SignedData(X509* cert, std::span<const unsigned char> attributes,
                                         std::span<const unsigned char> signature);

// Signs the file at `path` in the SM2 form: its SM3 into the signed
// attributes, which `key` signs under the standard identifier. Returns kOk,
// kFileReadFailed, or kSigningFailed (`key` is no SM2 key of `cert`).
int SignSm2(const std::string& path, X509* cert, EVP_PKEY* key, std::vector<unsigned char>* der);

}  // namespace brevalt::container

#endif  // BREVALT_TAVIK_SECRETFILE_SM2_SIGNED_DATA_H
