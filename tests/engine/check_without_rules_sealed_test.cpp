// The check without rules file on bids sealed by bidx, read through the real
// container and PKI libraries.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <thread>

#include "bid/bid_file_reader.h"
#include "bid/verification_code.h"
#include "config/text_convert.h"
#include "engine/check_without_rules.h"
#include "platform/memory_dialog.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"
#include "tavik/pki/test_certs.h"
#include "tavik/secretfile/container_errors.h"
#include "tools/bidx/seal_command.h"

namespace brevalt {
namespace {

namespace fs = std::filesystem;
using testing::MakeTestCertDer;
using testing::MakeTestSigner;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The upper-case sha256sum of a file, as a user would check the code.
std::u16string Sha256SumUpper(const fs::path& path) {
  std::unique_ptr<FILE, decltype(&pclose)> pipe(
      popen(("sha256sum '" + path.string() + "'").c_str(), "r"), &pclose);
  char hex[65] = {};
  if (!pipe || std::fread(hex, 1, 64, pipe.get()) != 64)
    return {};
  std::u16string code;
  for (char c : std::string(hex))
    code.push_back(static_cast<char16_t>(std::toupper(c)));
  return code;
}

class SealedBidTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = std::make_unique<testing::TempFolder>();
    dir_ = folder_->path();
    const auto signer = MakeTestSigner({"王五", "华东建设有限公司", 0});
    ASSERT_FALSE(signer.cert_der.empty());
    WriteFile(dir_ / "signer.pem", testing::DerToPem(signer.cert_der));
    WriteFile(dir_ / "signer.key", signer.key_pem);
    std::u16string openers;
    for (const char* name : {"开标人甲", "开标人乙", "开标人丙"}) {
      const auto der = MakeTestCertDer({name, "某市公共资源交易中心", 0});
      ASSERT_FALSE(der.empty());
      openers += u"<opener><cert>" + Utf8ToWide(testing::ToBase64(der, 64, "\n")) +
                 u"</cert><participate>YES</participate></opener>";
    }
    const std::u16string document =
        u"<?xml version=\"1.0\" encoding=\"GBK\"?><bidenv><source>"
        u"<projectname>城南污水处理厂二期工程</projectname>"
        u"<opentime>2026-12-09 09:30:00</opentime>"
        u"<organization>某市公共资源交易中心</organization>"
        u"<rules><rule><m>3</m><n>2</n><openers>" +
        openers + u"</openers></rule></rules></source></bidenv>";
    WriteFile(dir_ / "rules.xml", WideToAnsi(document));
    WriteFile(dir_ / "payload.zip", std::string(100000, 'p'));
    bidx::SealOptions options;
    options.out_path = (dir_ / "good.bidx").string();
    options.cert_path = (dir_ / "signer.pem").string();
    options.key_path = (dir_ / "signer.key").string();
    options.payload_path = (dir_ / "payload.zip").string();
    options.rules_path = (dir_ / "rules.xml").string();
    std::ostringstream err;
    ASSERT_EQ(bidx::RunSeal(options, err), 0) << err.str();
    // A second bidder's bid, for files swapped under a running check.
    const auto other = MakeTestSigner({"赵六", "江南路桥有限公司", 0});
    WriteFile(dir_ / "other.pem", testing::DerToPem(other.cert_der));
    WriteFile(dir_ / "other.key", other.key_pem);
    options.out_path = (dir_ / "other.bidx").string();
    options.cert_path = (dir_ / "other.pem").string();
    options.key_path = (dir_ / "other.key").string();
    ASSERT_EQ(bidx::RunSeal(options, err), 0) << err.str();
  }
  static void TearDownTestSuite() { folder_.reset(); }

  // Checks the bid at path; the result keeps the record for inspection.
  int Check(const fs::path& path) {
    result_.BidPath = Utf8ToWide(path.string());
    result_.FinalResult = u"没通过";
    return CheckBidWithoutRules(result_, dialog_);
  }
  // A copy of the good bid changed by `damage`.
  fs::path Damaged(const std::string& name, const std::function<void(std::string&)>& damage) {
    std::string bytes = ReadFile(dir_ / "good.bidx");
    damage(bytes);
    WriteFile(dir_ / name, bytes);
    return dir_ / name;
  }

