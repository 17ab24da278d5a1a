#include "bid/locked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace brevalt {

LockedFile::~LockedFile() {
  if (fd_ >= 0)
    close(fd_);  // closing the last descriptor drops the lock
}

bool LockedFile::Open(const std::string& path) {
  fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    return false;
  return flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

long LockedFile::Read(unsigned char* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = read(fd_, buffer, size);
    if (n >= 0)
      return static_cast<long>(n);
    if (errno != EINTR)
      return -1;
  }
}

}  // namespace brevalt
