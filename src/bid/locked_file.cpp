#include "bid/locked_file.h"

#include <sys/file.h>

#include <cerrno>

namespace brevalt {
namespace {

// The file system offers no such lock: NFS refuses an exclusive lock on a
// file opened read-only (EBADF); a server without a lock manager, or a file
// system without locks, has none at all (ENOLCK, EOPNOTSUPP).
bool NoSuchLockHere(int error) {
  return error == EBADF || error == ENOLCK || error == EOPNOTSUPP;
}

}  // namespace

LockedFile::LockedFile(LockFunction lock) : lock_(lock ? std::move(lock) : LockFunction(flock)) {}

bool LockedFile::Open(const std::u16string& path) {
  fd_ = OpenRegularFile(path);
  return fd_.valid() && TakeLock();
}

// Every other refusal, above all EWOULDBLOCK (another program holds a lock),
// fails the open.
bool LockedFile::TakeLock() {
  if (lock_(fd_.get(), LOCK_EX | LOCK_NB) == 0)
    return true;
  if (!NoSuchLockHere(errno))
    return false;
  // A shared lock still collides with a program that holds the file
  // exclusively, which is what matters most: that program may be writing.
  if (lock_(fd_.get(), LOCK_SH | LOCK_NB) == 0)
    return true;
  return NoSuchLockHere(errno);
}

}  // namespace brevalt
