// The fake container library. Its own failures return 1.
#include <openssl/evp.h>

#include <fstream>
#include <iterator>

#include "fakes/fake_state.h"

namespace {

using brevalt::fake::ContainerScript;
using brevalt::fake::detail::Kind;
using brevalt::fake::detail::Lock;
using brevalt::fake::detail::Shared;

using brevalt::fake::detail::kFailure;

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

// What GetFileDigest gives for h: the script's bytes, else the digest the fake
// hash would give for the file's bytes now.
std::string FileDigestOf(const CTavikFileDecryptor& h) {
  const ContainerScript& script = ScriptFor(h);
  if (script.file_digest)
    return *script.file_digest;
  if (Shared().hash_digest)
    return *Shared().hash_digest;
  std::ifstream in(h.path, std::ios::binary);
  if (!in)
    return {};
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr) != 1)
    return {};
  return std::string(reinterpret_cast<const char*>(digest), size);
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

int TavikSecretFileDecryptorGetFileDigest(CTavikFileDecryptor* handle, unsigned char* buffer,
                                          int* length) {
  static constexpr std::string_view kName = "TavikSecretFileDecryptorGetFileDigest";
  auto lock = Lock();
  auto& s = Shared();
  const int nth = s.Begin(kName, brevalt::fake::detail::TwoCallEntry(kName, buffer, length));
  if (auto code = s.ScriptedPhase(kName, nth, buffer != nullptr))
    return *code;
  CTavikFileDecryptor* h = s.Live(Kind::kContainer, handle, kName);
  if (h == nullptr)
    return kFailure;
  const std::string digest = FileDigestOf(*h);
  if (digest.empty())
    return kFailure;
  return brevalt::fake::detail::TwoCall(s, kName, digest, buffer, length, kFailure);
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

// The library's texts and its bidder-chain check: fixed answers, so that code
// that reports them links and runs against the fake.
const char* TavikSecretFileErrorText(int) {
  return "fake container error";
}

int TavikSecretFileCheckBidderChain(const unsigned char* der, int length, int* status) {
  if (der == nullptr || length < 0 || status == nullptr)
    return kFailure;
  *status = TAVIK_CHAIN_UNCHECKED;
  return 0;
}

const char* TavikSecretFileChainStatusName(int status) {
  return status == TAVIK_CHAIN_VERIFIED    ? "verified"
         : status == TAVIK_CHAIN_UNCHECKED ? "unchecked"
         : status == TAVIK_CHAIN_REFUSED   ? "refused"
                                           : "unknown";
}

int TavikSecretFileDescribeAnchorFolder(const char* folder, char* buffer, int* length) {
  auto lock = Lock();
  if (folder == nullptr)
    return kFailure;
  return brevalt::fake::detail::TwoCall(Shared(), "TavikSecretFileDescribeAnchorFolder", "none",
                                        buffer, length, kFailure);
}

}  // extern "C"
