#include "tavik/secretfile/container_signature.h"

#include <openssl/err.h>
#include <openssl/objects.h>

#include <algorithm>
#include <iterator>

#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/signature_form.h"
#include "tavik/sm2/sm2_signature.h"
#include "tavik/x509/decoded_certs.h"

namespace brevalt::container {

namespace {

UniqueCms ParseCms(const std::vector<unsigned char>& der) {
  if (der.empty()) {
    return nullptr;
  }
  const unsigned char* p = der.data();
  UniqueCms cms(d2i_CMS_ContentInfo(nullptr, &p, static_cast<long>(der.size())));
  if (cms && p != der.data() + der.size()) {
    cms.reset();
  }
  return cms;
}

// True when encoding the parsed structure again gives exactly `der`: the
// decoder also takes lengths in long form, indefinite lengths and unsorted
// sets, none of which the sealer writes.
bool IsCanonical(CMS_ContentInfo* cms, const std::vector<unsigned char>& der) {
  unsigned char* again = nullptr;
  const int size = i2d_CMS_ContentInfo(cms, &again);
  const bool same = size > 0 && static_cast<std::size_t>(size) == der.size() &&
                    std::equal(der.begin(), der.end(), again);
  OPENSSL_free(again);
  return same;
}

// The one SignerInfo of a detached SignedData over id-data, else null.
CMS_SignerInfo* SoleSigner(CMS_ContentInfo* cms) {
  if (OBJ_obj2nid(CMS_get0_type(cms)) != NID_pkcs7_signed || CMS_is_detached(cms) != 1 ||
      OBJ_obj2nid(CMS_get0_eContentType(cms)) != NID_pkcs7_data) {
    return nullptr;
  }
  STACK_OF(CMS_SignerInfo)* signers = CMS_get0_SignerInfos(cms);
  if (signers == nullptr || sk_CMS_SignerInfo_num(signers) != 1) {
    return nullptr;
  }
  return sk_CMS_SignerInfo_value(signers, 0);
}

// The signed message digest, or null when the signed attributes lack it or
// name a content type other than id-data.
const ASN1_OCTET_STRING* SignedMessageDigest(CMS_SignerInfo* si) {
  if (CMS_signed_get_attr_count(si) <= 0) {
    return nullptr;
  }
  auto* type = static_cast<const ASN1_OBJECT*>(
      CMS_signed_get0_data_by_OBJ(si, OBJ_nid2obj(NID_pkcs9_contentType), -3, V_ASN1_OBJECT));
  if (type == nullptr || OBJ_obj2nid(type) != NID_pkcs7_data) {
    return nullptr;
  }
  return static_cast<const ASN1_OCTET_STRING*>(CMS_signed_get0_data_by_OBJ(
      si, OBJ_nid2obj(NID_pkcs9_messageDigest), -3, V_ASN1_OCTET_STRING));
}

// The sealer signs exactly these attributes, one value each: content type,
// signing time, message digest and, in the RSA and ECDSA forms that OpenSSL's
// CMS writes, S/MIME capabilities.
bool HasOnlyTheSealersAttributes(CMS_SignerInfo* si, SignatureKind kind) {
  constexpr int kExpected[] = {NID_pkcs9_contentType, NID_pkcs9_signingTime,
                               NID_pkcs9_messageDigest, NID_SMIMECapabilities};
  const std::size_t expected = std::size(kExpected) - (kind == SignatureKind::kSm2 ? 1 : 0);
  const int count = CMS_signed_get_attr_count(si);
  if (count != static_cast<int>(expected)) {
    return false;
  }
  unsigned seen = 0;
  for (int i = 0; i < count; ++i) {
    X509_ATTRIBUTE* attribute = CMS_signed_get_attr(si, i);
    const int nid = OBJ_obj2nid(X509_ATTRIBUTE_get0_object(attribute));
    const auto* at = std::find(std::begin(kExpected), std::begin(kExpected) + expected, nid);
    if (at == std::begin(kExpected) + expected || X509_ATTRIBUTE_count(attribute) != 1) {
      return false;
    }
    seen |= 1u << (at - std::begin(kExpected));
  }
  return seen == (1u << expected) - 1;
}

bool DigestMatches(const ASN1_OCTET_STRING* signed_digest,
                   const std::array<unsigned char, kSha256Size>& actual) {
  return ASN1_STRING_length(signed_digest) == static_cast<int>(actual.size()) &&
         std::equal(actual.begin(), actual.end(), ASN1_STRING_get0_data(signed_digest));
}

// The digest the signer's form signs: SM3 for SM2, SHA-256 otherwise. Null
// when the reader did not compute SM3 (the file changed under it).
const std::array<unsigned char, kSha256Size>* SignedBytesDigest(const ContainerContents& contents,
                                                                SignatureKind kind) {
  if (kind != SignatureKind::kSm2) {
    return &contents.signed_digest;
  }
  return contents.signed_sm3 ? &*contents.signed_sm3 : nullptr;
}

// OpenSSL 3.0's CMS verifies SM2 under an empty identifier, so an SM2
// signature is checked here: over the signed attributes encoded as the SET
// they are (the [0] tag becomes SET's), under the standard identifier.
bool VerifySm2Signer(const SignerFields& fields, X509* cert) {
  std::vector<unsigned char> set(fields.signed_attributes.begin(), fields.signed_attributes.end());
  set.at(0) = 0x31;
  return sm2::Verify(X509_get0_pubkey(cert), set, fields.signature, sm2::kDefaultId);
}

int CheckWithCertificate(CMS_ContentInfo* cms, X509* cert, const ContainerContents& contents) {
  if (!IsCanonical(cms, contents.signature)) {
    return kSignatureNotCanonical;
  }
  SignerFields fields;
  if (int rc = CheckSignatureForm(contents.signature, cert, &fields); rc != kOk) {
    return rc;
  }
  CMS_SignerInfo* si = SoleSigner(cms);
  const ASN1_OCTET_STRING* signed_digest = si ? SignedMessageDigest(si) : nullptr;
  if (signed_digest == nullptr) {
    return kSignatureMalformed;
  }
  if (!HasOnlyTheSealersAttributes(si, fields.kind)) {
    return kSignatureUnexpectedForm;
  }
  const auto* digest = SignedBytesDigest(contents, fields.kind);
  if (digest == nullptr || !DigestMatches(signed_digest, *digest)) {
    return kContentDigestMismatch;
  }
  if (CMS_SignerInfo_cert_cmp(si, cert) != 0) {
    return kSignerMismatch;
  }
  if (fields.kind == SignatureKind::kSm2) {
    return VerifySm2Signer(fields, cert) ? kOk : kSignatureInvalid;
  }
  CMS_SignerInfo_set1_signer_cert(si, cert);
  return CMS_SignerInfo_verify(si) == 1 ? kOk : kSignatureInvalid;
}

}  // namespace

UniqueX509 ParseCertificate(const std::vector<unsigned char>& der) {
  return UniqueX509(x509::DecodeDerShared(der.data(), der.size()));
}

int CheckSignature(const ContainerContents& contents) {
  UniqueX509 cert = ParseCertificate(contents.certificate);
  return CheckSignature(contents, cert.get());
}

int CheckSignature(const ContainerContents& contents, X509* cert) {
  int rc = kOk;
  UniqueCms cms = cert != nullptr ? ParseCms(contents.signature) : nullptr;
  if (cert == nullptr) {
    rc = kCertificateMalformed;
  } else if (!cms) {
    rc = kSignatureMalformed;
  } else {
    rc = CheckWithCertificate(cms.get(), cert, contents);
  }
  ERR_clear_error();
  return rc;
}

}  // namespace brevalt::container
