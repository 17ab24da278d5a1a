#include "tools/bidx/ephemeral_signer.h"

#include <openssl/err.h>

namespace brevalt::bidx {

namespace {

container::UniqueKey MakeKey(KeyKind kind) {
  EVP_PKEY* key = kind == KeyKind::kRsa2048 ? EVP_PKEY_Q_keygen(nullptr, nullptr, "RSA", 2048)
                                            : EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
  return container::UniqueKey(key);
}

bool FillCertificate(X509* cert, EVP_PKEY* key, const std::string& common_name, long serial,
                     long days) {
  X509_NAME* name = X509_get_subject_name(cert);
  const auto* cn = reinterpret_cast<const unsigned char*>(common_name.c_str());
  return X509_set_version(cert, 2) == 1 &&
         ASN1_INTEGER_set(X509_get_serialNumber(cert), serial) == 1 &&
         X509_gmtime_adj(X509_getm_notBefore(cert), 0) != nullptr &&
         X509_gmtime_adj(X509_getm_notAfter(cert), days * 24 * 3600) != nullptr &&
         X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8, cn, -1, -1, 0) == 1 &&
         X509_set_issuer_name(cert, name) == 1 && X509_set_pubkey(cert, key) == 1 &&
         X509_sign(cert, key, EVP_sha256()) > 0;
}

}  // namespace

Signer MakeSelfSignedSigner(KeyKind kind, const std::string& common_name, long serial, long days) {
  Signer signer;
  signer.key = MakeKey(kind);
  signer.cert.reset(X509_new());
  if (!signer.key || !signer.cert ||
      !FillCertificate(signer.cert.get(), signer.key.get(), common_name, serial, days)) {
    signer = Signer{};
  }
  ERR_clear_error();
  return signer;
}

}  // namespace brevalt::bidx
