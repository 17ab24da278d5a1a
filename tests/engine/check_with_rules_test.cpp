#include "engine/check_with_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "config/text_convert.h"
#include "engine/check_without_rules.h"
#include "fakes/fake_tavik.h"
#include "platform/memory_dialog.h"
#include "record/message_catalogue.h"
#include "record/result_texts.h"
#include "support/scoped_env.h"
#include "support/scoped_settings.h"

namespace brevalt {
namespace {

namespace fs = std::filesystem;

// A sealed document naming two openers of its own and its own organisation,
// so the test can tell what came from the download instead.
const std::string kDocument = WideToAnsi(
    u"<?xml version=\"1.0\" encoding=\"GBK\"?><bidenv><source>"
    u"<projectname>城南污水处理厂二期工程</projectname><opentime>2020-01-01 08:00:00</opentime>"
    u"<organization>封存的单位</organization><rules><rule><m>2</m><n>2</n><openers>"
    u"<opener><cert>DOC1</cert><participate>YES</participate></opener>"
    u"<opener><cert>DOC2</cert><participate>YES</participate></opener>"
    u"</openers></rule></rules></source></bidenv>");

std::string RulesBlock(const std::string& body) {
  const auto n = static_cast<uint32_t>(body.size());
  std::string block = "RULF";
  for (int shift : {24, 16, 8, 0})
    block.push_back(static_cast<char>((n >> shift) & 0xFF));
  return block + body;
}

class CheckWithRulesTest : public fake::FakeTavikTest {
 protected:
  void SetUp() override {
    FakeTavikTest::SetUp();
    settings_.Write("[WorkingDir]\npath=" + settings_.root() +
                    "/work\n[BidRuleFileURL]\nurl=http://127.0.0.1:1/rules\n");
    std::ofstream(bid_, std::ios::binary) << "sealed bid bytes";
    Script();
  }
  void TearDown() override {
    result_ = CVerifyResult();  // hand the record's certificates back first
    FakeTavikTest::TearDown();
  }
  // A working library: the download equals the sealed document, three
  // openers, a container sealed with counts 5 and 5.
  void Script() {
    fake::Reset();
    fake::RegisterCert("SIGNER", {{{16, "张三"}, {18, "华东建设有限公司"}}, {}});
    fake::SetContainer({.custom_data = RulesBlock(kDocument), .total = 5, .min = 5});
    fake::SetRules({.open_org = WideToAnsi(u"某市公共资源交易中心"),
                    .open_time = "Dec 9, 2026 9:30:00 AM",
                    .certs = {"OPENER1", "OPENER2", "OPENER3"},
                    .rules_file = kDocument});
  }
  int Run() {
    result_ = CVerifyResult();
    result_.BidPath = Utf8ToWide(bid_.string());
    result_.ProjectNumber = u"P2026001";
    result_.PackageNumber = u"01";
    result_.FinalResult = kVerdictNotPassed;  // as the run leaves it
    dialog_.SetControlText(kEditStepRulesFile, u"");
    return CheckBidWithRules(result_, dialog_);
  }

  std::vector<StepState> Steps() const {
    return {result_.StepRulesFile, result_.StepBidFormat, result_.StepSignature};
  }

