#include "tavik/secretfile/file_input.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <limits>

#include "platform/regular_file.h"

namespace brevalt::container {

UniqueFile OpenRegularFile(const std::string& path, std::uint64_t* size) {
  // Opened without blocking and checked before any read: a FIFO or a device
  // named as a bid, payload or key must fail at once, not wait for a writer.
  UniqueFd fd = OpenRegularFileNative(path);
  struct stat info {};
  if (!fd.valid() || fstat(fd.get(), &info) != 0 || info.st_size < 0) {
    return nullptr;
  }
  UniqueFile file(fdopen(fd.get(), "rb"));
  if (!file) {
    return nullptr;
  }
  fd.release();  // now owned by the stream
  *size = static_cast<std::uint64_t>(info.st_size);
  return file;
}

bool SeekTo(std::FILE* file, std::uint64_t offset) {
  if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
    return false;
  }
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool ReadExactly(std::FILE* file, unsigned char* data, std::size_t count) {
  return count == 0 || std::fread(data, 1, count, file) == count;
}

}  // namespace brevalt::container
