// What the certificate viewer shows, read from a certificate's DER with
// OpenSSL. Toolkit-free, so it can be tested without a window.
#ifndef BREVALT_APP_CERT_VIEWER_CERT_DETAILS_H
#define BREVALT_APP_CERT_VIEWER_CERT_DETAILS_H

#include <string>
#include <vector>

namespace brevalt::pkiui {

struct CertExtension {
  std::string name;  // OpenSSL's long name, or the dotted OID when unknown
  bool critical = false;
  std::string value;  // OpenSSL's printed form; a hex dump when it has none
};

// Every text is UTF-8 and holds no control character (PlainText) but the
// line breaks of a printed extension.
struct CertDetails {
  std::string subject;  // RFC 2253 order: most specific first
  std::string issuer;
  std::string serial;      // upper-case hex
  std::string not_before;  // local "YYYY-MM-DD HH:MM:SS"
  std::string not_after;
  std::string key_algorithm;  // "RSA", "EC (prime256v1)", "SM2", ...
  int key_bits = 0;
  // The issuer's signature: "SM2-with-SM3", "ecdsa-with-SHA256", ... (OpenSSL's
  // long name, or the dotted OID when unknown)
  std::string signature_algorithm;
  std::string sha256;  // upper-case hex pairs joined by ":"
  std::vector<CertExtension> extensions;
};

// Reads the DER of exactly one certificate. False (details untouched) when
// the bytes hold anything else.
bool ReadCertDetails(const std::vector<unsigned char>& der, CertDetails* details);

// Decodes standard base64 without line breaks (the PKI library's encode
// form 2). False on any other character or a malformed length.
bool DecodeBase64(const std::string& text, std::vector<unsigned char>* bytes);

}  // namespace brevalt::pkiui

#endif  // BREVALT_APP_CERT_VIEWER_CERT_DETAILS_H
