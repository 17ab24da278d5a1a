// Reading a certificate from the encodings TavikPKICertNewCert accepts.
#ifndef BREVALT_PLATFORM_PKI_CERT_DECODE_H
#define BREVALT_PLATFORM_PKI_CERT_DECODE_H

#include <openssl/x509.h>

#include <cstddef>

namespace brevalt::pki {

// A new X509 read from bytes that hold exactly one certificate as
//  - DER (every byte consumed),
//  - PEM ("-----BEGIN CERTIFICATE-----" block; the first block is taken), or
//  - base64 text of the DER, with or without CR, LF, blanks and tabs anywhere.
// Null for anything else. The caller owns the result (X509_free).
X509* DecodeCertificate(const unsigned char* bytes, size_t size);

}  // namespace brevalt::pki

#endif  // BREVALT_PLATFORM_PKI_CERT_DECODE_H
