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

// How the file system answers the shared lock: 0 grants it, anything else is
// the errno of a refusal.
TEST(LockedFile, LockRefusalsThatMeanNoLockHereStillOpen) {
  const struct {
    const char* name;
    int answer;
    bool opens;
  } rows[] = {
      {"shared granted", 0, true},
      {"held exclusively by another program", EWOULDBLOCK, false},
      {"no lock manager", ENOLCK, true},
      {"file system without locks", EOPNOTSUPP, true},
      {"any other refusal", EINVAL, false},
  };
  testing::TempFolder folder;
  const std::u16string path = Utf8ToWide(folder.Write("bid.bidx", "sealed"));
  for (const auto& row : rows) {
    std::vector<int> asked;
    LockedFile file([&](int, int operation) {
      asked.push_back(operation);
      errno = row.answer;
      return row.answer == 0 ? 0 : -1;
    });
    EXPECT_EQ(file.Open(path), row.opens) << row.name;
    EXPECT_EQ(asked, std::vector<int>{LOCK_SH | LOCK_NB}) << row.name;
  }
}

}  // namespace
}  // namespace brevalt
