// RFC 3161 answers signed with SM2, built by our code: OpenSSL 3.0's
// responder cannot sign with SM2.
#ifndef BREVALT_TOOLS_DEVSERVER_SM2_TIME_STAMP_H
#define BREVALT_TOOLS_DEVSERVER_SM2_TIME_STAMP_H

#include <openssl/ts.h>
#include <openssl/x509.h>

#include <cstdint>
#include <ctime>
#include <span>
#include <string_view>
#include <vector>

#include "tavik/sm2/sm2_signature.h"

namespace brevalt::devserver {

struct Sm2TokenSigner {
  X509* cert = nullptr;      // the authority's certificate, carried in the token
  EVP_PKEY* key = nullptr;   // its SM2 private key
  std::vector<X509*> extra;  // further certificates to carry (an issuing CA)
  std::string_view id = sm2::kDefaultId;
  bool gmt_content_type = false;  // GM/T 0010's signedData identifier outside
};

// The TimeStampToken over the DER TSTInfo `tst_info`: a ContentInfo of
// id-signedData (or GM/T 0010's 1.2.156.10197.6.1.4.2.2) holding SignedData
// version 3, digest sm3, the TSTInfo as id-ct-TSTInfo content, the
// certificates, and one SM2 SignerInfo whose signed attributes are content
// type, signing time, the SM3 message digest and a signing-certificate-v2
// attribute (SHA-256, with issuer and serial) naming `cert`. Empty on failure.
std::vector<unsigned char> Sm2TimeStampToken(std::span<const unsigned char> tst_info,
                                             const Sm2TokenSigner& signer);

// TimeStampResp { PKIStatusInfo { status }, token }, status 0 (granted) or 1
// (granted with modifications).
std::vector<unsigned char> GrantedResponse(std::span<const unsigned char> token, int status = 0);

// What the authority puts into each TSTInfo besides the request's imprint
// and nonce.
struct TstInfoFields {
  const ASN1_OBJECT* policy = nullptr;
  std::uint64_t serial = 0;
  std::time_t gen_time = 0;
  X509* tsa = nullptr;  // named as the TSA (directoryName of its subject)
};

// The DER TSTInfo answering `request`: version 1, the policy, its imprint,
// the serial, genTime, accuracy 1 s, its nonce when it has one and the TSA
// name. Empty when the request's imprint is not SHA-256, SHA-384, SHA-512 or
// SM3 of the right size (the caller rejects it).
std::vector<unsigned char> TstInfoFor(TS_REQ* request, const TstInfoFields& fields);

}  // namespace brevalt::devserver

#endif  // BREVALT_TOOLS_DEVSERVER_SM2_TIME_STAMP_H
