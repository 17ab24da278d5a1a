#include "tavik/secretfile/signature_form.h"

#include <openssl/evp.h>

#include <algorithm>
#include <iterator>
#include <cstddef>
#include <span>

#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/ecdsa_low_s.h"
#include "tavik/secretfile/signature_der.h"
#include "tavik/sm2/der_reader.h"
#include "tavik/sm2/sm2_signature.h"
#include "tavik/sm2/sm_identifiers.h"

namespace brevalt::container {

namespace {

using Der = std::span<const unsigned char>;

constexpr unsigned char kSequence = 0x30;
constexpr unsigned char kSet = 0x31;
constexpr unsigned char kOctetString = 0x04;
constexpr unsigned char kContext0 = 0xA0;  // [0], constructed

using der::Enter;
using der::Expect;
using der::Read;
using Element = der::Tlv;

// The DER of an OpenSSL object through its i2d function; empty on failure.
template <typename T>
std::vector<unsigned char> Encode(int (*i2d)(const T*, unsigned char**), const T* object) {
  unsigned char* bytes = nullptr;
  const int size = i2d(object, &bytes);
  std::vector<unsigned char> der;
  if (size > 0) {
    der.assign(bytes, bytes + size);
  }
  OPENSSL_free(bytes);
  return der;
}

// issuerAndSerialNumber must name `cert` with exactly its own bytes: other
// spellings of the same name (another case or string type) compare equal in
// OpenSSL and are not signed.
bool NamesCertificate(Der sid, X509* cert) {
  const auto issuer = Encode(i2d_X509_NAME, X509_get_issuer_name(cert));
  const auto serial = Encode(i2d_ASN1_INTEGER, X509_get0_serialNumber(cert));
  return !issuer.empty() && !serial.empty() && Expect(&sid, issuer) && Expect(&sid, serial) &&
         sid.empty();
}

// The algorithms the sealer writes for one kind of key.
struct Form {
  SignatureKind kind;
  Der digest_algorithms;    // the SignedData's SET
  Der digest;               // the SignerInfo's digestAlgorithm
  Der signature_algorithm;  // the SignerInfo's signatureAlgorithm
};

constexpr Form kRsaForm{SignatureKind::kRsa, kSha256Algorithms, kSha256, kRsaEncryption};
constexpr Form kEcdsaForm{SignatureKind::kEcdsa, kSha256Algorithms, kSha256, kEcdsaWithSha256};
constexpr Form kSm2Form{SignatureKind::kSm2, kSm3Algorithms, sm2::kSm3AlgorithmId,
                        sm2::kSm2WithSm3AlgorithmId};

// The form for the certificate's key; null for a key the sealer never signs
// with. An SM2 key is told by its curve, not by an identifier.
const Form* FormFor(EVP_PKEY* key) {
  if (sm2::IsSm2Key(key)) {
    return &kSm2Form;
  }
  const int type = key == nullptr ? 0 : EVP_PKEY_get_base_id(key);
  if (type == EVP_PKEY_EC) {
    return &kEcdsaForm;
  }
  return type == EVP_PKEY_RSA ? &kRsaForm : nullptr;
}

int CheckSignerInfo(Der si, X509* cert, const Form& form, SignerFields* fields) {
  Der sid;
  Element attributes, value;
  if (!Expect(&si, kVersion1) || !Enter(&si, kSequence, &sid)) {
    return kSignatureUnexpectedForm;  // version 3 names the signer by key identifier
  }
  if (!NamesCertificate(sid, cert)) {
    return kSignerMismatch;
  }
  if (!Expect(&si, form.digest)) {
    return kUnsupportedAlgorithm;
  }
  if (!Read(&si, &attributes) || attributes.tag != kContext0) {
    return kSignatureMalformed;
  }
  if (!Expect(&si, form.signature_algorithm)) {
    return kUnsupportedAlgorithm;
  }
  if (!Read(&si, &value) || value.tag != kOctetString || !si.empty()) {
    return kSignatureUnexpectedForm;  // unsigned attributes follow the signature
  }
  if (form.kind == SignatureKind::kEcdsa &&
      !IsLowS(X509_get0_pubkey(cert), value.content.data(), value.content.size())) {
    return kSignatureNotCanonical;
  }
  *fields = {form.kind, attributes.whole, value.content};
  return kOk;
}

int CheckSignedData(Der sd, X509* cert, SignerFields* fields) {
  if (!Expect(&sd, kVersion1)) {
    return kSignatureUnexpectedForm;
  }
  const Form* form = FormFor(X509_get0_pubkey(cert));
  if (form == nullptr || !Expect(&sd, form->digest_algorithms)) {
    return kUnsupportedAlgorithm;
  }
  if (!Expect(&sd, kDetachedData)) {
    return kSignatureMalformed;
  }
  Der signers, si;
  if (!Enter(&sd, kSet, &signers) || !sd.empty()) {
    return kSignatureUnexpectedForm;  // certificates or CRLs before the signers
  }
  if (!Enter(&signers, kSequence, &si) || !signers.empty()) {
    return kSignatureMalformed;
  }
  return CheckSignerInfo(si, cert, *form, fields);
}

}  // namespace

int CheckSignatureForm(const std::vector<unsigned char>& der, X509* cert, SignerFields* fields) {
  Der in(der), content_info, wrapper, signed_data;
  if (!Enter(&in, kSequence, &content_info) || !in.empty() ||
      !Expect(&content_info, kSignedDataType) || !Enter(&content_info, kContext0, &wrapper) ||
      !content_info.empty() || !Enter(&wrapper, kSequence, &signed_data) || !wrapper.empty()) {
    return kSignatureMalformed;
  }
  return CheckSignedData(signed_data, cert, fields);
}

bool NamesSm3Digest(const unsigned char* head, std::size_t size) {
  // Iterator algorithms rather than ranges: clang 14's ranges do not build
  // against libstdc++ 12, and the fuzz build uses that clang.
  const Der start(head, std::min(size, kDigestNamePeek));
  return std::search(start.begin(), start.end(), std::begin(kSm3Algorithms),
                     std::end(kSm3Algorithms)) != start.end();
}

}  // namespace brevalt::container
