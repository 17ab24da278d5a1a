#include "tavik/pki/ts_sm2_token.h"

#include <openssl/err.h>
#include <openssl/ess.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/release_with.h"
#include "tavik/sm2/der_reader.h"
#include "tavik/sm2/der_writer.h"
#include "tavik/sm2/sm2_chain.h"
#include "tavik/sm2/sm2_signature.h"

namespace brevalt::pki {
namespace {

template <typename T, auto Free>
using Owned = std::unique_ptr<T, ReleaseWith<Free>>;

constexpr unsigned char kSignedDataOid[] = {0x06, 0x09, 0x2A, 0x86, 0x48, 0x86,
                                            0xF7, 0x0D, 0x01, 0x07, 0x02};
constexpr unsigned char kGmtSignedDataOid[] = {0x06, 0x0A, 0x2A, 0x81, 0x1C, 0xCF,
                                               0x55, 0x06, 0x01, 0x04, 0x02, 0x02};

std::string DottedOid(const ASN1_OBJECT* object) {
  char text[64] = {};
  return OBJ_obj2txt(text, sizeof text, object, 1) > 0 ? text : "";
}

PKCS7_SIGNER_INFO* SoleSignerInfo(PKCS7* token) {
  STACK_OF(PKCS7_SIGNER_INFO)* infos =
      PKCS7_type_is_signed(token) ? PKCS7_get_signer_info(token) : nullptr;
  return infos != nullptr && sk_PKCS7_SIGNER_INFO_num(infos) == 1
             ? sk_PKCS7_SIGNER_INFO_value(infos, 0)
             : nullptr;
}

// The carried certificate that the one SignerInfo names; null otherwise.
X509* SignerCertificate(PKCS7* token) {
  if (SoleSignerInfo(token) == nullptr) {
    return nullptr;
  }
  STACK_OF(X509)* signers = PKCS7_get0_signers(token, nullptr, 0);
  X509* cert = sk_X509_num(signers) == 1 ? sk_X509_value(signers, 0) : nullptr;
  sk_X509_free(signers);  // the certificates stay the token's
  return cert;
}

// The TSTInfo octets the token carries as its id-ct-TSTInfo content.
const ASN1_OCTET_STRING* TstInfoContent(PKCS7* token) {
  PKCS7* content = token->d.sign->contents;
  if (content == nullptr || OBJ_obj2nid(content->type) != NID_id_smime_ct_TSTInfo ||
      content->d.other == nullptr || content->d.other->type != V_ASN1_OCTET_STRING) {
    return nullptr;
  }
  return content->d.other->value.octet_string;
}

bool NamesSm2(const X509_ALGOR* algorithm) {
  const std::string oid = DottedOid(algorithm->algorithm);
  return oid == "1.2.156.10197.1.501" || oid == "1.2.156.10197.1.301.1" ||
         oid == "1.2.156.10197.1.301";
}

// The messageDigest attribute is the digest of the TSTInfo, and the content
// type attribute id-ct-TSTInfo.
bool DigestMatches(PKCS7_SIGNER_INFO* si, const ASN1_OCTET_STRING* content) {
  const EVP_MD* md = EVP_get_digestbyobj(si->digest_alg->algorithm);
  const ASN1_TYPE* type = PKCS7_get_signed_attribute(si, NID_pkcs9_contentType);
  const ASN1_OCTET_STRING* signed_digest = PKCS7_digest_from_attributes(si->auth_attr);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  return md != nullptr && (EVP_MD_is_a(md, "SM3") || EVP_MD_is_a(md, "SHA256")) &&
         type != nullptr && type->type == V_ASN1_OBJECT &&
         OBJ_obj2nid(type->value.object) == NID_id_smime_ct_TSTInfo && signed_digest != nullptr &&
         EVP_Digest(ASN1_STRING_get0_data(content),
                    static_cast<size_t>(ASN1_STRING_length(content)), digest, &size, md,
                    nullptr) == 1 &&
         std::equal(digest, digest + size, ASN1_STRING_get0_data(signed_digest),
                    ASN1_STRING_get0_data(signed_digest) + ASN1_STRING_length(signed_digest));
}

// The signed attributes as the SET that is signed.
std::vector<unsigned char> SignedAttributes(PKCS7_SIGNER_INFO* si) {
  unsigned char* der = nullptr;
  const int size = ASN1_item_i2d(reinterpret_cast<ASN1_VALUE*>(si->auth_attr), &der,
                                 ASN1_ITEM_rptr(PKCS7_ATTR_VERIFY));
  std::vector<unsigned char> bytes(der, der + (size > 0 ? size : 0));
  OPENSSL_free(der);
  return bytes;
}

// The signing-certificate attribute (v1, SHA-1, or v2) names the signer
// and, where it lists more, the chain's next certificates.
bool SigningCertificateNames(PKCS7_SIGNER_INFO* si, STACK_OF(X509) * chain) {
  const auto decode = [si](int nid, auto* d2i) {
    const ASN1_TYPE* value = PKCS7_get_signed_attribute(si, nid);
    const unsigned char* p =
        value != nullptr && value->type == V_ASN1_SEQUENCE ? value->value.sequence->data : nullptr;
    return p != nullptr ? d2i(nullptr, &p, value->value.sequence->length) : nullptr;
  };
  Owned<ESS_SIGNING_CERT, ESS_SIGNING_CERT_free> v1(
      decode(NID_id_smime_aa_signingCertificate, &d2i_ESS_SIGNING_CERT));
  Owned<ESS_SIGNING_CERT_V2, ESS_SIGNING_CERT_V2_free> v2(
      decode(NID_id_smime_aa_signingCertificateV2, &d2i_ESS_SIGNING_CERT_V2));
  return OSSL_ESS_check_signing_certs(v1.get(), v2.get(), chain, 1) > 0;
}

bool VerifyChain(PKCS7* token, X509* signer, X509_STORE* trusted, PKCS7_SIGNER_INFO* si) {
  Owned<X509_STORE_CTX, X509_STORE_CTX_free> ctx(X509_STORE_CTX_new());
  if (trusted == nullptr || !ctx ||
      X509_STORE_CTX_init(ctx.get(), trusted, signer, token->d.sign->cert) != 1 ||
      X509_STORE_CTX_set_purpose(ctx.get(), X509_PURPOSE_TIMESTAMP_SIGN) != 1) {
    return false;
  }
  X509_STORE_CTX_set_verify_cb(ctx.get(), sm2::AcceptStandardSm2Links);
  return X509_verify_cert(ctx.get()) == 1 &&
         SigningCertificateNames(si, X509_STORE_CTX_get0_chain(ctx.get()));
}

}  // namespace

bool IsSm2Token(PKCS7* token) {
  X509* signer = token != nullptr ? SignerCertificate(token) : nullptr;
  const bool sm2 = signer != nullptr && sm2::IsSm2Key(X509_get0_pubkey(signer));
  ERR_clear_error();
  return sm2;
}

bool VerifySm2TokenSignature(PKCS7* token) {
  X509* signer = IsSm2Token(token) ? SignerCertificate(token) : nullptr;
  PKCS7_SIGNER_INFO* si = signer != nullptr ? SoleSignerInfo(token) : nullptr;
  const ASN1_OCTET_STRING* content = si != nullptr ? TstInfoContent(token) : nullptr;
  bool ok = content != nullptr && NamesSm2(si->digest_enc_alg) && DigestMatches(si, content);
  if (ok) {
    const std::vector<unsigned char> attributes = SignedAttributes(si);
    const std::span<const unsigned char> signature(
        ASN1_STRING_get0_data(si->enc_digest),
        static_cast<size_t>(ASN1_STRING_length(si->enc_digest)));
    EVP_PKEY* key = X509_get0_pubkey(signer);
    ok = !attributes.empty() && (sm2::Verify(key, attributes, signature, sm2::kDefaultId) ||
                                 sm2::Verify(key, attributes, signature, ""));
  }
  ERR_clear_error();
  return ok;
}

bool VerifySm2TokenTrust(PKCS7* token, X509_STORE* trusted) {
  bool ok = VerifySm2TokenSignature(token) &&
            VerifyChain(token, SignerCertificate(token), trusted, SoleSignerInfo(token));
  ERR_clear_error();
  return ok;
}

std::vector<unsigned char> RfcFormOfGmtResponse(std::span<const unsigned char> bytes) {
  der::View in(bytes), response, token;
  der::Tlv status;
  if (!der::Enter(&in, der::kSequence, &response) || !in.empty() ||
      !der::Read(&response, &status) || !der::Enter(&response, der::kSequence, &token) ||
      !response.empty() || !der::Expect(&token, kGmtSignedDataOid)) {
    return {};
  }
  return der::Element(der::kSequence,
                      {status.whole, der::Element(der::kSequence, {kSignedDataOid, token})});
}

}  // namespace brevalt::pki
