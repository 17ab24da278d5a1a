// Read-only file access with 64-bit offsets, shared by the reader and writer.
#ifndef BREVALT_PLATFORM_CONTAINER_FILE_INPUT_H
#define BREVALT_PLATFORM_CONTAINER_FILE_INPUT_H

#include <cstdint>
#include <string>
#include <vector>

#include "tavik/secretfile/openssl_owners.h"

namespace brevalt::container {

inline constexpr std::size_t kIoBufferSize = 64 * 1024;

// Opens a regular file read-only, never blocking (see platform/regular_file.h).
// Returns null when it cannot be opened or is not a regular file (a folder, a
// FIFO, a device); otherwise sets *size to its size.
UniqueFile OpenRegularFile(const std::string& path, std::uint64_t* size);

// Moves to an absolute offset; false on failure.
bool SeekTo(std::FILE* file, std::uint64_t offset);

// Reads exactly `count` bytes; false on a short read or an error.
bool ReadExactly(std::FILE* file, unsigned char* data, std::size_t count);

// Reads `count` bytes in chunks through `buffer`, calling sink(data, n) on
// each chunk; false on a short read, an error or when the sink returns false.
template <typename Sink>
bool StreamBytes(std::FILE* file, std::uint64_t count, std::vector<unsigned char>& buffer,
                 Sink&& sink) {
  while (count > 0) {
    const std::size_t chunk =
        count < buffer.size() ? static_cast<std::size_t>(count) : buffer.size();
    if (!ReadExactly(file, buffer.data(), chunk) || !sink(buffer.data(), chunk)) {
      return false;
    }
    count -= chunk;
  }
  return true;
}

}  // namespace brevalt::container

#endif  // BREVALT_PLATFORM_CONTAINER_FILE_INPUT_H
