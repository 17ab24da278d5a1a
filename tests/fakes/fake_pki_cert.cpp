// The fake PKI library: certificates and the certificate viewer.
#include <openssl/evp.h>

#include <vector>

#include "fakes/fake_state.h"
#include "tavik/tavik_pki_ui.h"

namespace {

using brevalt::fake::CertScript;
using brevalt::fake::detail::Kind;
using brevalt::fake::detail::Lock;
using brevalt::fake::detail::Shared;

std::string Base64(const std::string& bytes) {
  std::vector<unsigned char> text(4 * ((bytes.size() + 2) / 3) + 1);
  const int written =
      EVP_EncodeBlock(text.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                      static_cast<int>(bytes.size()));
  return std::string(reinterpret_cast<const char*>(text.data()), written > 0 ? written : 0);
}

// The script of a certificate, or null when its bytes were never registered.
const CertScript* ScriptOf(const TAVIK_CERT_st& cert) {
  auto it = Shared().certs.find(cert.identity);
  return it == Shared().certs.end() ? nullptr : &it->second;
}

}  // namespace

extern "C" {

TAVIK_CERT_st* TavikPKICertNewCert(const unsigned char* encoded, int length) {
  static constexpr std::string_view kName = "TavikPKICertNewCert";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " len=" + std::to_string(length));
  if (s.ScriptedNull(kName, nth) || encoded == nullptr || length <= 0)
    return nullptr;
  std::string identity(reinterpret_cast<const char*>(encoded), static_cast<size_t>(length));
  if (s.invalid_certs.contains(identity))
    return nullptr;
  auto cert = std::make_shared<TAVIK_CERT_st>();
  cert->identity = std::move(identity);
  return s.HandOut(Kind::kCert, std::move(cert));
}

TAVIK_CERT_st* TavikPKICertDupCert(TAVIK_CERT_st* cert) {
  static constexpr std::string_view kName = "TavikPKICertDupCert";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName));
  if (s.ScriptedNull(kName, nth))
    return nullptr;
  TAVIK_CERT_st* original = s.Live(Kind::kCert, cert, kName);
  if (original == nullptr || s.fail_dup_of.contains(original->identity))
    return nullptr;
  return s.HandOut(Kind::kCert, std::make_shared<TAVIK_CERT_st>(*original));
}

void TavikPKICertFreeCert(TAVIK_CERT_st* cert) {
  auto lock = Lock();
  auto& s = Shared();
  s.Begin("TavikPKICertFreeCert", "TavikPKICertFreeCert");
  s.Release(Kind::kCert, cert, "TavikPKICertFreeCert");
}

int TavikPKICertGetCertStringAttribute(TAVIK_CERT_st* cert, int attribute, char** text) {
  static constexpr std::string_view kName = "TavikPKICertGetCertStringAttribute";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " attribute=" + std::to_string(attribute));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  TAVIK_CERT_st* c = s.Live(Kind::kCert, cert, kName);
  if (c == nullptr || text == nullptr)
    return 0;
  const CertScript* script = ScriptOf(*c);
  if (script == nullptr)
    return 0;
  auto it = script->attributes.find(attribute);
  if (it == script->attributes.end())
    return 0;
  *text = reinterpret_cast<char*>(s.HandOutMemory(it->second));
  return 1;
}

int TavikPKICertGetCertEncode(TAVIK_CERT_st* cert, int form, unsigned char** data, int* length) {
  static constexpr std::string_view kName = "TavikPKICertGetCertEncode";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " form=" + std::to_string(form));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  TAVIK_CERT_st* c = s.Live(Kind::kCert, cert, kName);
  if (c == nullptr || form != TAVIK_CERT_ENCODE_BASE64 || data == nullptr || length == nullptr) {
    return 0;
  }
  const CertScript* script = ScriptOf(*c);
  const std::string bytes =
      script != nullptr && script->encoded ? *script->encoded : Base64(c->identity);
  *data = s.HandOutMemory(bytes);
  *length = static_cast<int>(bytes.size());
  return 1;
}

int TavikPKIUIDisplayCert(void* /*owner_window*/, TAVIK_CERT_st* cert) {
  static constexpr std::string_view kName = "TavikPKIUIDisplayCert";
  auto lock = Lock();
  auto& s = Shared();
  const TAVIK_CERT_st* c = s.Live(Kind::kCert, cert, kName);
  // The entry names the certificate by the bytes it was built from.
  s.Begin(kName, std::string(kName) + " cert=" + (c != nullptr ? c->identity : "null"));
  return 1;
}

}  // extern "C"
