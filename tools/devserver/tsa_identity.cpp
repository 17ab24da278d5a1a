#include "devserver/tsa_identity.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/release_with.h"
#include "tavik/sm2/sm2_signature.h"

namespace brevalt::devserver {
namespace {

constexpr long kValiditySeconds = 365L * 24 * 3600;

using FilePtr = std::unique_ptr<FILE, ReleaseWith<std::fclose>>;
using KeyPtr = std::unique_ptr<EVP_PKEY, ReleaseWith<EVP_PKEY_free>>;

// Adds one extension to cert; issuer is the certificate that signs it (cert
// itself for a self-signed one), needed for the authority key identifier.
bool AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  if (ext == nullptr) {
    return false;
  }
  const bool added = X509_add_ext(cert, ext, -1) == 1;
  X509_EXTENSION_free(ext);
  return added;
}

bool SetSubject(X509* cert, const char* common_name) {
  X509_NAME* name = X509_get_subject_name(cert);
  const auto* cn = reinterpret_cast<const unsigned char*>(common_name);
  const auto* org = reinterpret_cast<const unsigned char*>("Brevalt");
  return X509_NAME_add_entry_by_NID(name, NID_commonName, MBSTRING_UTF8, cn, -1, -1, 0) == 1 &&
         X509_NAME_add_entry_by_NID(name, NID_organizationName, MBSTRING_UTF8, org, -1, -1, 0) == 1;
}

bool SetSerial(X509* cert) {
  std::unique_ptr<BIGNUM, ReleaseWith<BN_free>> serial(BN_new());
  return serial && BN_rand(serial.get(), 63, BN_RAND_TOP_ONE, BN_RAND_BOTTOM_ANY) == 1 &&
         BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(cert)) != nullptr;
}

// Version 3, a random serial, validity from one hour ago for one year, the
// subject and the public key: what both certificates share.
bool StartCertificate(X509* cert, EVP_PKEY* key, const char* common_name) {
  return cert && key && X509_set_version(cert, X509_VERSION_3) == 1 && SetSerial(cert) &&
         X509_gmtime_adj(X509_getm_notBefore(cert), -3600) != nullptr &&
         X509_gmtime_adj(X509_getm_notAfter(cert), kValiditySeconds) != nullptr &&
         X509_set_pubkey(cert, key) == 1 && SetSubject(cert, common_name);
}

// The issuer's signature: SM2-with-SM3 for an SM2 key, SHA-256 otherwise.
bool Sign(X509* cert, EVP_PKEY* issuer_key) {
  return sm2::IsSm2Key(issuer_key) ? sm2::SignCertificate(cert, issuer_key, sm2::kDefaultId)
                                   : X509_sign(cert, issuer_key, EVP_sha256()) > 0;
}

KeyPtr NewKey(bool sm2) {
  return KeyPtr(sm2 ? EVP_PKEY_Q_keygen(nullptr, nullptr, "SM2") : EVP_EC_gen("P-256"));
}

bool MakeCa(X509* ca, EVP_PKEY* ca_key, const char* name) {
  return StartCertificate(ca, ca_key, name) &&
         X509_set_issuer_name(ca, X509_get_subject_name(ca)) == 1 &&
         AddExtension(ca, ca, NID_basic_constraints, "critical,CA:TRUE,pathlen:0") &&
         AddExtension(ca, ca, NID_key_usage, "critical,keyCertSign,cRLSign") &&
         AddExtension(ca, ca, NID_subject_key_identifier, "hash") && Sign(ca, ca_key);
}

bool MakeTsaCertificate(X509* cert, EVP_PKEY* key, X509* ca, EVP_PKEY* ca_key, const char* name) {
  return StartCertificate(cert, key, name) &&
         X509_set_issuer_name(cert, X509_get_subject_name(ca)) == 1 &&
         AddExtension(cert, ca, NID_basic_constraints, "critical,CA:FALSE") &&
         AddExtension(cert, ca, NID_key_usage, "critical,digitalSignature") &&
         AddExtension(cert, ca, NID_ext_key_usage, "critical,timeStamping") &&
         AddExtension(cert, ca, NID_subject_key_identifier, "hash") &&
         AddExtension(cert, ca, NID_authority_key_identifier, "keyid:always") && Sign(cert, ca_key);
}

std::string OpenFailure(const std::string& path) {
  return path + ": cannot open: " + std::strerror(errno);
}

}  // namespace

bool GenerateTsaIdentity(TsaIdentity* out, bool sm2) {
  KeyPtr ca_key = NewKey(sm2);
  out->ca.reset(X509_new());
  out->key.reset(NewKey(sm2).release());
  out->cert.reset(X509_new());
  return ca_key &&
         MakeCa(out->ca.get(), ca_key.get(),
                sm2 ? "Brevalt development SM2 CA" : "Brevalt development CA") &&
         MakeTsaCertificate(out->cert.get(), out->key.get(), out->ca.get(), ca_key.get(),
                            sm2 ? "Brevalt development SM2 TSA" : "Brevalt development TSA");
}

bool LoadTsaIdentity(const std::string& cert_path, const std::string& key_path, TsaIdentity* out,
                     std::string* error) {
  FilePtr cert_file(std::fopen(cert_path.c_str(), "rb"));
  if (!cert_file) {
    *error = OpenFailure(cert_path);
    return false;
  }
  FilePtr key_file(std::fopen(key_path.c_str(), "rb"));
  if (!key_file) {
    *error = OpenFailure(key_path);
    return false;
  }
  out->cert.reset(PEM_read_X509(cert_file.get(), nullptr, nullptr, nullptr));
  if (!out->cert) {
    *error = cert_path + ": no PEM certificate in the file";
    return false;
  }
  out->key.reset(PEM_read_PrivateKey(key_file.get(), nullptr, nullptr, nullptr));
  if (!out->key) {
    *error = key_path + ": no PEM private key in the file";
    return false;
  }
  if (X509_check_private_key(out->cert.get(), out->key.get()) != 1) {
    *error = key_path + ": the key does not belong to the certificate in " + cert_path;
    return false;
  }
  const std::string problem = TimeStampingUsageProblem(out->cert.get());
  if (!problem.empty()) {
    *error = cert_path + ": not fit for time stamping: " + problem;
    return false;
  }
  return true;
}

std::string TimeStampingUsageProblem(X509* cert) {
  int critical = -1;
  std::unique_ptr<EXTENDED_KEY_USAGE, ReleaseWith<EXTENDED_KEY_USAGE_free>> usage(
      static_cast<EXTENDED_KEY_USAGE*>(
          X509_get_ext_d2i(cert, NID_ext_key_usage, &critical, nullptr)));
  if (!usage) {
    return critical == -1 ? "the certificate has no extended key usage"
                          : "the extended key usage cannot be read or occurs twice";
  }
  if (sk_ASN1_OBJECT_num(usage.get()) != 1 ||
      OBJ_obj2nid(sk_ASN1_OBJECT_value(usage.get(), 0)) != NID_time_stamp) {
    return "the extended key usage must name timeStamping and nothing else";
  }
  if (critical != 1) {
    return "the extended key usage timeStamping is not marked critical";
  }
  return {};
}

std::string CertificatePem(X509* cert) {
  std::unique_ptr<BIO, ReleaseWith<BIO_free>> bio(BIO_new(BIO_s_mem()));
  if (cert == nullptr || !bio || PEM_write_bio_X509(bio.get(), cert) != 1) {
    return {};
  }
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio.get(), &data);
  return size > 0 ? std::string(data, static_cast<size_t>(size)) : std::string();
}

}  // namespace brevalt::devserver
