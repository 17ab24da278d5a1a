#include "tavik/secretfile/file_digests.h"

#include <openssl/evp.h>

#include "tavik/secretfile/file_input.h"

namespace brevalt::container {

bool DigestFile(const std::string& path, FileDigests* out) {
  std::uint64_t size = 0;
  UniqueFile file = OpenRegularFile(path, &size);
  UniqueMdCtx sha256(EVP_MD_CTX_new());
  UniqueMdCtx sm3(EVP_MD_CTX_new());
  std::vector<unsigned char> buffer(kIoBufferSize);
  unsigned int length = 0;
  return file && sha256 && sm3 && EVP_DigestInit_ex(sha256.get(), EVP_sha256(), nullptr) == 1 &&
         EVP_DigestInit_ex(sm3.get(), EVP_sm3(), nullptr) == 1 &&
         StreamBytes(file.get(), size, buffer,
                     [&](const unsigned char* data, std::size_t n) {
                       return EVP_DigestUpdate(sha256.get(), data, n) == 1 &&
                              EVP_DigestUpdate(sm3.get(), data, n) == 1;
                     }) &&
         EVP_DigestFinal_ex(sha256.get(), out->sha256.data(), &length) == 1 &&
         EVP_DigestFinal_ex(sm3.get(), out->sm3.data(), &length) == 1;
}

std::string UpperHex(std::span<const unsigned char> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

}  // namespace brevalt::container
