#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "platform/user_folder.h"

namespace brevalt {

UniqueFd::~UniqueFd() {
  if (fd_ >= 0)
    close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0)
      close(fd_);
    fd_ = other.release();
  }
  return *this;
}

UniqueFd OpenRegularFile(const std::u16string& path) {
  return OpenRegularFileNative(ToNativePath(path));
}

UniqueFd OpenRegularFileNative(const std::string& native_path) {
  if (native_path.empty())
    return UniqueFd();
  UniqueFd fd(open(native_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  struct stat info {};
  if (!fd.valid() || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
    return UniqueFd();
  // Reads of a regular file never block; clear the flag all the same.
  fcntl(fd.get(), F_SETFL, fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  return fd;
}

long ReadSome(const UniqueFd& fd, void* buffer, unsigned long size) {
  for (;;) {
    const ssize_t n = read(fd.get(), buffer, size);
    if (n >= 0)
      return static_cast<long>(n);
    if (errno != EINTR)
      return -1;
  }
}

std::string WhyNotReadable(const std::string& native_path) {
  struct stat info {};
  if (native_path.empty() || stat(native_path.c_str(), &info) != 0) {
    if (native_path.empty() || errno == ENOENT)
      return "does not exist";
  } else if (S_ISDIR(info.st_mode)) {
    return "is a folder";
  } else if (!S_ISREG(info.st_mode)) {
    return "is not a regular file (a FIFO, device or socket)";
  } else {
    const UniqueFd fd(open(native_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.valid())
      return {};
  }
  std::string reason = std::strerror(errno);
  if (!reason.empty())
    reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
  return "cannot be read (" + reason + ")";
}

}  // namespace brevalt
