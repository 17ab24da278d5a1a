#include "devserver/tsa_identity.h"

#include <openssl/bn.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <cstdio>

namespace brevalt::devserver {
namespace {

constexpr long kValiditySeconds = 365L * 24 * 3600;

bool AddExtension(X509* cert, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  if (ext == nullptr) {
    return false;
  }
  const bool added = X509_add_ext(cert, ext, -1) == 1;
  X509_EXTENSION_free(ext);
  return added;
}

bool SetName(X509* cert) {
  X509_NAME* name = X509_get_subject_name(cert);
  const auto* cn = reinterpret_cast<const unsigned char*>("Brevalt development TSA");
  const auto* org = reinterpret_cast<const unsigned char*>("Brevalt");
  return X509_NAME_add_entry_by_NID(name, NID_commonName, MBSTRING_UTF8, cn, -1, -1, 0) == 1 &&
         X509_NAME_add_entry_by_NID(name, NID_organizationName, MBSTRING_UTF8, org, -1, -1, 0) ==
             1 &&
         X509_set_issuer_name(cert, name) == 1;
}

bool SetSerial(X509* cert) {
  std::unique_ptr<BIGNUM, decltype(&BN_free)> serial(BN_new(), &BN_free);
  return serial && BN_rand(serial.get(), 63, BN_RAND_TOP_ONE, BN_RAND_BOTTOM_ANY) == 1 &&
         BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(cert)) != nullptr;
}

}  // namespace

bool GenerateTsaIdentity(TsaIdentity* out) {
  out->key.reset(EVP_EC_gen("P-256"));
  out->cert.reset(X509_new());
  X509* cert = out->cert.get();
  return out->key && cert && X509_set_version(cert, X509_VERSION_3) == 1 && SetSerial(cert) &&
         X509_gmtime_adj(X509_getm_notBefore(cert), -3600) != nullptr &&
         X509_gmtime_adj(X509_getm_notAfter(cert), kValiditySeconds) != nullptr &&
         X509_set_pubkey(cert, out->key.get()) == 1 && SetName(cert) &&
         AddExtension(cert, NID_basic_constraints, "critical,CA:FALSE") &&
         AddExtension(cert, NID_key_usage, "critical,digitalSignature") &&
         AddExtension(cert, NID_ext_key_usage, "critical,timeStamping") &&
         AddExtension(cert, NID_subject_key_identifier, "hash") &&
         X509_sign(cert, out->key.get(), EVP_sha256()) > 0;
}

bool LoadTsaIdentity(const std::string& cert_path, const std::string& key_path, TsaIdentity* out,
                     std::string* error) {
  std::unique_ptr<FILE, decltype(&std::fclose)> cert_file(std::fopen(cert_path.c_str(), "rb"),
                                                          &std::fclose);
  std::unique_ptr<FILE, decltype(&std::fclose)> key_file(std::fopen(key_path.c_str(), "rb"),
                                                         &std::fclose);
  if (!cert_file || !key_file) {
    *error = "cannot open " + (cert_file ? key_path : cert_path);
    return false;
  }
  out->cert.reset(PEM_read_X509(cert_file.get(), nullptr, nullptr, nullptr));
  out->key.reset(PEM_read_PrivateKey(key_file.get(), nullptr, nullptr, nullptr));
  if (!out->cert || !out->key) {
    *error = "no PEM certificate or key in the given files";
    return false;
  }
  if (X509_check_private_key(out->cert.get(), out->key.get()) != 1) {
    *error = "the key does not belong to the certificate";
    return false;
  }
  return true;
}

}  // namespace brevalt::devserver
