// Certificate authorities, time-stamp signers of every kind and RFC 3161
// answers signed by any of them, made on the spot for trust tests.
#ifndef BREVALT_TESTS_TAVIK_PKI_TEST_TSA_H
#define BREVALT_TESTS_TAVIK_PKI_TEST_TSA_H

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brevalt::testing {

// A certificate with its private key (EC P-256, or SM2 where asked).
struct TestIdentity {
  std::unique_ptr<X509, decltype(&X509_free)> cert{nullptr, &X509_free};
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{nullptr, &EVP_PKEY_free};
};

// What a certificate may be used for.
enum class Usage {
  kTimeStamping,             // critical extendedKeyUsage timeStamping (an authority)
  kTimeStampingNotCritical,  // the same, not marked critical
  kTimeStampingAndCode,      // timeStamping and codeSigning
  kNone,                     // no extendedKeyUsage at all
  kBidder,                   // keyUsage digitalSignature, nonRepudiation; clientAuth,
                             // emailProtection (a bidder's signing certificate)
  kSubCa,                    // an intermediate CA (CA:TRUE, keyCertSign)
};

// A self-signed CA (basicConstraints CA:TRUE, keyUsage keyCertSign, cRLSign).
TestIdentity MakeTestCa(const std::string& common_name, bool sm2 = false);

// A certificate for common_name issued by issuer, valid from one hour before
// not_after - 1 year (or now) until not_after (0: one year from now).
// An SM2 issuer signs SM2-with-SM3 under the standard identifier.
TestIdentity IssueTestCert(const TestIdentity& issuer, const std::string& common_name, Usage usage,
                           time_t not_after = 0, bool sm2 = false);

// PEM text of a certificate.
std::string CertToPem(X509* cert);

// What the answer repeats of its request.
struct ForgedBinding {
  int digest_nid = 0;                      // imprint digest, e.g. NID_sha256
  std::span<const unsigned char> imprint;  // the digest value
  uint64_t nonce = 0;                      // 0: no nonce
  time_t gen_time = 0;                     // 0: now
};

// The DER of a granted TimeStampResp whose token is signed by signer and
// carries signer's certificate (plus extra, e.g. an intermediate) and a
// signing-certificate attribute naming it: well formed in every respect
// that does not depend on who the signer is. Empty on failure.
std::vector<unsigned char> ForgeTimeStampResponse(const TestIdentity& signer,
                                                  const std::vector<X509*>& extra,
                                                  const ForgedBinding& binding);

// The same answer with a token signed SM2-with-SM3 by the development
// authority's builder: `id` the identifier, `gmt` GM/T 0010's signedData
// identifier outside.
std::vector<unsigned char> ForgeSm2TimeStampResponse(const TestIdentity& signer,
                                                     const std::vector<X509*>& extra,
                                                     const ForgedBinding& binding,
                                                     std::string_view id, bool gmt = false);

}  // namespace brevalt::testing

#endif  // BREVALT_TESTS_TAVIK_PKI_TEST_TSA_H
