// When bidx seal warns that a rules document is not GBK text.
#include "tools/bidx/gbk_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brevalt {
namespace {

TEST(GbkCheck, WarnsOnlyForTextThatIsNotGbk) {
  const struct {
    const char* name;
    std::string bytes;
    const char* why;  // a part of the cause; empty: GBK
  } rows[] = {
      {"ASCII", "<?xml version=\"1.0\" encoding=\"GBK\"?><bidenv/>", ""},
      {"GBK Chinese", "<bidenv>\xD5\xD0\xB1\xEA</bidenv>", ""},
      {"declared gb2312", "<?xml version='1.0' encoding='gb2312'?><a>\xD5\xD0</a>", ""},
      {"UTF-8 Chinese", "<bidenv>\xE6\x8B\x9B\xE6\xA0\x87</bidenv>", "valid UTF-8"},
      {"declared UTF-8", "<?xml version=\"1.0\" encoding=\"utf-8\"?><bidenv/>",
       "names the encoding UTF-8"},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF<bidenv/>", "UTF-8 byte-order mark"},
      {"UTF-16", std::string("\xFF\xFE<\0b\0", 6), "UTF-16 byte-order mark"},
      {"no GBK lead byte", "<a>\xFF</a>", "not GBK"},
      {"cut after a lead byte", "<a>\xD5", "not GBK"},
  };
  for (const auto& row : rows) {
    const std::string why =
        bidx::WhyNotGbk(std::vector<unsigned char>(row.bytes.begin(), row.bytes.end()));
    if (*row.why == '\0') {
      EXPECT_EQ(why, "") << row.name;
    } else {
      EXPECT_NE(why.find(row.why), std::string::npos) << row.name << ": " << why;
    }
  }
}

}  // namespace
}  // namespace brevalt
