#include "tavik/secretfile/file_input.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <limits>

namespace brevalt::container {

UniqueFile OpenRegularFile(const std::string& path, std::uint64_t* size) {
  UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    return nullptr;
  }
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    return nullptr;
  }
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
