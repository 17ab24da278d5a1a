#include "tavik/pki/cert_decode.h"

#include <openssl/evp.h>

#include <climits>
#include <string>
#include <string_view>
#include <vector>

namespace brevalt::pki {
namespace {

constexpr std::string_view kPemBegin = "-----BEGIN CERTIFICATE-----";
constexpr std::string_view kPemEnd = "-----END CERTIFICATE-----";

// DER that holds one certificate and nothing after it.
X509* DecodeDer(const unsigned char* bytes, size_t size) {
  if (size == 0 || size > static_cast<size_t>(LONG_MAX)) {
    return nullptr;
  }
  const unsigned char* cursor = bytes;
  X509* cert = d2i_X509(nullptr, &cursor, static_cast<long>(size));
  if (cert != nullptr && cursor != bytes + size) {
    X509_free(cert);
    return nullptr;
  }
  return cert;
}

// Blanks and line breaks of any kind: an XML parser may have turned the line
// breaks of a PEM body into spaces.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsBase64Char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '/';
}

// The base64 characters of text with blanks and line breaks removed; empty
// when any other character occurs or the padding is malformed.
std::string CompactBase64(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  size_t padding = 0;
  for (char c : text) {
    if (IsBlank(c)) {
      continue;
    }
    if (c == '=') {
      ++padding;
    } else if (!IsBase64Char(c) || padding > 0) {
      return {};
    }
    compact.push_back(c);
  }
  if (padding > 2 || compact.size() % 4 != 0) {
    return {};
  }
  return compact;
}

X509* DecodeBase64(std::string_view text) {
  std::string compact = CompactBase64(text);
  if (compact.empty() || compact.size() > INT_MAX) {
    return nullptr;
  }
  std::vector<unsigned char> der(compact.size() / 4 * 3);
  int decoded = EVP_DecodeBlock(der.data(), reinterpret_cast<const unsigned char*>(compact.data()),
                                static_cast<int>(compact.size()));
  if (decoded < 0) {
    return nullptr;
  }
  // EVP_DecodeBlock counts the padding as zero bytes; drop them.
  size_t padding = compact.size() - compact.find_last_not_of('=') - 1;
  return DecodeDer(der.data(), static_cast<size_t>(decoded) - padding);
}

// The first "-----BEGIN CERTIFICATE-----" block. Its body is read like the
// plain base64 text, so line breaks that became blanks (or vanished) do not
// matter; text before and after the block is ignored.
X509* DecodePem(std::string_view text) {
  const size_t begin = text.find(kPemBegin);
  if (begin == std::string_view::npos) {
    return nullptr;
  }
  const size_t body = begin + kPemBegin.size();
  const size_t end = text.find(kPemEnd, body);
  if (end == std::string_view::npos) {
    return nullptr;
  }
  return DecodeBase64(text.substr(body, end - body));
}

}  // namespace

X509* DecodeCertificate(const unsigned char* bytes, size_t size) {
  if (bytes == nullptr || size == 0) {
    return nullptr;
  }
  if (X509* cert = DecodeDer(bytes, size)) {
    return cert;
  }
  std::string_view text(reinterpret_cast<const char*>(bytes), size);
  if (X509* cert = DecodePem(text)) {
    return cert;
  }
  return DecodeBase64(text);
}

}  // namespace brevalt::pki
