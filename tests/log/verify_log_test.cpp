#include "log/verify_log.h"

#include <gtest/gtest.h>
#include <sys/file.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/result_display.h"
#include "fakes/fake_tavik.h"
#include "platform/memory_dialog.h"
#include "platform/regular_file.h"
#include "platform/user_folder.h"
#include "record/message_catalogue.h"
#include "support/scoped_settings.h"
#include "timestamp/may_open.h"

namespace brevalt {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

UniqueCert MakeCert(const std::string& bytes, const std::string& name) {
  fake::RegisterCert(bytes, {{{20, name}, {31, "20991231235959"}}, {}});
  return UniqueCert(
      TavikPKICertNewCert(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

class VerifyLogTest : public fake::FakeTavikTest {
 protected:
  void SetUp() override {
    FakeTavikTest::SetUp();
    fs::create_directories(data_folder_);
    r_.BidPath = u"/home/user/BidFiles/投标_P2026001_01.tbs.bidx";
    r_.BidFileName = u"投标_P2026001_01.tbs.bidx";
    r_.ProjectNumber = u"P2026001";
    r_.TimestampTimeText = u"2026-03-01 10:00:00";
    r_.StepNetwork = r_.StepLocalClock = StepPassed;
  }
  void TearDown() override {
    r_ = CVerifyResult();
    FakeTavikTest::TearDown();
  }
  // A run whose bid check passed, with one opener certificate.
  void FillPassed(const char16_t* open_time) {
    r_.VerifyCode = u"0F343B0921D2A0D1B3E6B3F6C1E1B4D5E7A96C2F8A2B4E3C5D6E7F8091A2B3C4";
    r_.StepRulesFile = r_.StepBidFormat = r_.StepSignature = StepPassed;
    r_.FinalResult = u"通过";
    r_.BidderName = u"张三";
    r_.BidderUnit = u"华东建设有限公司";
    r_.BidderCert = MakeCert("BIDDER", "张三");
    r_.OpenTime = open_time;
    r_.OpenerCerts.push_back(MakeCert("OPENER", "李四"));
  }
  // Shows the record the way a run's final refresh does, then writes the log.
  int ShowAndWrite() {
    r_.MayOpen = DecideMayOpen(r_);
    display_.UpdateResultDisplay(r_, dialog_);
    return WriteVerifyLog(r_, dialog_, &written_);
  }
  fs::path LogPath() const { return data_folder_ / "Log" / "投标_P2026001_01.tbs.bidx.txt"; }
  std::string Expected(const char* name) const {
    return ReadBytes(fs::path(BREVALT_LOG_EXPECTED_DIR) / name);
  }

  testing::ScopedSettings settings_;
  fs::path data_folder_ = fs::path(settings_.root()) / "TAVIK" / "qzv";
  CVerifyResult r_;
  MemoryDialog dialog_;
  CResultDisplay display_;
  std::u16string written_;
};

TEST_F(VerifyLogTest, PassingRunWithOneOpener) {
  r_.TenderOrg = u"某市公共资源交易中心";
  r_.ProjectName = u"城南污水处理厂二期工程";
  FillPassed(u"2020-01-01 09:30:00");
  ASSERT_EQ(ShowAndWrite(), kLogWritten);
  const std::string bytes = ReadBytes(LogPath());
  EXPECT_EQ(bytes, Expected("pass.txt"));
  EXPECT_EQ(fs::path(written_), LogPath());
  EXPECT_EQ(bytes.find('\r'), std::string::npos);
}

TEST_F(VerifyLogTest, WithoutRulesFileAndBeforeOpeningTime) {
  dialog_.SetChecked(kCheckVerifyRules, false);
  FillPassed(u"2099-01-01 09:30:00");
  ASSERT_EQ(ShowAndWrite(), kLogWritten);
  EXPECT_EQ(ReadBytes(LogPath()), Expected("norules.txt"));
}

TEST_F(VerifyLogTest, FailedBidCheckWithMessageRow) {
  r_.StepRulesFile = r_.StepBidFormat = r_.StepSignature = StepFailed;
  r_.FinalResult = u"没通过";
  SetMessage(r_, CategoryOther, msg::kVerifyCodeFailed);
  ASSERT_EQ(ShowAndWrite(), kLogWritten);
  EXPECT_EQ(ReadBytes(LogPath()), Expected("failed.txt"));
}

TEST_F(VerifyLogTest, SecondRunReplacesTheLogAndLeavesNoTemporaryFile) {
  FillPassed(u"2020-01-01 09:30:00");
  ASSERT_EQ(ShowAndWrite(), kLogWritten);
  const std::string first = ReadBytes(LogPath());
  r_.StepSignature = StepFailed;
  r_.FinalResult = u"没通过";
  ASSERT_EQ(ShowAndWrite(), kLogWritten);
  const std::string second = ReadBytes(LogPath());
  EXPECT_NE(second, first);
  EXPECT_EQ(second, ComposeVerifyLog(r_, dialog_));
  EXPECT_EQ(std::distance(fs::directory_iterator(data_folder_ / "Log"), {}), 1);
}

// A bid file name close to the file system's name limit still gets its log.
TEST_F(VerifyLogTest, LongBidFileNameIsLogged) {
  FillPassed(u"2020-01-01 09:30:00");
  r_.BidFileName = std::u16string(75, u'投') + u"_P1_1.tbs.bidx";  // 239 bytes in UTF-8
  ASSERT_EQ(ShowAndWrite(), kLogWritten);
  EXPECT_EQ(ReadBytes(ToNativePath(written_)), ComposeVerifyLog(r_, dialog_));
  EXPECT_EQ(std::distance(fs::directory_iterator(data_folder_ / "Log"), {}), 1);
}

// Two bid names that differ only in a hidden character get two logs.
TEST_F(VerifyLogTest, NamesDifferingInAHiddenCharacterGetTwoLogs) {
  FillPassed(u"2020-01-01 09:30:00");
  for (const char16_t* name : {u"a\u0001_P1_1.tbs.bidx", u"a\u0002_P1_1.tbs.bidx"}) {
    r_.BidFileName = name;
    ASSERT_EQ(ShowAndWrite(), kLogWritten);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(data_folder_ / "Log"), {}), 2);
}

// Temporary files of writers that died are cleared on the next write: only
// names of our own pattern, old enough, and locked by nobody.
TEST_F(VerifyLogTest, NextWriteClearsAbandonedTemporaryFiles) {
  const struct {
    const char* name;
    int age_seconds;
    bool locked;
    bool cleared;
  } rows[] = {
      {".~0123456789abcdef", 3600, false, true},
      {".~1111111111111111", 3600, true, false},  // its writer is alive
      {".~2222222222222222", 5, false, false},    // may not be locked yet
      {".~0123456789ABCDEF", 3600, false, false},
      {".~0123456789abcde", 3600, false, false},
      {"notes.txt", 3600, false, false},
  };
  const fs::path log = data_folder_ / "Log";
  fs::create_directories(log);
  std::vector<UniqueFd> locks;
  for (const auto& row : rows) {
    std::ofstream(log / row.name) << std::string(512 * 1024, 'x');
    fs::last_write_time(log / row.name,
                        fs::file_time_type::clock::now() - std::chrono::seconds(row.age_seconds));
    if (row.locked)
      locks.push_back(OpenRegularFileNative(log / row.name));
  }
  for (const UniqueFd& fd : locks)
    ASSERT_EQ(flock(fd.get(), LOCK_EX | LOCK_NB), 0);
  FillPassed(u"2020-01-01 09:30:00");
  ASSERT_EQ(ShowAndWrite(), kLogWritten);
  for (const auto& row : rows)
    EXPECT_EQ(fs::exists(log / row.name), !row.cleared) << row.name;
}

TEST_F(VerifyLogTest, NothingWrittenWhenNotWantedOrImpossible) {
  dialog_.SetChecked(kCheckWriteLog, false);
  EXPECT_EQ(ShowAndWrite(), kLogNotWanted);
  EXPECT_FALSE(fs::exists(data_folder_ / "Log"));  // not even the folder

  dialog_.SetChecked(kCheckWriteLog, true);
  r_.BidFileName.clear();
  EXPECT_EQ(ShowAndWrite(), kLogNoFileName);
  EXPECT_TRUE(fs::is_directory(data_folder_ / "Log"));
  EXPECT_TRUE(fs::is_empty(data_folder_ / "Log"));

  // A log path that cannot be replaced leaves no partial or temporary file.
  r_.BidFileName = u"投标_P2026001_01.tbs.bidx";
  fs::create_directories(LogPath());
  written_.clear();
  EXPECT_EQ(ShowAndWrite(), kLogWriteFailed);
  EXPECT_EQ(written_, u"");
  EXPECT_EQ(std::distance(fs::directory_iterator(data_folder_ / "Log"), {}), 1);

  // The Log folder is created one level deep only.
  fs::remove_all(data_folder_);
  EXPECT_EQ(ShowAndWrite(), kLogNoFolder);
}

}  // namespace
}  // namespace brevalt
