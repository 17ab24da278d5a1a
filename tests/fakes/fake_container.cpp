// The fake container library. Its own failures return 1.
#include "fakes/fake_state.h"

namespace {

using brevalt::fake::ContainerScript;
using brevalt::fake::detail::Kind;
using brevalt::fake::detail::Lock;
using brevalt::fake::detail::Shared;

constexpr int kFailure = 1;

const ContainerScript& ScriptFor(const CTavikFileDecryptor& handle) {
  auto it = Shared().container_for.find(handle.path);
  return it == Shared().container_for.end() ? Shared().container : it->second;
}

// GetSignCert and GetCustomData: scripts, then the two-call protocol.
int TwoCallOf(std::string_view name, CTavikFileDecryptor* handle, unsigned char* buffer,
              int* length, std::string ContainerScript::*field) {
  auto& s = Shared();
  const int nth = s.Begin(name, brevalt::fake::detail::TwoCallEntry(name, buffer, length));
  if (auto code = s.ScriptedPhase(name, nth, buffer != nullptr))
    return *code;
  CTavikFileDecryptor* h = s.Live(Kind::kContainer, handle, name);
  if (h == nullptr)
    return kFailure;
  return brevalt::fake::detail::TwoCall(s, name, ScriptFor(*h).*field, buffer, length, kFailure);
}

// GetTotalNum and GetMinNum.
int CountOf(std::string_view name, CTavikFileDecryptor* handle, int* count,
            int ContainerScript::*field) {
  auto& s = Shared();
  const int nth = s.Begin(name, std::string(name));
  if (auto code = s.Scripted(name, nth))
    return *code;
  CTavikFileDecryptor* h = s.Live(Kind::kContainer, handle, name);
  if (h == nullptr || count == nullptr)
    return kFailure;
  *count = ScriptFor(*h).*field;
  return 0;
}

}  // namespace

extern "C" {

int TavikSecretFileDecryptorCreateHandle(CTavikFileDecryptor** handle, const char* path) {
  static constexpr std::string_view kName = "TavikSecretFileDecryptorCreateHandle";
  auto lock = Lock();
  auto& s = Shared();
  const int nth =
      s.Begin(kName, std::string(kName) + " path=" + (path != nullptr ? path : "(null)"));
  if (handle == nullptr)
    return kFailure;
  *handle = nullptr;
  if (auto code = s.Scripted(kName, nth))
    return *code;
  if (s.ScriptedNull(kName, nth))
    return 0;
  if (path == nullptr)
    return kFailure;
  auto created = std::make_shared<CTavikFileDecryptor>();
  created->path = path;
  *handle = s.HandOut(Kind::kContainer, std::move(created));
  return 0;
}

int TavikSecretFileDecryptorSetFolder(CTavikFileDecryptor* handle, const char* folder) {
  static constexpr std::string_view kName = "TavikSecretFileDecryptorSetFolder";
  auto lock = Lock();
  auto& s = Shared();
  const int nth =
      s.Begin(kName, std::string(kName) + " folder=" + (folder != nullptr ? folder : "(null)"));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  return s.Live(Kind::kContainer, handle, kName) != nullptr && folder != nullptr ? 0 : kFailure;
}

int TavikSecretFileDecryptorVerify(CTavikFileDecryptor* handle) {
  static constexpr std::string_view kName = "TavikSecretFileDecryptorVerify";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, std::string(kName));
  if (auto code = s.Scripted(kName, nth))
    return *code;
  return s.Live(Kind::kContainer, handle, kName) != nullptr ? 0 : kFailure;
}

int TavikSecretFileDecryptorGetSignCert(CTavikFileDecryptor* handle, unsigned char* buffer,
                                        int* length) {
  auto lock = Lock();
  return TwoCallOf("TavikSecretFileDecryptorGetSignCert", handle, buffer, length,
                   &ContainerScript::sign_cert);
}

int TavikSecretFileDecryptorGetCustomData(CTavikFileDecryptor* handle, unsigned char* buffer,
                                          int* length) {
  auto lock = Lock();
  return TwoCallOf("TavikSecretFileDecryptorGetCustomData", handle, buffer, length,
                   &ContainerScript::custom_data);
}

int TavikSecretFileDecryptorGetTotalNum(CTavikFileDecryptor* handle, int* count) {
  auto lock = Lock();
  return CountOf("TavikSecretFileDecryptorGetTotalNum", handle, count, &ContainerScript::total);
}

int TavikSecretFileDecryptorGetMinNum(CTavikFileDecryptor* handle, int* count) {
  auto lock = Lock();
  return CountOf("TavikSecretFileDecryptorGetMinNum", handle, count, &ContainerScript::min);
}

// The handle is freed whatever the scripted result.
int TavikSecretFileDecryptorReleaseHandle(CTavikFileDecryptor* handle) {
  auto lock = Lock();
  return brevalt::fake::detail::ReleaseLibraryHandle(
      Shared(), "TavikSecretFileDecryptorReleaseHandle", Kind::kContainer, handle, kFailure);
}

}  // extern "C"