  testing::ScopedEnv tz_{"TZ", "Asia/Shanghai"};
  testing::ScopedSettings settings_;
  fs::path bid_ = fs::path(settings_.root()) / "投标_P2026001_01.tbs.bidx";
  CVerifyResult result_;
  MemoryDialog dialog_;
};

TEST_F(CheckWithRulesTest, PassesWithOpenersOrganisationAndTimeFromTheDownload) {
  ASSERT_EQ(Run(), kBidCheckPassed) << WideToUtf8(result_.ErrorDetail);
  EXPECT_EQ(result_.FinalResult, u"通过");
  EXPECT_EQ(Steps(), std::vector<StepState>(3, StepPassed));
  EXPECT_EQ(result_.BidderName + u"/" + result_.BidderUnit, u"张三/华东建设有限公司");
  EXPECT_NE(result_.BidderCert, nullptr);
  EXPECT_EQ(result_.OpenerCerts.size(), 3u);
  EXPECT_EQ(result_.TenderOrg, u"某市公共资源交易中心");
  EXPECT_EQ(result_.OpenTime, u"2026-12-09 09:30:00");
  EXPECT_EQ(result_.ProjectName, u"城南污水处理厂二期工程");
  EXPECT_EQ(fake::Calls("TavikBidRulesFileGetRules"),
            std::vector<std::string>{"TavikBidRulesFileGetRules query=projectid=P2026001"});
  EXPECT_EQ(fake::Calls("TavikSecretFileDecryptorSetFolder"),
            std::vector<std::string>{"TavikSecretFileDecryptorSetFolder folder=" +
                                     settings_.root() + "/work/P2026001/01"});
}

// The sealed document only names the project: a bid whose document cannot be
// read still passes, and an unreadable open time is left empty (so whether
// the bid may be opened stays undetermined instead of "long past").
TEST_F(CheckWithRulesTest, PassesWithoutReadableDocumentOrOpenTime) {
  fake::SetContainer({.custom_data = RulesBlock("不是XML"), .total = 5, .min = 5});
  fake::SetRules({.open_time = "2026年12月9日", .certs = {"OPENER1"}, .rules_file = "不是XML"});
  ASSERT_EQ(Run(), kBidCheckPassed) << WideToUtf8(result_.ErrorDetail);
  EXPECT_EQ(result_.ProjectName, u"");
  EXPECT_EQ(result_.OpenTime, u"");
  EXPECT_EQ(result_.OpenerCerts.size(), 1u);
}

struct RulesFailureRow {
  const char* id;
  std::function<void()> setup;
  int rc;
  MessageCategory category;
  Message message;
  size_t openers;  // listed after the failure
};

// The container as sealed with these counts and this rules file.
void SealedWith(int total, int min, const std::string& rules) {
  fake::SetContainer({.custom_data = RulesBlock(rules), .total = total, .min = min});
}

TEST_F(CheckWithRulesTest, EachFailureWritesItsRowAndMarksStepFour) {
  std::string differing = kDocument;
  differing[differing.size() / 2] ^= 1;
  const RulesFailureRow rows[] = {
      {"rules service unreachable", [] { fake::SetResult("TavikBidRulesFileGetRules", 7); }, 3,
       CategoryOther, msg::kDownloadRulesFailed, 0},
      {"certificates unreadable", [] { fake::SetResult("TavikBidRulesFileGetCertCount", 1); }, 4,
       CategoryOther, msg::kGetOpenerCertsFailed, 0},
      {"no opener", [] { fake::SetRules({.rules_file = kDocument}); }, 4, CategoryBidFormat,
       msg::kNoOpenerCerts, 0},
      {"second opener duplicate fails", [] { fake::FailDupOnCall(2); }, 4, CategoryOther,
       msg::kBuildOpenerCertFailed, 1},
      {"out of memory", [] { fake::SetResult("TavikSecretFileDecryptorVerify", -3); }, 4,
       CategoryOther, msg::kOutOfMemory, 3},
      {"opener total 5 minimum 6", [] { SealedWith(5, 6, kDocument); }, 4, CategoryBidFormat,
       msg::kOpenerTotalBelowMin, 3},
      {"one byte different", [&] { SealedWith(5, 5, differing); }, 4, CategoryBidFormat,
       msg::kRulesDiffer, 3},
  };
  for (const RulesFailureRow& row : rows) {
    SCOPED_TRACE(row.id);
    Script();
    row.setup();
    EXPECT_EQ(Run(), row.rc);
    EXPECT_EQ(result_.FinalResult, u"没通过");
    EXPECT_EQ(result_.ErrorCategory, row.category);
    EXPECT_EQ(result_.ErrorDetail, row.message.detail);
    EXPECT_EQ(result_.ErrorAdvice, row.message.advice);
    EXPECT_EQ(Steps(), std::vector<StepState>(3, StepFailed));
    EXPECT_EQ(dialog_.GetControlText(kEditStepRulesFile), u"×");
    EXPECT_FALSE(result_.VerifyCode.empty());
    EXPECT_EQ(result_.OpenerCerts.size(), row.openers);
    EXPECT_EQ(result_.BidderName + result_.TenderOrg + result_.OpenTime + result_.ProjectName, u"");
    EXPECT_EQ(result_.BidderCert, nullptr);
    result_ = CVerifyResult();
    EXPECT_TRUE(fake::AllReleased()) << fake::Outstanding();
  }
}

// The code is computed beside the container: its failure still decides the
// check, before the download and the container's own failure.
TEST_F(CheckWithRulesTest, AFailedCodeWinsOverLaterFailures) {
  fs::remove(bid_);
  fake::SetResult("TavikSecretFileDecryptorVerify", 7);
  EXPECT_EQ(Run(), kBidCheckFailed);
  EXPECT_EQ(result_.ErrorDetail, msg::kVerifyCodeFailed.detail);
  EXPECT_EQ(result_.ErrorCategory, CategoryOther);
  EXPECT_EQ(dialog_.GetControlText(kEditStepRulesFile), u"×");
  EXPECT_EQ(result_.VerifyCode, u"");
  EXPECT_EQ(fake::CallCount("TavikBidRulesFileGetRules"), 0);
}

TEST(FolderOfPathTest, KeepsTheRootOfAFileDirectlyUnderIt) {
  EXPECT_EQ(FolderOfPath(u"/x.bidx"), u"/");
  EXPECT_EQ(FolderOfPath(u"/home/标书/x.bidx"), u"/home/标书");
  EXPECT_EQ(FolderOfPath(u"x.bidx"), u"");
}

}  // namespace
}  // namespace brevalt
