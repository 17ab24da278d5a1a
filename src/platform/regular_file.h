// Opening regular files for reading on POSIX, with the descriptor owned.
#ifndef BREVALT_PLATFORM_REGULAR_FILE_H
#define BREVALT_PLATFORM_REGULAR_FILE_H

#include <string>

namespace brevalt {

// Owns one file descriptor and closes it on destruction.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd();
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

// Opens path read-only when it names a regular file; an invalid descriptor
// for a missing or unreadable file, a folder or a device. Never blocks (a
// FIFO would otherwise hold the caller until a writer appears).
UniqueFd OpenRegularFile(const std::u16string& path);
// The same for a path already in the native form (UTF-8 on POSIX).
UniqueFd OpenRegularFileNative(const std::string& native_path);

// Reads up to size bytes, retrying when interrupted: the count read, 0 at
// the end of the file, -1 on an error.
long ReadSome(const UniqueFd& fd, void* buffer, unsigned long size);

// Why a native path cannot be opened for reading as a regular file, as a
// phrase that follows the file's name: "does not exist", "is a folder", "is
// not a regular file (a FIFO, device or socket)", "cannot be read
// (permission denied)" or "cannot be read (<the system's reason>)". Empty when
// it opens as a regular file now.
std::string WhyNotReadable(const std::string& native_path);

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_REGULAR_FILE_H
