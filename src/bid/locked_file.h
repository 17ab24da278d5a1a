// A bid file opened read-only under an advisory lock, so that no other
// program holding the file locked can be reading or writing it meanwhile.
#ifndef BREVALT_BID_LOCKED_FILE_H
#define BREVALT_BID_LOCKED_FILE_H

#include <cstddef>
#include <functional>
#include <string>

#include "platform/regular_file.h"

namespace brevalt {

// Takes or refuses an advisory lock the way flock does: 0 on success, else
// -1 with errno set.
using LockFunction = std::function<int(int fd, int operation)>;

class LockedFile {
 public:
  // lock replaces flock, for tests that need a file system's refusals.
  explicit LockedFile(LockFunction lock = nullptr);

  // Opens the regular file at path and takes a shared lock without waiting.
  // False when the file cannot be opened or another program holds it locked
  // exclusively. Where the file system offers no lock at all there is none to
  // take. The lock goes with the object.
  bool Open(const std::u16string& path);
  // Reads up to size bytes; the count read, 0 at the end, -1 on error.
  long Read(unsigned char* buffer, std::size_t size) { return ReadSome(fd_, buffer, size); }

 private:
  bool TakeLock();

  LockFunction lock_;
  UniqueFd fd_;
};

}  // namespace brevalt

#endif  // BREVALT_BID_LOCKED_FILE_H
