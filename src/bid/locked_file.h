// A file opened read-only under an exclusive advisory lock, so that no other
// program holding the file locked can be reading or writing it meanwhile.
#ifndef BREVALT_BID_LOCKED_FILE_H
#define BREVALT_BID_LOCKED_FILE_H

#include <cstddef>
#include <string>

namespace brevalt {

class LockedFile {
 public:
  LockedFile() = default;
  ~LockedFile();
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

  // Opens path for reading and takes the lock without waiting. False when the
  // file cannot be opened or another open file description holds a lock.
  bool Open(const std::string& path);
  // Reads up to size bytes; the count read, 0 at the end, -1 on error.
  long Read(unsigned char* buffer, std::size_t size);

 private:
  int fd_ = -1;
};

}  // namespace brevalt

#endif  // BREVALT_BID_LOCKED_FILE_H
