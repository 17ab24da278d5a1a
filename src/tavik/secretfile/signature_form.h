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

#include <cstddef>
#include <span>
#include <vector>

namespace brevalt::container {

// The three forms, one per kind of key.
enum class SignatureKind { kRsa, kEcdsa, kSm2 };

// The parts of a checked signature block that the signature check needs.
struct SignerFields {
  SignatureKind kind = SignatureKind::kRsa;
  std::span<const unsigned char> signed_attributes;  // the whole [0] element
  std::span<const unsigned char> signature;          // the signature's octets
};

// Checks the DER signature block `der`, signed by `cert`, against
//
//   ContentInfo { id-signedData, [0] SignedData {
//     version 1, digestAlgorithms { D }, encapContentInfo { id-data },
//     signerInfos { SignerInfo {
//       version 1, issuerAndSerialNumber (the bytes of cert's issuer and serial),
//       digestAlgorithm D, [0] signedAttrs, signatureAlgorithm A, signature } } } }
//
// where, by the certificate's key, D is sha256 and A ecdsa-with-SHA256 (an EC
// key), D sha256 and A rsaEncryption with NULL parameters (RSA), or D sm3 and
// A sm2sign-with-sm3 (an SM2 key on the SM2 curve), no parameters unless
// named, with nothing before, between or after (no certificates, CRLs or unsigned
// attributes), every length in its shortest form, and an ECDSA signature in
// its low-s form. The signed attributes are checked elsewhere.
// Returns kOk, kSignatureMalformed (no signed attributes, not exactly one
// SignerInfo, content not detached id-data), kUnsupportedAlgorithm (digest or
// signature algorithm, or the certificate's key type), kSignerMismatch
// (issuer or serial differ from the certificate's, byte for byte),
// kSignatureNotCanonical (a high ECDSA s) or kSignatureUnexpectedForm
// (anything else that differs). On kOk `*fields` points into `der`.
int CheckSignatureForm(const std::vector<unsigned char>& der, X509* cert, SignerFields* fields);

// True when the first `size` bytes of a signature block (at most 64 are
// looked at) name SM3 as the digest of the signed bytes, so that a reader
// knows before its pass over the file which digests to compute. A guess
// from the bytes alone: CheckSignatureForm decides.
bool NamesSm3Digest(const unsigned char* head, std::size_t size);
inline constexpr std::size_t kDigestNamePeek = 64;

}  // namespace brevalt::container

#endif  // BREVALT_TAVIK_SECRETFILE_SIGNATURE_FORM_H
