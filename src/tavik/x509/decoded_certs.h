// Certificates decoded once per process. Decoding one costs far more than its
// bytes suggest (its public key goes through OpenSSL's decoders), and a batch
// meets the same certificates again and again: a bidder's in the container,
// the reader and the report; the openers of a project in its sealed and its
// published rules file, bid after bid.
#ifndef BREVALT_TAVIK_X509_DECODED_CERTS_H
#define BREVALT_TAVIK_X509_DECODED_CERTS_H

#include <openssl/x509.h>

#include <cstddef>

namespace brevalt::x509 {

// How many decoded certificates are kept; the oldest goes first. A larger
// encoding than kMaxKeptCertBytes (real ones hold one or two KiB) is decoded
// each time, so that hostile documents cannot fill the memory with them.
inline constexpr std::size_t kKeptDecodedCerts = 256;
inline constexpr std::size_t kMaxKeptCertBytes = 16 * 1024;

// The certificate that der (size bytes) holds, every byte consumed; null when
// it holds none. A new reference (X509_free) to an object that may be shared
// with other callers, so it must not be changed. Any thread.
X509* DecodeDerShared(const unsigned char* der, std::size_t size);

}  // namespace brevalt::x509

#endif  // BREVALT_TAVIK_X509_DECODED_CERTS_H
