// Building an RFC 3161 TimeStampReq.
#ifndef BREVALT_PLATFORM_PKI_TS_REQUEST_H
#define BREVALT_PLATFORM_PKI_TS_REQUEST_H

#include <cstdint>
#include <span>
#include <vector>

namespace brevalt::pki {

struct TimeStampQuery {
  std::vector<unsigned char> der;  // the encoded TimeStampReq
  uint64_t nonce = 0;              // the nonce it carries
};

// A TimeStampReq of version 1 with the imprint under the digest algorithm
// digest_nid (an OpenSSL NID, e.g. NID_sha256), the given positive nonce and
// certReq TRUE. False when the imprint's size does not fit the algorithm, the
// nonce is 0, or encoding fails.
bool BuildTimeStampQuery(int digest_nid, std::span<const unsigned char> imprint, uint64_t nonce,
                         TimeStampQuery* out);

// A random nonce in [1, 2^64 - 1] from the OpenSSL random generator; 0 on failure.
uint64_t RandomNonce();

}  // namespace brevalt::pki

#endif  // BREVALT_PLATFORM_PKI_TS_REQUEST_H
