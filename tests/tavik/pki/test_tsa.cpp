#include "tavik/pki/test_tsa.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/ess.h>
#include <openssl/pem.h>
#include <openssl/ts.h>
#include <openssl/x509v3.h>

#include "devserver/sm2_time_stamp.h"
#include "platform/release_with.h"
#include "tavik/sm2/sm2_signature.h"

namespace brevalt::testing {
namespace {

template <typename T, auto Free>
using Owned = std::unique_ptr<T, ReleaseWith<Free>>;

bool AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  Owned<X509_EXTENSION, X509_EXTENSION_free> ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
  return ext && X509_add_ext(cert, ext.get(), -1) == 1;
}

bool AddUsage(X509* cert, X509* issuer, Usage usage) {
  switch (usage) {
    case Usage::kTimeStamping:
      return AddExtension(cert, issuer, NID_ext_key_usage, "critical,timeStamping");
    case Usage::kTimeStampingNotCritical:
      return AddExtension(cert, issuer, NID_ext_key_usage, "timeStamping");
    case Usage::kTimeStampingAndCode:
      return AddExtension(cert, issuer, NID_ext_key_usage, "critical,timeStamping,codeSigning");
    case Usage::kNone:
      return true;
    case Usage::kSubCa:
      return AddExtension(cert, issuer, NID_key_usage, "critical,keyCertSign") &&
             AddExtension(cert, issuer, NID_subject_key_identifier, "hash");
    case Usage::kBidder:
      return AddExtension(cert, issuer, NID_key_usage,
                          "critical,digitalSignature,nonRepudiation") &&
             AddExtension(cert, issuer, NID_ext_key_usage, "clientAuth,emailProtection");
  }
  return false;
}

// Key, serial, name, validity and public key of a new certificate.
TestIdentity StartCert(const std::string& common_name, time_t not_after, bool sm2) {
  static long serial = 100;
  TestIdentity id;
  id.key.reset(sm2 ? EVP_PKEY_Q_keygen(nullptr, nullptr, "SM2") : EVP_EC_gen("P-256"));
  id.cert.reset(X509_new());
  X509* x = id.cert.get();
  const time_t end = not_after != 0 ? not_after : time(nullptr) + 365 * 86400;
  if (!id.key || !x || X509_set_version(x, X509_VERSION_3) != 1 ||
      ASN1_INTEGER_set(X509_get_serialNumber(x), ++serial) != 1 ||
      ASN1_TIME_set(X509_getm_notBefore(x), end - 365 * 86400 - 3600) == nullptr ||
      ASN1_TIME_set(X509_getm_notAfter(x), end) == nullptr ||
      X509_set_pubkey(x, id.key.get()) != 1 ||
      X509_NAME_add_entry_by_NID(X509_get_subject_name(x), NID_commonName, MBSTRING_UTF8,
                                 reinterpret_cast<const unsigned char*>(common_name.c_str()), -1,
                                 -1, 0) != 1) {
    id.cert.reset();
  }
  return id;
}

bool SignCert(X509* cert, EVP_PKEY* issuer_key) {
  return sm2::IsSm2Key(issuer_key) ? sm2::SignCertificate(cert, issuer_key, sm2::kDefaultId)
                                   : X509_sign(cert, issuer_key, EVP_sha256()) > 0;
}

template <typename T>
std::vector<unsigned char> Der(T* object, int (*encode)(const T*, unsigned char**)) {
  unsigned char* der = nullptr;
  const int size = object != nullptr ? encode(object, &der) : -1;
  if (size <= 0)
    return {};
  std::vector<unsigned char> bytes(der, der + size);
  OPENSSL_free(der);
  return bytes;
}

// TSTInfo: version 1, a test policy, the binding's imprint, nonce and time.
Owned<TS_TST_INFO, TS_TST_INFO_free> MakeTstInfo(const ForgedBinding& b) {
  Owned<TS_TST_INFO, TS_TST_INFO_free> info(TS_TST_INFO_new());
  Owned<TS_MSG_IMPRINT, TS_MSG_IMPRINT_free> imprint(TS_MSG_IMPRINT_new());
  Owned<X509_ALGOR, X509_ALGOR_free> algorithm(X509_ALGOR_new());
  Owned<ASN1_OBJECT, ASN1_OBJECT_free> policy(OBJ_txt2obj("1.3.6.1.4.1.32473.1.2", 1));
  Owned<ASN1_INTEGER, ASN1_INTEGER_free> serial(ASN1_INTEGER_new());
  Owned<ASN1_INTEGER, ASN1_INTEGER_free> nonce(ASN1_INTEGER_new());
  Owned<ASN1_GENERALIZEDTIME, ASN1_GENERALIZEDTIME_free> time(
      ASN1_GENERALIZEDTIME_set(nullptr, b.gen_time != 0 ? b.gen_time : std::time(nullptr)));
  if (!info || !imprint || !algorithm || !policy || !serial || !nonce || !time ||
      X509_ALGOR_set0(algorithm.get(), OBJ_nid2obj(b.digest_nid), V_ASN1_NULL, nullptr) != 1 ||
      TS_MSG_IMPRINT_set_algo(imprint.get(), algorithm.get()) != 1 ||
      TS_MSG_IMPRINT_set_msg(imprint.get(), const_cast<unsigned char*>(b.imprint.data()),
                             static_cast<int>(b.imprint.size())) != 1 ||
      ASN1_INTEGER_set(serial.get(), 1) != 1 || TS_TST_INFO_set_version(info.get(), 1) != 1 ||
      TS_TST_INFO_set_policy_id(info.get(), policy.get()) != 1 ||
      TS_TST_INFO_set_msg_imprint(info.get(), imprint.get()) != 1 ||
      TS_TST_INFO_set_serial(info.get(), serial.get()) != 1 ||
      TS_TST_INFO_set_time(info.get(), time.get()) != 1 ||
      (b.nonce != 0 && (ASN1_INTEGER_set_uint64(nonce.get(), b.nonce) != 1 ||
                        TS_TST_INFO_set_nonce(info.get(), nonce.get()) != 1))) {
    info.reset();
  }
  return info;
}

// The signing-certificate (v2, SHA-256) attribute that names the signer.
bool AddSigningCertificate(CMS_SignerInfo* signer_info, X509* cert) {
  Owned<ESS_SIGNING_CERT_V2, ESS_SIGNING_CERT_V2_free> ess(
      OSSL_ESS_signing_cert_v2_new_init(EVP_sha256(), cert, nullptr, 1));
  const std::vector<unsigned char> der = Der(ess.get(), &i2d_ESS_SIGNING_CERT_V2);
  return !der.empty() && CMS_signed_add1_attr_by_NID(
                             signer_info, NID_id_smime_aa_signingCertificateV2, V_ASN1_SEQUENCE,
                             der.data(), static_cast<int>(der.size())) == 1;
}

// The DER of a SignedData token over info_der (content type TSTInfo).
std::vector<unsigned char> SignTstInfo(const std::vector<unsigned char>& info_der,
                                       const TestIdentity& signer,
                                       const std::vector<X509*>& extra) {
  constexpr unsigned int kFlags = CMS_BINARY | CMS_NOSMIMECAP;
  Owned<BIO, BIO_free_all> data(
      BIO_new_mem_buf(info_der.data(), static_cast<int>(info_der.size())));
  Owned<CMS_ContentInfo, CMS_ContentInfo_free> cms(
      CMS_sign(nullptr, nullptr, nullptr, nullptr, CMS_PARTIAL | kFlags));
  if (info_der.empty() || !data || !cms ||
      CMS_set1_eContentType(cms.get(), OBJ_nid2obj(NID_id_smime_ct_TSTInfo)) != 1) {
    return {};
  }
  CMS_SignerInfo* signer_info =
      CMS_add1_signer(cms.get(), signer.cert.get(), signer.key.get(), EVP_sha256(), kFlags);
  if (signer_info == nullptr || !AddSigningCertificate(signer_info, signer.cert.get()))
    return {};
  for (X509* cert : extra) {
    if (CMS_add1_cert(cms.get(), cert) != 1)
      return {};
  }
  if (CMS_final(cms.get(), data.get(), nullptr, kFlags) != 1)
    return {};
  return Der(cms.get(), &i2d_CMS_ContentInfo);
}

}  // namespace

