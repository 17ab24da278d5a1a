// Seals a bid container (the writing side of container_reader.h).
#ifndef BREVALT_PLATFORM_CONTAINER_CONTAINER_WRITER_H
#define BREVALT_PLATFORM_CONTAINER_CONTAINER_WRITER_H

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <cstdint>
#include <string>
#include <vector>

namespace brevalt::container {

struct SealInput {
  std::int32_t total_openers = 1;
  std::int32_t min_openers = 1;
  std::vector<unsigned char> custom_data;  // stored verbatim
  std::string payload_path;                // empty: no payload
  // The certificate stored in the container (DER), normally the signer's.
  std::vector<unsigned char> certificate;
  X509* signing_cert = nullptr;     // not owned; names the signer in the CMS
  EVP_PKEY* signing_key = nullptr;  // not owned; must belong to signing_cert
};

// Writes the container to `out_path`: header, custom data, the payload copied
// in 64 KiB chunks (memory does not grow with it), certificate, then a
// detached CMS SignedData (SHA-256, signed attributes, no certificates inside)
// over all those bytes. Counts are stored as given, whatever their values.
// The container is first written to `out_path` + ".part" and renamed on
// success, so a failure leaves no half-written bid. Returns kOk,
// kLengthOutOfRange (custom data or certificate above the format's limits),
// kFileOpenFailed / kFileReadFailed (payload), kFileWriteFailed or
// kSigningFailed (the key does not match the certificate, or OpenSSL failed).
int SealContainer(const std::string& out_path, const SealInput& input);

}  // namespace brevalt::container

#endif  // BREVALT_PLATFORM_CONTAINER_CONTAINER_WRITER_H
