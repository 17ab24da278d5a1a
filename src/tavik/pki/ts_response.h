// Reading and checking an RFC 3161 TimeStampResp. Functions over bytes and,
// for the signer's trust, a certificate store: no network, no global state.
// ParseTimeStampResponse needs nothing but the bytes (a fuzz entry point).
#ifndef BREVALT_PLATFORM_PKI_TS_RESPONSE_H
#define BREVALT_PLATFORM_PKI_TS_RESPONSE_H

#include <openssl/x509.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brevalt::pki {

enum class ResponseCheck {
  kOk = 0,
  kMalformed,        // not exactly one DER TimeStampResp, or granted without a token
  kBadTime,          // genTime is not a valid date and time
  kImprintMismatch,  // another digest algorithm or value than requested
  kNonceMissing,     // the token carries no nonce
  kNonceMismatch,    // the token carries another nonce
  kBadSignature,     // the token's signature does not verify with the certificate it carries
  kUntrustedSigner,  // the signer does not chain to a trusted root at the store's time, or is
                     // not a time-stamping certificate (critical extended key usage
                     // timeStamping as its only purpose)
};

// What a TimeStampResp holds. Token fields are filled only for a granted
// answer (status 0 or 1); for any other status only `status` is set.
struct TimeStampFields {
  int status = -1;                     // PKIStatus
  std::string gen_time;                // "YYYYMMDDHHMMSSZ" in UTC, fractions dropped
  std::string imprint_algorithm;       // dotted OID of the imprint's digest
  std::vector<unsigned char> imprint;  // hashedMessage
  bool has_nonce = false;
  bool nonce_negative = false;
  std::vector<unsigned char> nonce;  // magnitude of the nonce, big-endian, no sign byte
  std::vector<unsigned char> token;  // DER of the TimeStampToken (CMS ContentInfo)
};

// Parses bytes as one TimeStampResp (trailing bytes are malformed).
ResponseCheck ParseTimeStampResponse(std::span<const unsigned char> bytes, TimeStampFields* out);

// What a request asked for, which its answer must repeat.
struct ExpectedBinding {
  int digest_nid = 0;                      // OpenSSL NID of the imprint's digest
  std::span<const unsigned char> imprint;  // the digest value
  uint64_t nonce = 0;                      // the request's nonce
};

// Parses bytes and, when the status is granted, accepts the answer only if
// its token carries the expected imprint (compared by algorithm OID and
// digest value, not by encoding: authorities drop or add NULL parameters),
// the expected nonce, a signature that verifies with the signer certificate
// the token carries, and a signer that VerifyTokenTrust accepts against
// trusted (null: nothing is trusted). Checked in this order; the first
// failure is returned. A well-formed answer with another status is kOk with
// only `status` set: the caller decides by status.
ResponseCheck ValidateTimeStampResponse(std::span<const unsigned char> bytes,
                                        const ExpectedBinding& expected, X509_STORE* trusted,
                                        TimeStampFields* out);

// True when the CMS signature of token (DER TimeStampToken) verifies with the
// signer certificate carried in it. Says nothing about who the signer is.
bool VerifyTokenSignature(std::span<const unsigned char> token);

// True when OpenSSL's time-stamp verification (TS_VERIFY_CTX with the store
// trusted) accepts token: one signer, whose certificate is named by the
// token's signing-certificate attribute, signed the token and chains through
// the certificates the token carries to a root in trusted, valid at the
// store's verification time (default: now); and the signer carries the
// extended key usage timeStamping, critical, as its only purpose. Revocation
// is not checked. False for a null store.
bool VerifyTokenTrust(std::span<const unsigned char> token, X509_STORE* trusted);

// Both checks above on one token, decoded once: kBadSignature when its
// signature does not verify, else kUntrustedSigner when VerifyTokenTrust
// refuses it, else kOk.
ResponseCheck VerifyToken(std::span<const unsigned char> token, X509_STORE* trusted);

}  // namespace brevalt::pki

#endif  // BREVALT_PLATFORM_PKI_TS_RESPONSE_H
