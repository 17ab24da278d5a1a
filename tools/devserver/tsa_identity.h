// The key and certificate the local time-stamp authority signs with, and the
// devserver's own CA that issues that certificate.
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
  // The issuer of cert when the identity was generated; null when it was
  // loaded from files (its issuer is then whoever made those files).
  std::unique_ptr<X509, decltype(&X509_free)> ca{nullptr, &X509_free};
};

// A fresh CA (EC P-256, self-signed, "Brevalt development CA", critical
// basicConstraints CA:TRUE pathlen 0, keyUsage keyCertSign and cRLSign) and a
// fresh EC P-256 authority certificate issued by it (critical
// extendedKeyUsage timeStamping as its only purpose, critical keyUsage
// digitalSignature, CA:FALSE). Both valid from one hour ago for one year.
// The CA's key is dropped once the certificate is signed. False on failure.
// With `sm2`, both keys are SM2 keys and both certificates are signed
// SM2-with-SM3 under the standard identifier ("Brevalt development SM2 CA",
// "Brevalt development SM2 TSA").
bool GenerateTsaIdentity(TsaIdentity* out, bool sm2 = false);

// The PEM certificate and PEM private key from two files; false with *error
// naming the file and the cause when either cannot be read, the key does not
// match the certificate, or the certificate is not fit for time stamping.
bool LoadTsaIdentity(const std::string& cert_path, const std::string& key_path, TsaIdentity* out,
                     std::string* error);

// Empty when cert carries the extended key usage timeStamping, marked
// critical, as its only purpose (what RFC 3161 asks of an authority's
// certificate); otherwise why not.
std::string TimeStampingUsageProblem(X509* cert);

// The certificate in PEM; empty for null.
std::string CertificatePem(X509* cert);

}  // namespace brevalt::devserver

#endif  // BREVALT_TOOLS_DEVSERVER_TSA_IDENTITY_H
