#include "app/cert_viewer/cert_details.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <climits>
#include <memory>
#include <optional>

#include "platform/plain_text.h"
#include "platform/base64.h"
#include "platform/release_with.h"
#include "platform/time_convert.h"

namespace brevalt::pkiui {
namespace {

using UniqueX509 = std::unique_ptr<X509, ReleaseWith<X509_free>>;
using UniqueBio = std::unique_ptr<BIO, ReleaseWith<BIO_free>>;
using UniqueBignum = std::unique_ptr<BIGNUM, ReleaseWith<BN_free>>;
struct OpenSslFree {
  void operator()(char* p) const { OPENSSL_free(p); }
};

std::string BioText(BIO* bio) {
  char* data = nullptr;
  long size = BIO_get_mem_data(bio, &data);
  return size > 0 ? std::string(data, static_cast<size_t>(size)) : std::string();
}

// Names printed in UTF-8 (not escaped), most specific part first. The
// printer escapes C0 controls but not C1, line separators or direction
// overrides, which PlainText replaces.
std::string NameText(const X509_NAME* name) {
  UniqueBio bio(BIO_new(BIO_s_mem()));
  if (!bio || X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) < 0)
    return {};
  return PlainTextUtf8(BioText(bio.get()));
}

// A printed extension may span lines; each line is made plain on its own.
std::string PlainLines(const std::string& text) {
  std::string plain;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    plain += PlainTextUtf8(std::string_view(text).substr(start, end - start));
    if (end == std::string::npos)
      return plain;
    plain += '\n';
    start = end + 1;
  }
}

std::string SerialText(const ASN1_INTEGER* serial) {
  UniqueBignum number(ASN1_INTEGER_to_BN(serial, nullptr));
  if (!number)
    return {};
  std::unique_ptr<char, OpenSslFree> hex(BN_bn2hex(number.get()));
  return hex ? std::string(hex.get()) : std::string();
}

std::string TimeText(const ASN1_TIME* time) {
  struct tm fields = {};
  if (ASN1_TIME_to_tm(time, &fields) != 1)
    return {};
  CalendarFields utc{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                     fields.tm_hour,        fields.tm_min,     fields.tm_sec};
  int64_t seconds = 0;
  return UtcFieldsToTime(utc, &seconds) ? FormatLocal(seconds, "%Y-%m-%d %H:%M:%S") : std::string();
}

std::string HexPairs(const unsigned char* bytes, unsigned int length, char separator) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    if (i > 0 && separator != '\0')
      text.push_back(separator);
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return text;
}

void ReadKey(X509* cert, CertDetails* details) {
  EVP_PKEY* key = X509_get0_pubkey(cert);
  if (key == nullptr)
    return;
  const char* type = EVP_PKEY_get0_type_name(key);
  details->key_algorithm = type != nullptr ? type : "?";
  char group[80] = {};
  // An SM2 key is always on the SM2 curve: its name says all.
  if (EVP_PKEY_is_a(key, "SM2") != 1 &&
      EVP_PKEY_get_group_name(key, group, sizeof group, nullptr) == 1)
    details->key_algorithm += std::string(" (") + group + ")";
  details->key_bits = EVP_PKEY_get_bits(key);
}

CertExtension ReadExtension(X509_EXTENSION* extension) {
  CertExtension result;
  const ASN1_OBJECT* object = X509_EXTENSION_get_object(extension);
  char name[128] = {};
  OBJ_obj2txt(name, sizeof name, object, 0);
  result.name = name;
  result.critical = X509_EXTENSION_get_critical(extension) == 1;
  UniqueBio bio(BIO_new(BIO_s_mem()));
  if (bio && X509V3_EXT_print(bio.get(), extension, 0, 0) == 1) {
    result.value = PlainLines(BioText(bio.get()));
  } else {
    const ASN1_OCTET_STRING* data = X509_EXTENSION_get_data(extension);
    result.value = HexPairs(ASN1_STRING_get0_data(data),
                            static_cast<unsigned int>(ASN1_STRING_length(data)), ' ');
  }
  return result;
}

}  // namespace

bool ReadCertDetails(const std::vector<unsigned char>& der, CertDetails* details) {
  if (der.empty() || der.size() > static_cast<size_t>(LONG_MAX))
    return false;
  const unsigned char* cursor = der.data();
  UniqueX509 cert(d2i_X509(nullptr, &cursor, static_cast<long>(der.size())));
  if (!cert || cursor != der.data() + der.size())
    return false;
  CertDetails read;
  read.subject = NameText(X509_get_subject_name(cert.get()));
  read.issuer = NameText(X509_get_issuer_name(cert.get()));
  read.serial = SerialText(X509_get0_serialNumber(cert.get()));
  read.not_before = TimeText(X509_get0_notBefore(cert.get()));
  read.not_after = TimeText(X509_get0_notAfter(cert.get()));
  ReadKey(cert.get(), &read);
  const ASN1_OBJECT* signature = nullptr;
  X509_ALGOR_get0(&signature, nullptr, nullptr, X509_get0_tbs_sigalg(cert.get()));
  char signature_name[128] = {};
  OBJ_obj2txt(signature_name, sizeof signature_name, signature, 0);
  read.signature_algorithm = signature_name;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digest_length = 0;
  if (X509_digest(cert.get(), EVP_sha256(), digest, &digest_length) == 1)
    read.sha256 = HexPairs(digest, digest_length, ':');
  for (int i = 0; i < X509_get_ext_count(cert.get()); ++i)
    read.extensions.push_back(ReadExtension(X509_get_ext(cert.get(), i)));
  *details = std::move(read);
  return true;
}

bool DecodeBase64(const std::string& text, std::vector<unsigned char>* bytes) {
  std::optional<std::vector<unsigned char>> decoded = brevalt::DecodeBase64(text);
  if (!decoded)
    return false;
  *bytes = std::move(*decoded);
  return true;
}

}  // namespace brevalt::pkiui
