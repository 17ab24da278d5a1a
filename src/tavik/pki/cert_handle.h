// The certificate handle behind TAVIK_CERT_st: one owned OpenSSL X509.
#ifndef BREVALT_PLATFORM_PKI_CERT_HANDLE_H
#define BREVALT_PLATFORM_PKI_CERT_HANDLE_H

#include <openssl/x509.h>

#include <memory>

struct TAVIK_CERT_st {
  std::unique_ptr<X509, decltype(&X509_free)> x509{nullptr, &X509_free};  // never null
};

#endif  // BREVALT_PLATFORM_PKI_CERT_HANDLE_H
