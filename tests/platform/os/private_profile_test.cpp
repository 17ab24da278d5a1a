#include "platform/private_profile.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fifo.h"
#include "support/temp_folder.h"

namespace brevalt {
namespace {

using std::string_literals::operator""s;

// key in section of the file at path, "<default>" when it gives none.
ProfileValue ReadAt(const std::string& path, const std::u16string& section,
                    const std::u16string& key, std::size_t max_length = 4096,
                    std::size_t max_file_bytes = 1 << 20) {
  return ReadPrivateProfileValue(section, key, u"<default>",
                                 std::u16string(path.begin(), path.end()), max_length,
                                 max_file_bytes);
}

class PrivateProfile : public ::testing::Test {
 protected:
  // Writes content as the INI file and reads key in section from it.
  std::u16string Read(const std::string& content, const std::u16string& section,
                      const std::u16string& key) {
    return ReadAt(folder_.Write("test.ini", content), section, key).text;
  }

  testing::TempFolder folder_;
};

TEST_F(PrivateProfile, FindsValuesTheWayWindowsDoes) {
  const std::string ini =
      "; comment line\n"
      "orphan=before any section\n"
      "[TimeStampURL]\n"
      "url=http://first\n"
      "URL=http://second\n"
      "  [ Spaced ]  \n"
      "  key  =  padded value  \n"
      "quoted=\"  kept blanks  \"\n"
      "single='x'\n"
      "mismatched=\"x'\n"
      "lonequote=\"\n"
      "empty=\n"
      "noequals\n"
      "; url=commented out\n"
      "eq=a=b\n"
      "[timestampurl]\n"
      "url=from a later section of the same name\n"
      "other=only in the later section\n";
  const struct {
    std::u16string section;
    std::u16string key;
    std::u16string expected;
  } rows[] = {
      {u"TimeStampURL", u"url", u"http://first"},  // first match wins
      {u"TIMESTAMPURL", u"Url", u"http://first"},  // names compare case-insensitively
      {u"Spaced", u"KEY", u"padded value"},
      {u"Spaced", u"quoted", u"  kept blanks  "},
      {u"Spaced", u"single", u"x"},
      {u"Spaced", u"mismatched", u"\"x'"},
      {u"Spaced", u"lonequote", u"\""},
      {u"Spaced", u"empty", u""},  // present but empty is not the default
      {u"Spaced", u"noequals", u"<default>"},
      {u"Spaced", u"eq", u"a=b"},
      {u"Spaced", u"; url", u"<default>"},
      {u"TimeStampURL", u"orphan", u"<default>"},
      {u"", u"orphan", u"<default>"},
      {u"TimeStampURL", u"other", u"<default>"},  // only the first such section counts
      {u"Missing", u"url", u"<default>"},
      {u"TimeStampURL", u"missing", u"<default>"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.section.begin(), row.section.end()) + "/" +
                 std::string(row.key.begin(), row.key.end()));
    EXPECT_EQ(Read(ini, row.section, row.key), row.expected);
  }
}

TEST_F(PrivateProfile, MissingFileOrFolderGivesTheDefault) {
  EXPECT_EQ(ReadAt(folder_.path() + "/none.ini", u"s", u"k").text, u"<default>");
  EXPECT_EQ(ReadAt(folder_.path(), u"s", u"k").text, u"<default>");
  EXPECT_EQ(ReadAt("", u"s", u"k").text, u"<default>");

  // A FIFO gives the default at once instead of waiting for a writer.
  const std::string fifo = folder_.path() + "/fifo.ini";
  ASSERT_TRUE(testing::MakeFifo(fifo));
  const std::optional<std::u16string> read =
      testing::WithoutBlocking<std::u16string>(fifo, [&] { return ReadAt(fifo, u"s", u"k").text; });
  EXPECT_EQ(read, u"<default>");
}

TEST_F(PrivateProfile, LineEndingsOfEveryKind) {
  EXPECT_EQ(Read("[s]\r\nk=crlf\r\n", u"s", u"k"), u"crlf");
  EXPECT_EQ(Read("[s]\rk=cr\r", u"s", u"k"), u"cr");
  EXPECT_EQ(Read("[s]\n\n\r\n\rk=last line without end", u"s", u"k"), u"last line without end");
}

TEST_F(PrivateProfile, EncodingsOfTheFile) {
  EXPECT_EQ(Read("[s]\nk=中文\n", u"s", u"k"), u"中文");              // UTF-8
  EXPECT_EQ(Read("\xEF\xBB\xBF[s]\nk=中文\n", u"s", u"k"), u"中文");  // with BOM
  EXPECT_EQ(Read("[s]\nk=\xD6\xD0\xCE\xC4\n", u"s", u"k"), u"中文");  // GBK
  EXPECT_EQ(Read("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0-N\x87"
                 "e\n\0"s,
                 u"s", u"k"),
            u"中文");  // UTF-16LE
  // Not valid UTF-8 and not valid GBK either: read, never a crash.
  EXPECT_EQ(Read("[s]\nk=a\xFF"
                 "b\n",
                 u"s", u"k"),
            u"a\xFFFD"
            "b");
  EXPECT_EQ(Read("[s]\nk=\xD6\n", u"s", u"k"), u"\xFFFD");
}

// A value over the limit is refused, never cut: a cut address would be
// another address. Here the limits are 4 characters and 32 bytes.
TEST_F(PrivateProfile, ValueOverTheLimitIsRefusedNeverCutAndNulEndsIt) {
  const struct {
    std::string file;
    ProfileStatus status;
    std::u16string text;
  } rows[] = {
      {"[s]\nk=abcd\n", ProfileStatus::kFound, u"abcd"},
      {"[s]\nk=abcde\n", ProfileStatus::kTooLong, u"<default>"},
      {"[s]\nk=  \"abcd\"  \n", ProfileStatus::kFound, u"abcd"},  // blanks and quotes trimmed first
      {"[s]\nk=ab\xF0\x9F\x98\x80\n", ProfileStatus::kFound, u"ab\U0001F600"},  // 4 UTF-16 units
      {"[s]\nk=ab\0cdefgh\n"s, ProfileStatus::kFound, u"ab"},  // nothing after a NUL counts
      {"[s]\nk=abc\n" + std::string(22, ';'), ProfileStatus::kFound, u"abc"},  // 32 bytes
      {"[s]\nk=abc\n" + std::string(23, ';'), ProfileStatus::kFileTooLarge, u"<default>"},
      {"[s]\nz=abcde\nk=abc\n", ProfileStatus::kFound, u"abc"},  // z's length does not count
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const ProfileValue value = ReadAt(folder_.Write("test.ini", row.file), u"s", u"k", 4, 32);
    EXPECT_EQ(value.status, row.status);
    EXPECT_EQ(value.text, row.text);
  }
}

}  // namespace
}  // namespace brevalt
