// The sealed container, as a bid file from outside reaches it: through the
// container library's C interface, on a file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/scratch_file.h"
#include "tavik/tavik_handles.h"

namespace {

// Both calls of the two-call protocol, as the bid reader makes them.
void FetchTwice(int (*get)(CTavikFileDecryptor*, unsigned char*, int*),
                CTavikFileDecryptor* handle) {
  int length = 0;
  if (get(handle, nullptr, &length) != 0 || length <= 0)
    return;
  std::vector<unsigned char> buffer(static_cast<size_t>(length) + 1, 0);
  get(handle, buffer.data(), &length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static brevalt::fuzz::ScratchFile file(".bidx");
  if (!file.Write(data, size))
    return 0;
  CTavikFileDecryptor* raw = nullptr;
  if (TavikSecretFileDecryptorCreateHandle(&raw, file.path().c_str()) != 0)
    return 0;
  const brevalt::UniqueDecryptor handle(raw);
  TavikSecretFileDecryptorSetFolder(handle.get(), "/nonexistent/brevalt-fuzz");
  TavikSecretFileDecryptorVerify(handle.get());
  // Asked whether or not the verification passed: the answers must stay safe.
  FetchTwice(TavikSecretFileDecryptorGetSignCert, handle.get());
  FetchTwice(TavikSecretFileDecryptorGetCustomData, handle.get());
  int count = 0;
  TavikSecretFileDecryptorGetTotalNum(handle.get(), &count);
  TavikSecretFileDecryptorGetMinNum(handle.get(), &count);
  return 0;
}
