#include "bid/verification_code.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "config/text_convert.h"
#include "fakes/fake_tavik.h"
#include "support/temp_folder.h"

namespace brevalt {
namespace {

namespace fs = std::filesystem;

class VerificationCodeTest : public fake::FakeTavikTest {
 protected:
  std::u16string Write(const std::string& name, size_t size) {
    const fs::path path = dir_ / name;
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < size; ++i)
      out.put(static_cast<char>(i * 7));
    return Utf8ToWide(path.string());
  }
  std::vector<std::string> UpdateCalls() { return fake::Calls("TavikPKICryptoHashUpdate"); }

  testing::TempFolder folder_;
  fs::path dir_ = folder_.path();
  CVerifyResult result_;
};

TEST_F(VerificationCodeTest, StreamsTheFileInChunksOf8192) {
  struct Row {
    size_t size;
    size_t full_pieces;  // of 8192 bytes, then one piece of last bytes if any
    int last;
  };
  // The last row runs past the 1 MiB read block: the pieces go on unbroken.
  const Row rows[] = {
      {0, 0, 0}, {1, 0, 1}, {8192, 1, 0}, {3 * 8192 + 1, 3, 1}, {129 * 8192 + 1, 129, 1}};
  for (const Row& row : rows) {
    fake::Reset();
    const std::u16string path = Write("投标.bidx", row.size);
    ASSERT_EQ(ComputeVerificationCode(path, result_), 0) << row.size;
    std::vector<std::string> updates(row.full_pieces, "TavikPKICryptoHashUpdate len=8192");
    if (row.last > 0)
      updates.push_back("TavikPKICryptoHashUpdate len=" + std::to_string(row.last));
    EXPECT_EQ(UpdateCalls(), updates) << row.size;
    EXPECT_EQ(fake::Calls("TavikPKICryptoNewHash"),
              std::vector<std::string>{"TavikPKICryptoNewHash algorithm=4096"});
    EXPECT_EQ(result_.VerifyCode.size(), 64u);
    EXPECT_EQ(result_.DigestLength, 32);
    EXPECT_TRUE(fake::AllReleased()) << fake::Outstanding();
  }
}

TEST_F(VerificationCodeTest, EveryByteIsTwoUpperCaseDigits) {
  fake::SetHashDigest(std::string("\x0a\x00\xff\xab\x01", 5));
  ASSERT_EQ(ComputeVerificationCode(Write("a.bidx", 10), result_), 0);
  EXPECT_EQ(result_.VerifyCode, u"0A00FFAB01");
  EXPECT_EQ(result_.DigestLength, 5);
}

TEST_F(VerificationCodeTest, DigestTooLongForTheCodeFails) {
  fake::SetHashDigest(std::string(50, '\x11'));
  EXPECT_EQ(ComputeVerificationCode(Write("a.bidx", 10), result_), -1);
  EXPECT_EQ(result_.VerifyCode, u"");
  fake::SetHashDigest(std::string(49, '\x11'));
  EXPECT_EQ(ComputeVerificationCode(Write("a.bidx", 10), result_), 0);
  EXPECT_EQ(result_.VerifyCode.size(), 98u);
}

TEST_F(VerificationCodeTest, EveryFailureReleasesWhatItHeld) {
  struct Row {
    const char* name;
    std::function<void()> setup;
  };
  const Row rows[] = {
      {"no device", [] { fake::ReturnNull("TavikPKICryptoGetPseudoDevice"); }},
      {"no hash", [] { fake::ReturnNull("TavikPKICryptoNewHash"); }},
      {"update fails", [] { fake::SetResultOnCall("TavikPKICryptoHashUpdate", 2, 0); }},
      {"final fails", [] { fake::SetResult("TavikPKICryptoHashFinal", 0); }},
  };
  const std::u16string path = Write("a.bidx", 20000);
  for (const Row& row : rows) {
    fake::Reset();
    row.setup();
    result_.VerifyCode = u"earlier";
    EXPECT_EQ(ComputeVerificationCode(path, result_), -1) << row.name;
    EXPECT_EQ(result_.VerifyCode, u"earlier") << row.name;
    EXPECT_TRUE(fake::AllReleased()) << row.name << "\n" << fake::Outstanding();
  }
  EXPECT_EQ(ComputeVerificationCode(Utf8ToWide((dir_ / "missing.bidx").string()), result_), -1);
}

// Another verification of the same bid (a shared lock) does not stand in the
// way; a program holding the bid exclusively, which may be writing it, does
// until it lets go.
TEST_F(VerificationCodeTest, OnlyAnExclusiveLockElsewhereRefusesTheFile) {
  const std::u16string path = Write("locked.bidx", 100);
  const std::string native = WideToUtf8(path);
  for (int mode : {LOCK_SH, LOCK_EX}) {
    int fd = open(native.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, mode), 0);
    EXPECT_EQ(ComputeVerificationCode(path, result_), mode == LOCK_SH ? 0 : -1) << mode;
    close(fd);
    EXPECT_EQ(ComputeVerificationCode(path, result_), 0);
  }
}

}  // namespace
}  // namespace brevalt
