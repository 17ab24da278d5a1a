#include "bid/locked_file.h"

#include <sys/file.h>

namespace brevalt {

bool LockedFile::Open(const std::u16string& path) {
  fd_ = OpenRegularFile(path);
  return fd_.valid() && flock(fd_.get(), LOCK_EX | LOCK_NB) == 0;
}

}  // namespace brevalt