  static std::unique_ptr<testing::TempFolder> folder_;
  static fs::path dir_;  // shared by the suite: sealing is slow under the sanitizers
  CVerifyResult result_;
  MemoryDialog dialog_;
};

std::unique_ptr<testing::TempFolder> SealedBidTest::folder_;
fs::path SealedBidTest::dir_;

TEST_F(SealedBidTest, GoodBidPassesWithEveryFieldFilled) {
  testing::ScopedEnv tz("TZ", "Asia/Shanghai");
  ASSERT_EQ(Check(dir_ / "good.bidx"), kBidCheckPassed) << WideToUtf8(result_.ErrorDetail);
  EXPECT_EQ(result_.FinalResult, u"通过");
  EXPECT_EQ(result_.StepRulesFile, StepPassed);
  EXPECT_EQ(result_.StepBidFormat, StepPassed);
  EXPECT_EQ(result_.StepSignature, StepPassed);
  EXPECT_EQ(result_.BidderName, u"王五");
  EXPECT_EQ(result_.BidderUnit, u"华东建设有限公司");
  EXPECT_EQ(result_.TenderOrg, u"某市公共资源交易中心");
  EXPECT_EQ(result_.OpenTime, u"2026-12-09 09:30:00");
  EXPECT_EQ(result_.ProjectName, u"城南污水处理厂二期工程");
  ASSERT_EQ(result_.OpenerCerts.size(), 3u);
  char* name = nullptr;
  ASSERT_EQ(TavikPKICertGetCertStringAttribute(result_.OpenerCerts[1].get(), 20, &name), 1);
  EXPECT_STREQ(name, "开标人乙");
  TavikPKICryptoFreeMemory(name);
  EXPECT_EQ(result_.VerifyCode, Sha256SumUpper(dir_ / "good.bidx"));
  EXPECT_EQ(result_.DigestLength, 32);
}

// Each damaged copy fails with the container's own code in the message.
TEST_F(SealedBidTest, DamagedBidsFailWithTheContainerCode) {
  struct Row {
    const char* name;
    std::function<void(std::string&)> damage;
    int code;
  };
  const Row rows[] = {
      {"magic", [](std::string& b) { b[0] ^= 1; }, container::kNotAContainer},
      {"version", [](std::string& b) { b[11] ^= 2; }, container::kUnsupportedVersion},
      {"payload byte", [](std::string& b) { b[b.size() / 2] ^= 1; },
       container::kContentDigestMismatch},
      {"cut short", [](std::string& b) { b.resize(b.size() - 1); }, container::kTruncated},
      {"byte appended", [](std::string& b) { b.push_back('x'); }, container::kTrailingBytes},
  };
  for (const Row& row : rows) {
    result_ = CVerifyResult();
    EXPECT_EQ(Check(Damaged(std::string(row.name) + ".bidx", row.damage)), kBidCheckFailed);
    EXPECT_EQ(result_.ErrorDetail,
              u"验证规则失败，错误代码 = " + Utf8ToWide(std::to_string(row.code)))
        << row.name;
    EXPECT_EQ(result_.ErrorCategory, CategorySignature) << row.name;
    EXPECT_EQ(result_.StepSignature, StepFailed) << row.name;
    EXPECT_EQ(result_.FinalResult, u"没通过") << row.name;
    EXPECT_EQ(result_.BidderName, u"") << row.name;
    EXPECT_FALSE(result_.VerifyCode.empty()) << row.name;
  }
}

