#include "tavik/pki/test_certs.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <memory>

namespace brevalt::testing {
namespace {

bool AddEntry(X509_NAME* name, int nid, const std::string& value) {
  return value.empty() ||
         X509_NAME_add_entry_by_NID(name, nid, MBSTRING_UTF8,
                                    reinterpret_cast<const unsigned char*>(value.data()),
                                    static_cast<int>(value.size()), -1, 0) == 1;
}

}  // namespace

std::vector<unsigned char> MakeTestCertDer(const TestCertSpec& spec) {
  return MakeTestSigner(spec).cert_der;
}

TestSigner MakeTestSigner(const TestCertSpec& spec) {
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
  std::unique_ptr<X509, decltype(&X509_free)> cert(X509_new(), &X509_free);
  if (!key || !cert) {
    return {};
  }
  X509* x = cert.get();
  X509_NAME* name = X509_get_subject_name(x);
  const time_t not_after = spec.not_after != 0 ? spec.not_after : time(nullptr) + 365 * 86400;
  if (X509_set_version(x, X509_VERSION_3) != 1 ||
      ASN1_INTEGER_set(X509_get_serialNumber(x), 7) != 1 ||
      X509_gmtime_adj(X509_getm_notBefore(x), -3600) == nullptr ||
      ASN1_TIME_set(X509_getm_notAfter(x), not_after) == nullptr ||
      X509_set_pubkey(x, key.get()) != 1 || !AddEntry(name, NID_commonName, spec.common_name) ||
      !AddEntry(name, NID_organizationName, spec.organisation) ||
      !AddEntry(name, NID_countryName, "CN") || X509_set_issuer_name(x, name) != 1 ||
      X509_sign(x, key.get(), EVP_sha256()) <= 0) {
    return {};
  }
  unsigned char* der = nullptr;
  const int size = i2d_X509(x, &der);
  if (size <= 0) {
    return {};
  }
  TestSigner signer;
  signer.cert_der.assign(der, der + size);
  OPENSSL_free(der);
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
  char* pem = nullptr;
  if (!bio ||
      PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1) {
    return {};
  }
  const long pem_size = BIO_get_mem_data(bio.get(), &pem);
  signer.key_pem.assign(pem, static_cast<size_t>(pem_size));
  return signer;
}

std::string ToBase64(const std::vector<unsigned char>& bytes, size_t line_length,
                     const std::string& separator) {
  std::string flat(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(flat.data()), bytes.data(),
                                static_cast<int>(bytes.size()));
  flat.resize(static_cast<size_t>(n));
  std::string text;
  for (size_t i = 0; i < flat.size(); i += line_length) {
    text += flat.substr(i, line_length) + separator;
  }
  return text;
}

std::string DerToPem(const std::vector<unsigned char>& der) {
  return "-----BEGIN CERTIFICATE-----\n" + ToBase64(der, 64, "\n") + "-----END CERTIFICATE-----\n";
}

}  // namespace brevalt::testing
