// Buffers handed out by the PKI library. All of them come from OPENSSL_malloc,
// so TavikPKICryptoFreeMemory (OPENSSL_free) returns every one of them.
#ifndef BREVALT_PLATFORM_PKI_PKI_MEMORY_H
#define BREVALT_PLATFORM_PKI_PKI_MEMORY_H

#include <cstddef>
#include <string_view>

namespace brevalt::pki {

// A library buffer holding a copy of size bytes followed by one NUL byte
// (not counted). Null when size is too large or memory runs out.
unsigned char* CopyToLibBuffer(const unsigned char* data, size_t size);

// A NUL-terminated library text holding text; null when memory runs out.
char* CopyToLibText(std::string_view text);

}  // namespace brevalt::pki

#endif  // BREVALT_PLATFORM_PKI_PKI_MEMORY_H
