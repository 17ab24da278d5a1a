// The key and certificate the local time-stamp authority signs with.
#ifndef BREVALT_TOOLS_DEVSERVER_TSA_IDENTITY_H
#define BREVALT_TOOLS_DEVSERVER_TSA_IDENTITY_H

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>

namespace brevalt::devserver {

struct TsaIdentity {
  std::unique_ptr<X509, decltype(&X509_free)> cert{nullptr, &X509_free};
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{nullptr, &EVP_PKEY_free};
};

// A fresh EC P-256 key and a self-signed certificate fit for time stamping
// (critical extendedKeyUsage timeStamping, keyUsage digitalSignature), valid
// from one hour ago for one year. False on failure.
bool GenerateTsaIdentity(TsaIdentity* out);

// The PEM certificate and PEM private key from two files; false with *error
// set when either cannot be read or the key does not match the certificate.
bool LoadTsaIdentity(const std::string& cert_path, const std::string& key_path, TsaIdentity* out,
                     std::string* error);

}  // namespace brevalt::devserver

#endif  // BREVALT_TOOLS_DEVSERVER_TSA_IDENTITY_H
