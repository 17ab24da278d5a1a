// A bid file opened read-only under an exclusive advisory lock, so that no
// other program holding the file locked can be reading or writing it
// meanwhile.
#ifndef BREVALT_BID_LOCKED_FILE_H
#define BREVALT_BID_LOCKED_FILE_H

#include <cstddef>
#include <string>

#include "platform/regular_file.h"

namespace brevalt {

class LockedFile {
 public:
  // Opens the regular file at path and takes the lock without waiting. False
  // when the file cannot be opened or another open file description holds a
  // lock on it, shared or exclusive. The lock goes with the object.
  bool Open(const std::u16string& path);
  // Reads up to size bytes; the count read, 0 at the end, -1 on error.
  long Read(unsigned char* buffer, std::size_t size) { return ReadSome(fd_, buffer, size); }

 private:
  UniqueFd fd_;
};

}  // namespace brevalt

#endif  // BREVALT_BID_LOCKED_FILE_H
