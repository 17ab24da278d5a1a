// A time-stamp authority's answer: bytes from the network, parsed and checked
// against a request's imprint and nonce.
#include <openssl/obj_mac.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "tavik/pki/ts_response.h"

namespace pki = brevalt::pki;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The imprint and nonce of the seed answers' request.
  static const unsigned char kImprint[32] = {0x9f, 0x86, 0xd0, 0x81, 0x88, 0x4c, 0x7d, 0x65,
                                             0x9a, 0x2f, 0xea, 0xa0, 0xc5, 0x5a, 0xd0, 0x15,
                                             0xa3, 0xbf, 0x4f, 0x1b, 0x2b, 0x0b, 0x82, 0x2c,
                                             0xd1, 0x5d, 0x6c, 0x15, 0xb0, 0xf0, 0x0a, 0x08};
  const pki::ExpectedBinding expected{NID_sha256, kImprint, 0x0102030405060708ULL};
  pki::TimeStampFields fields;
  // Nothing trusted: the signer checks run to their refusal.
  pki::ValidateTimeStampResponse(std::span<const unsigned char>(data, size), expected, nullptr,
                                 &fields);
  return 0;
}
