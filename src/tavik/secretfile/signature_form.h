// The one shape of signature block the sealer writes.
//
// A CMS SignedData has fields no signature covers: its versions, its list of
// digest algorithms, how the signer is named, the signature algorithm and its
// parameters, optional certificates, CRLs and unsigned attributes. Were any
// of them free, the same sealed bid could be rewritten into other files
// (with other verification codes) that verify just as well. So the reader
// accepts exactly the form container_writer.cpp produces, field by field.
#ifndef BREVALT_TAVIK_SECRETFILE_SIGNATURE_FORM_H
#define BREVALT_TAVIK_SECRETFILE_SIGNATURE_FORM_H

#include <openssl/x509.h>

#include <vector>

namespace brevalt::container {

// Checks the DER signature block `der`, signed by `cert`, against
//
//   ContentInfo { id-signedData, [0] SignedData {
//     version 1, digestAlgorithms { sha256 }, encapContentInfo { id-data },
//     signerInfos { SignerInfo {
//       version 1, issuerAndSerialNumber (the bytes of cert's issuer and serial),
//       digestAlgorithm sha256, [0] signedAttrs,
//       signatureAlgorithm (ecdsa-with-SHA256 for an EC key, rsaEncryption
//       with NULL parameters for an RSA key), signature } } } }
//
// with nothing before, between or after (no certificates, CRLs or unsigned
// attributes), every length in its shortest form, and an ECDSA signature in
// its low-s form. The signed attributes are checked elsewhere.
// Returns kOk, kSignatureMalformed (no signed attributes, not exactly one
// SignerInfo, content not detached id-data), kUnsupportedAlgorithm (digest or
// signature algorithm, or the certificate's key type), kSignerMismatch
// (issuer or serial differ from the certificate's, byte for byte),
// kSignatureNotCanonical (a high ECDSA s) or kSignatureUnexpectedForm
// (anything else that differs).
int CheckSignatureForm(const std::vector<unsigned char>& der, X509* cert);

}  // namespace brevalt::container

#endif  // BREVALT_TAVIK_SECRETFILE_SIGNATURE_FORM_H
