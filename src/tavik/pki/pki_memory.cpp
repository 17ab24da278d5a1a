#include "tavik/pki/pki_memory.h"

#include <openssl/crypto.h>

#include <climits>
#include <cstring>

#include "tavik/tavik_pki.h"

namespace brevalt::pki {

unsigned char* CopyToLibBuffer(const unsigned char* data, size_t size) {
  if (size >= static_cast<size_t>(INT_MAX)) {
    return nullptr;
  }
  auto* buffer = static_cast<unsigned char*>(OPENSSL_malloc(size + 1));
  if (buffer == nullptr) {
    return nullptr;
  }
  if (size > 0) {
    std::memcpy(buffer, data, size);
  }
  buffer[size] = 0;
  return buffer;
}

char* CopyToLibText(std::string_view text) {
  return reinterpret_cast<char*>(
      CopyToLibBuffer(reinterpret_cast<const unsigned char*>(text.data()), text.size()));
}

}  // namespace brevalt::pki

extern "C" void TavikPKICryptoFreeMemory(void* memory) {
  OPENSSL_free(memory);
}
