// The fake rules-file library. Its own failures return 1.
#include <algorithm>

#include "fakes/fake_state.h"

namespace {

using brevalt::fake::RulesScript;
using brevalt::fake::detail::Kind;
using brevalt::fake::detail::Lock;
using brevalt::fake::detail::Shared;

using brevalt::fake::detail::kFailure;

std::string Text(const char* text) {
  return text != nullptr ? text : "(null)";
}

// GetOpenOrg and GetOpenTime: scripts, then the two-call protocol.
int TextOf(std::string_view name, CTavikBidRulesFile* handle, char* buffer, int* length,
           std::string RulesScript::*field) {
  auto& s = Shared();
  const int nth = s.Begin(name, brevalt::fake::detail::TwoCallEntry(name, buffer, length));
  if (auto code = s.ScriptedPhase(name, nth, buffer != nullptr))
    return *code;
  if (s.Live(Kind::kRules, handle, name) == nullptr)
    return kFailure;
  return brevalt::fake::detail::TwoCall(s, name, s.rules.*field, buffer, length, kFailure);
}

// The certificate at `index`, or null when the index is out of range.
const std::string* CertAt(int index) {
  const auto& certs = Shared().rules.certs;
  if (index < 0 || index >= static_cast<int>(certs.size()))
    return nullptr;
  return &certs[static_cast<size_t>(index)];
}

}  // namespace

extern "C" {

int TavikBidRulesFileCreateHandle(CTavikBidRulesFile** handle) {
  static constexpr std::string_view kName = "TavikBidRulesFileCreateHandle";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName));
  if (handle == nullptr)
    return kFailure;
  *handle = nullptr;
  if (auto code = s.Scripted(kName, nth))
    return *code;
  if (s.ScriptedNull(kName, nth))
    return 0;
  *handle = s.HandOut(Kind::kRules, std::make_shared<CTavikBidRulesFile>());
  return 0;
}

int TavikBidRulesFileSetTargetUrl(CTavikBidRulesFile* handle, const char* url) {
  static constexpr std::string_view kName = "TavikBidRulesFileSetTargetUrl";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " url=" + Text(url));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  CTavikBidRulesFile* h = s.Live(Kind::kRules, handle, kName);
  if (h == nullptr || url == nullptr)
    return kFailure;
  h->url = url;
  return 0;
}

int TavikBidRulesFileSetTimeout(CTavikBidRulesFile* handle, int milliseconds) {
  static constexpr std::string_view kName = "TavikBidRulesFileSetTimeout";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " ms=" + std::to_string(milliseconds));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  return s.Live(Kind::kRules, handle, kName) != nullptr && milliseconds > 0 ? 0 : kFailure;
}

int TavikBidRulesFileGetRules(CTavikBidRulesFile* handle, const char* query, int length) {
  static constexpr std::string_view kName = "TavikBidRulesFileGetRules";
  auto lock = Lock();
  auto& s = Shared();
  const std::string sent = query != nullptr && length > 0
                               ? std::string(query, static_cast<size_t>(length))
                               : std::string("(none)");
  const int nth = s.Begin(kName, std::string(kName) + " query=" + sent);
  if (auto code = s.Scripted(kName, nth))
    return *code;
  return s.Live(Kind::kRules, handle, kName) != nullptr && query != nullptr && length > 0
             ? 0
             : kFailure;
}

int TavikBidRulesFileCompareFile(CTavikBidRulesFile* handle, const unsigned char* data,
                                 int length) {
  static constexpr std::string_view kName = "TavikBidRulesFileCompareFile";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " len=" + std::to_string(length));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  if (s.Live(Kind::kRules, handle, kName) == nullptr || length < 0)
    return kFailure;
  if (data == nullptr && length > 0)
    return kFailure;
  const std::string given =
      length > 0 ? std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(length))
                 : std::string();
  return given == s.rules.rules_file ? 0 : kFailure;
}

int TavikBidRulesFileGetOpenOrg(CTavikBidRulesFile* handle, char* buffer, int* length) {
  auto lock = Lock();
  return TextOf("TavikBidRulesFileGetOpenOrg", handle, buffer, length, &RulesScript::open_org);
}

int TavikBidRulesFileGetOpenTime(CTavikBidRulesFile* handle, char* buffer, int* length) {
  auto lock = Lock();
  return TextOf("TavikBidRulesFileGetOpenTime", handle, buffer, length, &RulesScript::open_time);
}

int TavikBidRulesFileGetCertCount(CTavikBidRulesFile* handle, int* count) {
  static constexpr std::string_view kName = "TavikBidRulesFileGetCertCount";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  if (s.Live(Kind::kRules, handle, kName) == nullptr || count == nullptr)
    return kFailure;
  *count = s.rules.cert_count.value_or(static_cast<int>(s.rules.certs.size()));
  return 0;
}

int TavikBidRulesFileGetCertLen(CTavikBidRulesFile* handle, int index, int* length) {
  static constexpr std::string_view kName = "TavikBidRulesFileGetCertLen";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " index=" + std::to_string(index));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  const std::string* cert = CertAt(index);
  if (s.Live(Kind::kRules, handle, kName) == nullptr || length == nullptr || cert == nullptr) {
    return kFailure;
  }
  *length = static_cast<int>(cert->size());
  return 0;
}

// Writes the certificate's bytes; *length is output only, as in the library.
int TavikBidRulesFileGetCert(CTavikBidRulesFile* handle, int index, unsigned char* buffer,
                             int* length) {
  static constexpr std::string_view kName = "TavikBidRulesFileGetCert";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName) + " index=" + std::to_string(index));
  if (auto code = s.ScriptedPhase(kName, nth, true))
    return *code;
  const std::string* cert = CertAt(index);
  if (s.Live(Kind::kRules, handle, kName) == nullptr || buffer == nullptr || length == nullptr ||
      cert == nullptr) {
    return kFailure;
  }
  std::copy(cert->begin(), cert->end(), buffer);
  *length = static_cast<int>(cert->size());
  return 0;
}

int TavikBidRulesFileReleaseHandle(CTavikBidRulesFile* handle) {
  auto lock = Lock();
  return brevalt::fake::detail::ReleaseLibraryHandle(Shared(), "TavikBidRulesFileReleaseHandle",
                                                     Kind::kRules, handle, kFailure);
}

const char* TavikBidRulesFileErrorText(int) {
  return "fake rules-file error";
}

}  // extern "C"
