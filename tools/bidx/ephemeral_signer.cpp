#include "tools/bidx/ephemeral_signer.h"

#include <openssl/err.h>
#include <openssl/x509v3.h>

#include "tavik/sm2/sm2_signature.h"

namespace brevalt::bidx {

namespace {

constexpr long kSecondsPerDay = 24 * 3600;

container::UniqueKey MakeKey(KeyKind kind) {
  switch (kind) {
    case KeyKind::kRsa2048:
      return container::UniqueKey(EVP_PKEY_Q_keygen(nullptr, nullptr, "RSA", 2048));
    case KeyKind::kSm2:
      return container::UniqueKey(EVP_PKEY_Q_keygen(nullptr, nullptr, "SM2"));
    case KeyKind::kEcP256:
      break;
  }
  return container::UniqueKey(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
}

// The issuer's signature: SM2-with-SM3 under the standard identifier for an
// SM2 key, SHA-256 otherwise.
bool SignWith(X509* cert, EVP_PKEY* issuer_key) {
  if (sm2::IsSm2Key(issuer_key)) {
    return sm2::SignCertificate(cert, issuer_key, sm2::kDefaultId);
  }
  return X509_sign(cert, issuer_key, EVP_sha256()) > 0;
}

// From now for `days` days, or, for negative `days`, a period that ended
// -days days ago.
bool SetValidity(X509* cert, long days) {
  const long start = days < 0 ? 2 * days * kSecondsPerDay : 0;
  return X509_gmtime_adj(X509_getm_notBefore(cert), start) != nullptr &&
         X509_gmtime_adj(X509_getm_notAfter(cert), days * kSecondsPerDay) != nullptr;
}

// Adds one extension in OpenSSL's configuration form; an empty value adds none.
bool AddExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
  if (value.empty()) {
    return true;
  }
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
  const bool ok = extension != nullptr && X509_add_ext(cert, extension, -1) == 1;
  X509_EXTENSION_free(extension);
  return ok;
}

// Fills `cert` for `key`, named `common_name`, issued under `issuer`'s
// subject (its own when `issuer` is null).
bool FillCertificate(X509* cert, EVP_PKEY* key, const std::string& common_name, long serial,
                     long days, X509* issuer) {
  X509_NAME* name = X509_get_subject_name(cert);
  const auto* cn = reinterpret_cast<const unsigned char*>(common_name.c_str());
  return X509_set_version(cert, 2) == 1 &&
         ASN1_INTEGER_set(X509_get_serialNumber(cert), serial) == 1 && SetValidity(cert, days) &&
         X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8, cn, -1, -1, 0) == 1 &&
         X509_set_issuer_name(cert, X509_get_subject_name(issuer != nullptr ? issuer : cert)) ==
             1 &&
         X509_set_pubkey(cert, key) == 1;
}

// A new key and certificate; extend(cert, issuer_cert) adds extensions, then
// the issuer's key (the new key itself when `issuer` is null) signs it.
template <typename Extend>
Signer MakeSigner(KeyKind kind, const std::string& common_name, long serial, long days,
                  const Signer* issuer, Extend&& extend) {
  Signer signer;
  signer.key = MakeKey(kind);
  signer.cert.reset(X509_new());
  X509* issuer_cert = issuer != nullptr ? issuer->cert.get() : nullptr;
  EVP_PKEY* issuer_key = issuer != nullptr ? issuer->key.get() : signer.key.get();
  if (!signer.key || !signer.cert ||
      !FillCertificate(signer.cert.get(), signer.key.get(), common_name, serial, days,
                       issuer_cert) ||
      !extend(signer.cert.get(), issuer_cert != nullptr ? issuer_cert : signer.cert.get()) ||
      !SignWith(signer.cert.get(), issuer_key)) {
    signer = Signer{};
  }
  ERR_clear_error();
  return signer;
}

}  // namespace

Signer MakeSelfSignedSigner(KeyKind kind, const std::string& common_name, long serial, long days) {
  return MakeSigner(kind, common_name, serial, days, nullptr, [](X509*, X509*) { return true; });
}

Signer MakeCaSigner(KeyKind kind, const std::string& common_name, long serial, long days,
                    const Signer* issuer) {
  return MakeSigner(kind, common_name, serial, days, issuer, [](X509* cert, X509* ca) {
    return AddExtension(cert, ca, NID_basic_constraints, "critical,CA:TRUE") &&
           AddExtension(cert, ca, NID_key_usage, "critical,keyCertSign,cRLSign");
  });
}

Signer MakeIssuedSigner(KeyKind kind, const std::string& common_name, long serial,
                        const Signer& issuer, const std::string& key_usage, long days) {
  return MakeSigner(kind, common_name, serial, days, &issuer, [&](X509* cert, X509* ca) {
    return AddExtension(cert, ca, NID_basic_constraints, "critical,CA:FALSE") &&
           AddExtension(cert, ca, NID_key_usage, key_usage.empty() ? "" : "critical," + key_usage);
  });
}

}  // namespace brevalt::bidx
