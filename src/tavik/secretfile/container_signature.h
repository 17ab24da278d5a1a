// Checks the signature block of a container against its signed bytes.
#ifndef BREVALT_PLATFORM_CONTAINER_CONTAINER_SIGNATURE_H
#define BREVALT_PLATFORM_CONTAINER_CONTAINER_SIGNATURE_H

#include "tavik/secretfile/container_reader.h"
#include "tavik/secretfile/openssl_owners.h"

namespace brevalt::container {

// Parses `der` as exactly one DER X.509 certificate (no trailing bytes);
// null when it is not one. The object may be shared with other callers
// (x509::DecodeDerShared) and must not be changed.
UniqueX509 ParseCertificate(const std::vector<unsigned char>& der);

// Checks, in this order, that the container's certificate is one DER
// certificate (kCertificateMalformed); that the signature is one DER CMS
// ContentInfo (kSignatureMalformed) that encodes again to the same bytes
// (kSignatureNotCanonical); that it has exactly the form the sealer writes
// (signature_form.h); that its signed attributes are the four the sealer
// writes (kSignatureMalformed without content type or message digest,
// kSignatureUnexpectedForm for any other set); that the message digest
// equals the digest of the signed bytes (kContentDigestMismatch); that the
// SignerInfo names the embedded certificate (kSignerMismatch); and that the
// signature over the signed attributes verifies with that certificate's key
// (kSignatureInvalid). Trust in the certificate is not judged here.
// Leaves the OpenSSL error queue empty.
int CheckSignature(const ContainerContents& contents);
// The same with the certificate already parsed from contents.certificate
// (null: it could not be).
int CheckSignature(const ContainerContents& contents, X509* cert);

}  // namespace brevalt::container

#endif  // BREVALT_PLATFORM_CONTAINER_CONTAINER_SIGNATURE_H