TEST_F(SealedBidTest, FileThatIsNotABidFails) {
  WriteFile(dir_ / "empty.bidx", "");
  EXPECT_EQ(Check(dir_ / "empty.bidx"), kBidCheckFailed);
  EXPECT_EQ(result_.ErrorDetail,
            u"验证规则失败，错误代码 = " + Utf8ToWide(std::to_string(container::kNotAContainer)));
  // The verification code of an empty file is the digest of zero bytes.
  EXPECT_EQ(result_.VerifyCode,
            u"E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
}

// The code is the digest of the bytes the container verified, taken from that
// same read: bytes written over the bid after the read do not reach it, and
// a bid that did not verify gets the code of the file as it now is.
TEST_F(SealedBidTest, CodeIsTheDigestOfTheBytesTheContainerVerified) {
  struct Row {
    const char* name;
    const char* sealed;     // the bid the container reads
    const char* rewritten;  // what the file holds when the code is applied
    bool verifies;
  };
  const Row rows[] = {{"other bid written over it", "good.bidx", "other.bidx", true},
                      {"unchanged", "other.bidx", "other.bidx", true},
                      {"not a bid", "payload.zip", "good.bidx", false}};
  const fs::path target = dir_ / "rewritten.bidx";
  for (const Row& row : rows) {
    fs::remove(target);
    fs::copy_file(dir_ / row.sealed, target);
    result_ = CVerifyResult();
    PendingVerificationCode code(Utf8ToWide(target.string()));
    CBidFileReader reader;
    reader.SetBidPath(Utf8ToWide(target.string()));
    reader.SetFolder(Utf8ToWide(dir_.string()));
    const bool verified = reader.Open() == 0 && reader.VerifyAndRead() == 0;
    EXPECT_EQ(verified, row.verifies) << row.name;
    WriteFile(target, ReadFile(dir_ / row.rewritten));  // in place, same inode
    ASSERT_EQ(code.Join(result_, verified ? &reader.m_FileDigest : nullptr), 0) << row.name;
    EXPECT_EQ(result_.VerifyCode, Sha256SumUpper(dir_ / (verified ? row.sealed : row.rewritten)))
        << row.name;
  }
}

// While the bid's path is swapped between two bidders' bids by rename, or
// one byte of it is toggled in place, every check that passes shows the code
// of exactly the bytes whose signature it verified.
TEST_F(SealedBidTest, FileChangedDuringTheCheckNeverPassesWithAnotherCode) {
  const std::map<std::u16string, std::u16string> code_of = {
      {u"王五", Sha256SumUpper(dir_ / "good.bidx")},
      {u"赵六", Sha256SumUpper(dir_ / "other.bidx")}};
  const fs::path target = dir_ / "raced.bidx";
  const auto swap_by_rename = [&](int round) {
    const fs::path from = dir_ / (round % 2 ? "other.bidx" : "good.bidx");
    fs::remove(dir_ / "next.bidx");
    fs::create_hard_link(from, dir_ / "next.bidx");
    fs::rename(dir_ / "next.bidx", target);
  };
  const auto toggle_in_place = [&](int) {
    const int fd = open(target.c_str(), O_RDWR);
    char byte = 0;
    const off_t at = static_cast<off_t>(fs::file_size(target) / 2);
    if (fd >= 0 && pread(fd, &byte, 1, at) == 1) {
      byte ^= 1;
      EXPECT_EQ(pwrite(fd, &byte, 1, at), 1);
    }
    close(fd);
  };
  for (const auto& change :
       {std::function<void(int)>(swap_by_rename), std::function<void(int)>(toggle_in_place)}) {
    fs::remove(target);  // never write through a link to the sealed bids
    fs::copy_file(dir_ / "good.bidx", target);
    std::atomic<bool> stop{false};
    std::thread changer([&] {
      for (int round = 0; !stop; ++round)
        change(round);
    });
    int passed = 0, mismatched = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (int run = 0; run < 300 && std::chrono::steady_clock::now() < end; ++run) {
      result_ = CVerifyResult();
      if (Check(target) != kBidCheckPassed)
        continue;
      ++passed;
      const auto it = code_of.find(result_.BidderName);
      if (it == code_of.end() || it->second != result_.VerifyCode)
        ++mismatched;
    }
    stop = true;
    changer.join();
    EXPECT_EQ(mismatched, 0) << passed << " passed";
  }
}

}  // namespace
}  // namespace brevalt
