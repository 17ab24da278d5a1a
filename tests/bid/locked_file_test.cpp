#include "bid/locked_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "config/text_convert.h"
#include "support/temp_folder.h"

namespace brevalt {
namespace {

// How the file system answers the exclusive and, when asked, the shared
// lock: 0 grants it, anything else is the errno of a refusal.
TEST(LockedFile, LockRefusalsThatMeanNoLockHereStillOpen) {
  const struct {
    const char* name;
    int exclusive;
    int shared;
    bool opens;
    std::vector<int> asked;
  } rows[] = {
      {"exclusive granted", 0, 0, true, {LOCK_EX}},
      {"held by another program", EWOULDBLOCK, 0, false, {LOCK_EX}},
      {"nfs, read-only file", EBADF, 0, true, {LOCK_EX, LOCK_SH}},
      {"nfs, another program holds it exclusively", EBADF, EWOULDBLOCK, false, {LOCK_EX, LOCK_SH}},
      {"no lock manager", ENOLCK, ENOLCK, true, {LOCK_EX, LOCK_SH}},
      {"file system without locks", EOPNOTSUPP, EOPNOTSUPP, true, {LOCK_EX, LOCK_SH}},
      {"any other refusal", EINVAL, 0, false, {LOCK_EX}},
      {"shared refused otherwise", EBADF, EIO, false, {LOCK_EX, LOCK_SH}},
  };
  testing::TempFolder folder;
  const std::u16string path = Utf8ToWide(folder.Write("bid.bidx", "sealed"));
  for (const auto& row : rows) {
    std::vector<int> asked;
    LockedFile file([&](int, int operation) {
      asked.push_back(operation & ~LOCK_NB);
      const int answer = (operation & LOCK_EX) ? row.exclusive : row.shared;
      errno = answer;
      return answer == 0 ? 0 : -1;
    });
    EXPECT_EQ(file.Open(path), row.opens) << row.name;
    EXPECT_EQ(asked, row.asked) << row.name;
  }
}

}  // namespace
}  // namespace brevalt
