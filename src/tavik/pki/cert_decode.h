// Reading a certificate from the encodings TavikPKICertNewCert accepts.
#ifndef BREVALT_PLATFORM_PKI_CERT_DECODE_H
#define BREVALT_PLATFORM_PKI_CERT_DECODE_H

#include <openssl/x509.h>

#include <cstddef>

namespace brevalt::pki {

// A new X509 read from bytes that hold exactly one certificate as
//  - DER (every byte consumed),
//  - PEM (the first "-----BEGIN CERTIFICATE-----" ... "-----END CERTIFICATE-----"
//    block; text around it is ignored), or
//  - base64 text of the DER.
// Blanks and line breaks of any kind may stand anywhere in base64 text and in
// a PEM body: a PEM certificate whose line breaks an XML parser turned into
// spaces still reads.
// Null for anything else. The caller owns a reference to the result
// (X509_free), which may be shared (x509::DecodeDerShared) and is never changed.
X509* DecodeCertificate(const unsigned char* bytes, size_t size);

}  // namespace brevalt::pki

#endif  // BREVALT_PLATFORM_PKI_CERT_DECODE_H
