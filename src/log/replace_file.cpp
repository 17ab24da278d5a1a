#include "log/replace_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>

#include "platform/regular_file.h"
#include "platform/user_folder.h"

namespace brevalt {
namespace {

namespace fs = std::filesystem;

constexpr char kTemporaryPrefix[] = ".~";
constexpr std::size_t kTemporaryDigits = 16;
constexpr char kHexDigits[] = "0123456789abcdef";
// How old an unlocked temporary file must be before it counts as abandoned,
// and how old one must be where the file system offers no lock to test.
constexpr std::time_t kAbandonedAfter = 60;
constexpr std::time_t kAbandonedWithoutLocksAfter = 3600;

// A short name that no other writer is likely to pick. It does not grow with
// the target's name: a target whose name is near the file system's limit
// must still get its temporary file.
std::string TemporaryName() {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  char name[24];
  std::snprintf(name, sizeof name, "%s%016llx", kTemporaryPrefix,
                static_cast<unsigned long long>(random()));
  return name;
}

bool IsTemporaryName(const std::string& name) {
  const std::size_t prefix = sizeof kTemporaryPrefix - 1;
  return name.size() == prefix + kTemporaryDigits &&
         name.compare(0, prefix, kTemporaryPrefix) == 0 &&
         name.find_first_not_of(kHexDigits, prefix) == std::string::npos;
}

// The file system offers no advisory lock here.
bool NoLocksHere(int error) {
  return error == ENOLCK || error == EOPNOTSUPP;
}

// Writes all of bytes, retrying short writes; false with errno set.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Removes the temporary file at path when its writer is gone: old enough
// and lockable, and still the same file under that name when removed.
void RemoveIfAbandoned(const std::string& path, std::time_t now) {
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  struct stat opened {};
  if (!fd.valid() || fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
    return;
  const std::time_t age = now - opened.st_mtime;
  if (age < kAbandonedAfter)
    return;
  if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0 &&
      !(NoLocksHere(errno) && age >= kAbandonedWithoutLocksAfter)) {
    return;
  }
  struct stat named {};
  if (lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
      named.st_ino == opened.st_ino) {
    unlink(path.c_str());
  }
}

void RemoveAbandonedTemporaries(const fs::path& folder) {
  const std::time_t now = std::time(nullptr);
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (IsTemporaryName(it->path().filename().string()))
      RemoveIfAbandoned(it->path().string(), now);
  }
}

// Creates a file that did not exist (O_EXCL, no link followed), so an
// existing file or a link planted under the temporary name is never written
// through, and locks it to show that its writer is alive. Invalid with
// errno set on failure.
UniqueFd CreateTemporary(const fs::path& folder, std::string* path) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    *path = (folder / TemporaryName()).string();
    UniqueFd fd(open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (fd.valid()) {
      flock(fd.get(), LOCK_EX | LOCK_NB);  // without locks the age alone protects it
      return fd;
    }
    if (errno != EEXIST)
      break;
  }
  return UniqueFd();
}

// Puts bytes at target through a temporary file; 0, or the errno of the
// step that failed. The lock is held until the file has its final name, and
// the data reach the disk before the rename, so a crash leaves the earlier
// file or the whole new one.
int PutInPlace(const std::string& target, std::string_view bytes) {
  std::string temporary;
  UniqueFd fd = CreateTemporary(fs::path(target).parent_path(), &temporary);
  if (!fd.valid())
    return errno;
  int error = 0;
  if (!WriteAll(fd.get(), bytes) || (fsync(fd.get()) != 0 && errno != EINVAL) ||
      rename(temporary.c_str(), target.c_str()) != 0) {
    error = errno;
    unlink(temporary.c_str());
  }
  return error;
}

// Makes sure the earlier file at target cannot pass for the new content.
EarlierFile VoidEarlier(const std::string& target, std::string_view notice, int* error) {
  struct stat info {};
  if (lstat(target.c_str(), &info) != 0 && errno == ENOENT)
    return kNoEarlierFile;
  if (S_ISDIR(info.st_mode))
    return kNoEarlierFile;
  if (unlink(target.c_str()) == 0)
    return kEarlierRemoved;
  *error = errno;
  // A folder that refuses changes may still let its files be rewritten.
  UniqueFd fd(open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  struct stat opened {};
  if (!fd.valid() || fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
      ftruncate(fd.get(), 0) != 0) {
    return kEarlierKept;
  }
  // Once truncated it says nothing of the earlier run, even if the notice
  // does not fit.
  WriteAll(fd.get(), notice);
  return kEarlierOverwritten;
}

}  // namespace

int ReplaceFileContent(const std::u16string& path, std::string_view bytes, std::string_view notice,
                       ReplaceFailure* failure) {
  const std::string target = ToNativePath(path);
  RemoveAbandonedTemporaries(fs::path(target).parent_path());
  ReplaceFailure failed;
  failed.error = PutInPlace(target, bytes);
  if (failed.error == 0)
    return 0;
  failed.earlier = VoidEarlier(target, notice, &failed.earlier_error);
  if (failure != nullptr)
    *failure = failed;
  return -1;
}

}  // namespace brevalt