TestIdentity MakeTestCa(const std::string& common_name, bool sm2) {
  TestIdentity ca = StartCert(common_name, 0, sm2);
  X509* x = ca.cert.get();
  if (x == nullptr || X509_set_issuer_name(x, X509_get_subject_name(x)) != 1 ||
      !AddExtension(x, x, NID_basic_constraints, "critical,CA:TRUE") ||
      !AddExtension(x, x, NID_key_usage, "critical,keyCertSign,cRLSign") ||
      !AddExtension(x, x, NID_subject_key_identifier, "hash") || !SignCert(x, ca.key.get())) {
    ca.cert.reset();
  }
  return ca;
}

TestIdentity IssueTestCert(const TestIdentity& issuer, const std::string& common_name, Usage usage,
                           time_t not_after, bool sm2) {
  TestIdentity id = StartCert(common_name, not_after, sm2);
  X509* x = id.cert.get();
  X509* ca = issuer.cert.get();
  if (x == nullptr || ca == nullptr || X509_set_issuer_name(x, X509_get_subject_name(ca)) != 1 ||
      !AddExtension(x, ca, NID_basic_constraints,
                    usage == Usage::kSubCa ? "critical,CA:TRUE" : "critical,CA:FALSE") ||
      !AddExtension(x, ca, NID_authority_key_identifier, "keyid") || !AddUsage(x, ca, usage) ||
      !SignCert(x, issuer.key.get())) {
    id.cert.reset();
  }
  return id;
}

