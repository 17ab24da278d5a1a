// Certificate handles: creation, copies, release and the encoded form.
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <climits>
#include <memory>
#include <new>

#include "tavik/pki/cert_decode.h"
#include "tavik/pki/cert_handle.h"
#include "tavik/pki/pki_memory.h"
#include "tavik/tavik_pki.h"

namespace {

TAVIK_CERT_st* WrapCertificate(X509* x509) {
  if (x509 == nullptr) {
    return nullptr;
  }
  auto* cert = new (std::nothrow) TAVIK_CERT_st();
  if (cert == nullptr) {
    X509_free(x509);
    return nullptr;
  }
  cert->x509.reset(x509);
  return cert;
}

// Form 2: base64 of the DER on one line, no terminator counted in *length.
int EncodeBase64(X509* x509, unsigned char** data, int* length) {
  unsigned char* der = nullptr;
  int der_length = i2d_X509(x509, &der);
  if (der_length <= 0) {
    return 0;
  }
  std::unique_ptr<unsigned char, void (*)(unsigned char*)> der_owner(
      der, [](unsigned char* p) { OPENSSL_free(p); });
  if (der_length > (INT_MAX / 4) * 3 - 3) {
    return 0;
  }
  const size_t text_size = 4 * ((static_cast<size_t>(der_length) + 2) / 3);
  auto* text = static_cast<unsigned char*>(OPENSSL_malloc(text_size + 1));
  if (text == nullptr) {
    return 0;
  }
  const int written = EVP_EncodeBlock(text, der, der_length);  // writes the NUL too
  *data = text;
  *length = written;
  return 1;
}

}  // namespace

extern "C" {

TAVIK_CERT_st* TavikPKICertNewCert(const unsigned char* encoded, int length) {
  if (encoded == nullptr || length <= 0) {
    return nullptr;
  }
  return WrapCertificate(brevalt::pki::DecodeCertificate(encoded, static_cast<size_t>(length)));
}

TAVIK_CERT_st* TavikPKICertDupCert(TAVIK_CERT_st* cert) {
  if (cert == nullptr) {
    return nullptr;
  }
  // A decoded certificate is never changed, so a copy shares it: a deep copy
  // would encode and decode it again, public key included.
  X509* shared = cert->x509.get();
  if (X509_up_ref(shared) != 1) {
    return nullptr;
  }
  return WrapCertificate(shared);
}

void TavikPKICertFreeCert(TAVIK_CERT_st* cert) {
  delete cert;
}

int TavikPKICertGetCertEncode(TAVIK_CERT_st* cert, int form, unsigned char** data, int* length) {
  if (cert == nullptr || data == nullptr || length == nullptr || form != TAVIK_CERT_ENCODE_BASE64) {
    return 0;
  }
  return EncodeBase64(cert->x509.get(), data, length);
}

}  // extern "C"
