#include "tavik/pki/cert_decode.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base64.h"
#include "tavik/x509/decoded_certs.h"

namespace brevalt::pki {
namespace {

constexpr std::string_view kPemBegin = "-----BEGIN CERTIFICATE-----";
constexpr std::string_view kPemEnd = "-----END CERTIFICATE-----";

// Blanks and line breaks of any kind: an XML parser may have turned the line
// breaks of a PEM body into spaces.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// text without its blanks and line breaks.
std::string WithoutBlanks(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  for (char c : text) {
    if (!IsBlank(c))
      compact.push_back(c);
  }
  return compact;
}

X509* DecodeBase64Text(std::string_view text) {
  const std::optional<std::vector<unsigned char>> der = DecodeBase64(WithoutBlanks(text));
  return der ? x509::DecodeDerShared(der->data(), der->size()) : nullptr;
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
  return DecodeBase64Text(text.substr(body, end - body));
}

}  // namespace

X509* DecodeCertificate(const unsigned char* bytes, size_t size) {
  if (bytes == nullptr || size == 0) {
    return nullptr;
  }
  if (X509* cert = x509::DecodeDerShared(bytes, size)) {
    return cert;
  }
  std::string_view text(reinterpret_cast<const char*>(bytes), size);
  if (X509* cert = DecodePem(text)) {
    return cert;
  }
  return DecodeBase64Text(text);
}

}  // namespace brevalt::pki