std::string CertToPem(X509* cert) {
  Owned<BIO, BIO_free_all> bio(BIO_new(BIO_s_mem()));
  char* data = nullptr;
  if (!bio || cert == nullptr || PEM_write_bio_X509(bio.get(), cert) != 1)
    return {};
  const long size = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<size_t>(size));
}

std::vector<unsigned char> ForgeTimeStampResponse(const TestIdentity& signer,
                                                  const std::vector<X509*>& extra,
                                                  const ForgedBinding& binding) {
  Owned<TS_TST_INFO, TS_TST_INFO_free> info = MakeTstInfo(binding);
  const std::vector<unsigned char> info_der = Der(info.get(), &i2d_TS_TST_INFO);
  const std::vector<unsigned char> token = SignTstInfo(info_der, signer, extra);
  const unsigned char* cursor = token.data();
  Owned<PKCS7, PKCS7_free> pkcs7(d2i_PKCS7(nullptr, &cursor, static_cast<long>(token.size())));
  Owned<TS_RESP, TS_RESP_free> response(TS_RESP_new());
  Owned<TS_STATUS_INFO, TS_STATUS_INFO_free> status(TS_STATUS_INFO_new());
  if (!info || token.empty() || !pkcs7 || !response || !status ||
      TS_STATUS_INFO_set_status(status.get(), TS_STATUS_GRANTED) != 1 ||
      TS_RESP_set_status_info(response.get(), status.get()) != 1) {
    return {};
  }
  TS_RESP_set_tst_info(response.get(), pkcs7.release(), info.release());  // takes both
  return Der(response.get(), &i2d_TS_RESP);
}

std::vector<unsigned char> ForgeSm2TimeStampResponse(const TestIdentity& signer,
                                                     const std::vector<X509*>& extra,
                                                     const ForgedBinding& binding,
                                                     std::string_view id, bool gmt) {
  Owned<TS_TST_INFO, TS_TST_INFO_free> info = MakeTstInfo(binding);
  const std::vector<unsigned char> token = devserver::Sm2TimeStampToken(
      Der(info.get(), &i2d_TS_TST_INFO), {signer.cert.get(), signer.key.get(), extra, id, gmt});
  return token.empty() ? token : devserver::GrantedResponse(token);
}

}  // namespace brevalt::testing
