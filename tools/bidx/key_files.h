// Reading bidx's input files: the signer's certificate and private key, and
// small files read whole. Every failure comes with its cause, a phrase that
// follows the file's name in a message ("does not exist", "is a folder", ...).
#ifndef BREVALT_TOOLS_BIDX_KEY_FILES_H
#define BREVALT_TOOLS_BIDX_KEY_FILES_H

#include <string>
#include <vector>

#include "tavik/secretfile/openssl_owners.h"

namespace brevalt::bidx {

// Why the file at `path` cannot be opened for reading as a regular file
// (WhyNotReadable of platform/regular_file.h; "cannot be read" when it opens
// now).
std::string WhyUnreadable(const std::string& path);

// Reads a whole regular file of at most `limit` bytes, without blocking on a
// FIFO. False, with the cause in *why, when it cannot or the file is larger.
bool ReadSmallFile(const std::string& path, std::size_t limit, std::vector<unsigned char>* bytes,
                   std::string* why);

// Loads an X.509 certificate, PEM or DER; null, with the cause in *why, when
// the file cannot be read or holds none.
container::UniqueX509 LoadCertificate(const std::string& path, std::string* why);

// Loads a private key (PEM or DER, PKCS#8 or traditional); null, with the
// cause in *why, when the file cannot be read, is encrypted or holds no key.
container::UniqueKey LoadPrivateKey(const std::string& path, std::string* why);

// Empty when `key` can seal bids (RSA, EC or SM2) and belongs to `cert`; otherwise
// the cause, naming `cert_path`.
std::string WhyKeyUnusable(EVP_PKEY* key, X509* cert, const std::string& cert_path);

// The DER encoding of `cert`; empty on failure.
std::vector<unsigned char> CertificateDer(X509* cert);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_KEY_FILES_H
