// Reading and checking an RFC 3161 TimeStampResp. Pure functions over bytes:
// no network, no clock, no global state.
#ifndef BREVALT_PLATFORM_PKI_TS_RESPONSE_H
#define BREVALT_PLATFORM_PKI_TS_RESPONSE_H

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
// the expected nonce, and a signature that verifies with the signer
// certificate the token carries. A well-formed answer with another status
// is kOk with only `status` set: the caller decides by status.
ResponseCheck ValidateTimeStampResponse(std::span<const unsigned char> bytes,
                                        const ExpectedBinding& expected, TimeStampFields* out);

// True when the CMS signature of token (DER TimeStampToken) verifies with the
// signer certificate carried in it. No chain is built: no anchors are configured.
bool VerifyTokenSignature(std::span<const unsigned char> token);

}  // namespace brevalt::pki

#endif  // BREVALT_PLATFORM_PKI_TS_RESPONSE_H
