#include "bid/locked_file.h"

#include <sys/file.h>

#include <cerrno>

namespace brevalt {
namespace {

// The file system offers no such lock: a server without a lock manager, or a
// file system without locks, has none at all (ENOLCK, EOPNOTSUPP).
bool NoSuchLockHere(int error) {
  return error == ENOLCK || error == EOPNOTSUPP;
}

}  // namespace

LockedFile::LockedFile(LockFunction lock) : lock_(lock ? std::move(lock) : LockFunction(flock)) {}

bool LockedFile::Open(const std::u16string& path) {
  fd_ = OpenRegularFile(path);
  return fd_.valid() && TakeLock();
}

// A shared lock: readers of the same bid (two desks, the dialog and a script)
// share it, while a program holding the file exclusively, which may be
// writing it, refuses it (EWOULDBLOCK) and so fails the open.
bool LockedFile::TakeLock() {
  if (lock_(fd_.get(), LOCK_SH | LOCK_NB) == 0)
    return true;
  return NoSuchLockHere(errno);
}

}  // namespace brevalt
