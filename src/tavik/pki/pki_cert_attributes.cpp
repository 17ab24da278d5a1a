// String attributes of a certificate, handed out as NUL-terminated UTF-8.
#include <openssl/asn1.h>
#include <openssl/crypto.h>
#include <openssl/x509.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "tavik/pki/cert_handle.h"
#include "tavik/pki/pki_memory.h"
#include "tavik/tavik_pki.h"

namespace {

// The first entry of nid in the subject as a library text; null when absent,
// not convertible, or holding a NUL character (which would cut the name short).
char* SubjectEntryUtf8(X509* x509, int nid) {
  X509_NAME* subject = X509_get_subject_name(x509);
  const int index = X509_NAME_get_index_by_NID(subject, nid, -1);
  if (index < 0) {
    return nullptr;
  }
  ASN1_STRING* value = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(subject, index));
  unsigned char* utf8 = nullptr;
  const int size = ASN1_STRING_to_UTF8(&utf8, value);
  if (size < 0) {
    return nullptr;
  }
  // ASN1_STRING_to_UTF8 allocates with OPENSSL_malloc and NUL-terminates.
  if (std::strlen(reinterpret_cast<char*>(utf8)) != static_cast<size_t>(size)) {
    OPENSSL_free(utf8);
    return nullptr;
  }
  return reinterpret_cast<char*>(utf8);
}

// notAfter as "YYYYMMDDHHMMSS" of this machine's local time.
char* NotAfterLocal(X509* x509) {
  struct tm utc = {};
  if (ASN1_TIME_to_tm(X509_get0_notAfter(x509), &utc) != 1) {
    return nullptr;
  }
  const time_t instant = timegm(&utc);
  struct tm local = {};
  if (instant == static_cast<time_t>(-1) || localtime_r(&instant, &local) == nullptr) {
    return nullptr;
  }
  char digits[32];
  const int n =
      std::snprintf(digits, sizeof digits, "%04d%02d%02d%02d%02d%02d", local.tm_year + 1900,
                    local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  if (n != 14) {
    return nullptr;
  }
  return brevalt::pki::CopyToLibText(digits);
}

}  // namespace

extern "C" int TavikPKICertGetCertStringAttribute(TAVIK_CERT_st* cert, int attribute, char** text) {
  if (cert == nullptr || text == nullptr) {
    return 0;
  }
  char* value = nullptr;
  switch (attribute) {
    case TAVIK_CERT_ATTR_SUBJECT_NAME:
    case TAVIK_CERT_ATTR_SUBJECT_CN:
      value = SubjectEntryUtf8(cert->x509.get(), NID_commonName);
      break;
    case TAVIK_CERT_ATTR_SUBJECT_ORG:
      value = SubjectEntryUtf8(cert->x509.get(), NID_organizationName);
      break;
    case TAVIK_CERT_ATTR_NOT_AFTER_LOCAL:
      value = NotAfterLocal(cert->x509.get());
      break;
    default:
      break;
  }
  if (value == nullptr) {
    return 0;
  }
  *text = value;
  return 1;
}
