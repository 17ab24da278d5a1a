// One temporary file per fuzzing process, rewritten for every input, for the
// parsers that read from a path.
#ifndef BREVALT_FUZZ_SCRATCH_FILE_H
#define BREVALT_FUZZ_SCRATCH_FILE_H

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace brevalt::fuzz {

class ScratchFile {
 public:
  // suffix names the kind of file, for a reader who finds one left behind.
  explicit ScratchFile(const std::string& suffix) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("brevalt-fuzz-XXXXXX" + suffix)).string();
    fd_ = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd_ >= 0)
      path_ = pattern;
  }
  ~ScratchFile() {
    if (fd_ >= 0) {
      close(fd_);
      unlink(path_.c_str());
    }
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Replaces the file's content; false when it cannot be written.
  bool Write(const uint8_t* data, size_t size) {
    if (fd_ < 0 || ftruncate(fd_, 0) != 0)
      return false;
    size_t done = 0;
    while (done < size) {
      const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
      if (n <= 0)
        return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
  const std::string& path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace brevalt::fuzz

#endif  // BREVALT_FUZZ_SCRATCH_FILE_H
