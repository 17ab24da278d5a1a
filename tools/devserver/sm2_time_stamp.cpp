#include "devserver/sm2_time_stamp.h"

#include <openssl/err.h>
#include <openssl/ess.h>
#include <openssl/evp.h>

#include <memory>

#include "platform/release_with.h"
#include "tavik/sm2/der_writer.h"
#include "tavik/sm2/sm2_signer_info.h"
#include "tavik/sm2/sm_identifiers.h"

namespace brevalt::devserver {
namespace {

template <typename T, auto Free>
using Owned = std::unique_ptr<T, ReleaseWith<Free>>;
using der::Bytes;

// OBJECT IDENTIFIERs: id-signedData, GM/T 0010 signedData, id-ct-TSTInfo,
// content type, message digest, signing time, signing certificate v2.
constexpr unsigned char kSignedData[] = {0x06, 0x09, 0x2A, 0x86, 0x48, 0x86,
                                         0xF7, 0x0D, 0x01, 0x07, 0x02};
constexpr unsigned char kGmtSignedData[] = {0x06, 0x0A, 0x2A, 0x81, 0x1C, 0xCF,
                                            0x55, 0x06, 0x01, 0x04, 0x02, 0x02};
constexpr unsigned char kTstInfoType[] = {0x06, 0x0B, 0x2A, 0x86, 0x48, 0x86, 0xF7,
                                          0x0D, 0x01, 0x09, 0x10, 0x01, 0x04};
constexpr unsigned char kContentType[] = {0x06, 0x09, 0x2A, 0x86, 0x48, 0x86,
                                          0xF7, 0x0D, 0x01, 0x09, 0x03};
constexpr unsigned char kMessageDigest[] = {0x06, 0x09, 0x2A, 0x86, 0x48, 0x86,
                                            0xF7, 0x0D, 0x01, 0x09, 0x04};
constexpr unsigned char kSigningTime[] = {0x06, 0x09, 0x2A, 0x86, 0x48, 0x86,
                                          0xF7, 0x0D, 0x01, 0x09, 0x05};
constexpr unsigned char kSigningCertificateV2[] = {0x06, 0x0B, 0x2A, 0x86, 0x48, 0x86, 0xF7,
                                                   0x0D, 0x01, 0x09, 0x10, 0x02, 0x2F};
constexpr unsigned char kVersion3[] = {0x02, 0x01, 0x03};
constexpr unsigned char kSm3Algorithms[] = {0x31, 0x0C, 0x30, 0x0A, 0x06, 0x08, 0x2A,
                                            0x81, 0x1C, 0xCF, 0x55, 0x01, 0x83, 0x11};

template <typename T>
Bytes Encode(int (*i2d)(const T*, unsigned char**), const T* object) {
  unsigned char* bytes = nullptr;
  const int size = object == nullptr ? 0 : i2d(object, &bytes);
  Bytes out(bytes, bytes + (size > 0 ? size : 0));
  OPENSSL_free(bytes);
  return out;
}

Bytes SignedAttributes(std::span<const unsigned char> tst_info, X509* cert) {
  unsigned char sm3[EVP_MAX_MD_SIZE];
  unsigned int sm3_size = 0;
  Owned<ASN1_TIME, ASN1_TIME_free> now(ASN1_TIME_set(nullptr, std::time(nullptr)));
  Owned<ESS_SIGNING_CERT_V2, ESS_SIGNING_CERT_V2_free> ess(
      OSSL_ESS_signing_cert_v2_new_init(EVP_sha256(), cert, nullptr, 1));
  const Bytes time = Encode(i2d_ASN1_TIME, now.get());
  const Bytes signing_cert = Encode(i2d_ESS_SIGNING_CERT_V2, ess.get());
  if (EVP_Digest(tst_info.data(), tst_info.size(), sm3, &sm3_size, EVP_sm3(), nullptr) != 1 ||
      time.empty() || signing_cert.empty()) {
    return {};
  }
  return der::SetOf(
      {sm2::Attribute(kContentType, kTstInfoType), sm2::Attribute(kSigningTime, time),
       sm2::Attribute(kMessageDigest, der::Element(der::kOctetString, der::View(sm3, sm3_size))),
       sm2::Attribute(kSigningCertificateV2, signing_cert)});
}

// [0] IMPLICIT SET OF Certificate: the signer's and the extra ones.
Bytes Certificates(const Sm2TokenSigner& signer) {
  std::vector<Bytes> certs{Encode(i2d_X509, signer.cert)};
  for (X509* cert : signer.extra) {
    certs.push_back(Encode(i2d_X509, cert));
  }
  Bytes set = der::SetOf(std::move(certs));
  set[0] = der::kContext0;
  return set;
}

// The imprint's digest is one the authority accepts, with a value of its size.
bool AcceptableImprint(TS_MSG_IMPRINT* imprint) {
  const ASN1_OBJECT* algorithm = nullptr;
  X509_ALGOR_get0(&algorithm, nullptr, nullptr, TS_MSG_IMPRINT_get_algo(imprint));
  const int nid = OBJ_obj2nid(algorithm);
  const EVP_MD* md = EVP_get_digestbynid(nid);
  return (nid == NID_sha256 || nid == NID_sha384 || nid == NID_sha512 || nid == NID_sm3) &&
         md != nullptr &&
         ASN1_STRING_length(TS_MSG_IMPRINT_get_msg(imprint)) == EVP_MD_get_size(md);
}

}  // namespace

std::vector<unsigned char> Sm2TimeStampToken(std::span<const unsigned char> tst_info,
                                             const Sm2TokenSigner& signer) {
  if (signer.cert == nullptr || signer.key == nullptr) {
    return {};
  }
  const Bytes attributes = SignedAttributes(tst_info, signer.cert);
  Bytes signature;
  if (attributes.empty() || !sm2::Sign(signer.key, attributes, signer.id, &signature)) {
    return {};
  }
  const Bytes signer_info = sm2::SignerInfo(signer.cert, attributes, signature);
  if (signer_info.empty()) {
    return {};
  }
  const Bytes content = der::Element(
      der::kSequence,
      {kTstInfoType, der::Element(der::kContext0, der::Element(der::kOctetString, tst_info))});
  const Bytes signed_data =
      der::Element(der::kSequence, {kVersion3, kSm3Algorithms, content, Certificates(signer),
                                    der::Element(der::kSet, signer_info)});
  return der::Element(der::kSequence,
                      {signer.gmt_content_type ? der::View(kGmtSignedData) : kSignedData,
                       der::Element(der::kContext0, signed_data)});
}

std::vector<unsigned char> GrantedResponse(std::span<const unsigned char> token, int status) {
  const unsigned char status_info[] = {0x30, 0x03, 0x02, 0x01,
                                       static_cast<unsigned char>(status == 1 ? 1 : 0)};
  return der::Element(der::kSequence, {status_info, token});
}

std::vector<unsigned char> TstInfoFor(TS_REQ* request, const TstInfoFields& fields) {
  Owned<TS_TST_INFO, TS_TST_INFO_free> info(TS_TST_INFO_new());
  Owned<ASN1_INTEGER, ASN1_INTEGER_free> serial(ASN1_INTEGER_new());
  Owned<ASN1_GENERALIZEDTIME, ASN1_GENERALIZEDTIME_free> time(
      ASN1_GENERALIZEDTIME_set(nullptr, fields.gen_time));
  Owned<TS_ACCURACY, TS_ACCURACY_free> accuracy(TS_ACCURACY_new());
  Owned<ASN1_INTEGER, ASN1_INTEGER_free> one(ASN1_INTEGER_new());
  Owned<GENERAL_NAME, GENERAL_NAME_free> tsa(GENERAL_NAME_new());
  X509_NAME* subject = X509_NAME_dup(X509_get_subject_name(fields.tsa));
  TS_MSG_IMPRINT* imprint = TS_REQ_get_msg_imprint(request);
  const ASN1_INTEGER* nonce = TS_REQ_get_nonce(request);
  bool ok = info && serial && time && accuracy && one && tsa && subject != nullptr &&
            AcceptableImprint(imprint);
  if (ok) {
    GENERAL_NAME_set0_value(tsa.get(), GEN_DIRNAME, subject);  // owned by tsa now
    subject = nullptr;
  }
  ok = ok && TS_TST_INFO_set_version(info.get(), 1) == 1 &&
       TS_TST_INFO_set_policy_id(info.get(), const_cast<ASN1_OBJECT*>(fields.policy)) == 1 &&
       TS_TST_INFO_set_msg_imprint(info.get(), imprint) == 1 &&
       ASN1_INTEGER_set_uint64(serial.get(), fields.serial) == 1 &&
       TS_TST_INFO_set_serial(info.get(), serial.get()) == 1 &&
       TS_TST_INFO_set_time(info.get(), time.get()) == 1 && ASN1_INTEGER_set(one.get(), 1) == 1 &&
       TS_ACCURACY_set_seconds(accuracy.get(), one.get()) == 1 &&
       TS_TST_INFO_set_accuracy(info.get(), accuracy.get()) == 1 &&
       (nonce == nullptr || TS_TST_INFO_set_nonce(info.get(), nonce) == 1) &&
       TS_TST_INFO_set_tsa(info.get(), tsa.get()) == 1;
  X509_NAME_free(subject);
  ERR_clear_error();
  return ok ? Encode(i2d_TS_TST_INFO, info.get()) : Bytes();
}

}  // namespace brevalt::devserver
