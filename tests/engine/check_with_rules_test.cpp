#include "engine/check_with_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "config/text_convert.h"
#include "engine/check_without_rules.h"
#include "fakes/fake_tavik.h"
#include "platform/memory_dialog.h"
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
 public:  // the table rows below reach the helpers
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

  testing::ScopedEnv tz_{"TZ", "Asia/Shanghai"};
  testing::ScopedSettings settings_;
  fs::path bid_ = fs::path(settings_.root()) / "投标_P2026001_01.tbs.bidx";
  CVerifyResult result_;
  MemoryDialog dialog_;
};

TEST_F(CheckWithRulesTest, PassesWithOpenersOrganisationAndTimeFromTheDownload) {
  ASSERT_EQ(Run(), kBidCheckPassed) << WideToUtf8(result_.ErrorDetail);
  EXPECT_EQ(result_.FinalResult, u"通过");
  EXPECT_EQ(result_.StepRulesFile, StepPassed);
  EXPECT_EQ(result_.StepBidFormat, StepPassed);
  EXPECT_EQ(result_.StepSignature, StepPassed);
  EXPECT_EQ(result_.BidderName, u"张三");
  EXPECT_EQ(result_.BidderUnit, u"华东建设有限公司");
  EXPECT_NE(result_.BidderCert, nullptr);
  EXPECT_EQ(result_.OpenerCerts.size(), 3u);
  EXPECT_EQ(result_.TenderOrg, u"某市公共资源交易中心");
  EXPECT_EQ(result_.OpenTime, u"2026-12-09 09:30:00");
  EXPECT_EQ(result_.ProjectName, u"城南污水处理厂二期工程");
  EXPECT_EQ(dialog_.GetControlText(kEditStepRulesFile), u"");
  EXPECT_EQ(fake::Calls("TavikBidRulesFileGetRules"),
            std::vector<std::string>{"TavikBidRulesFileGetRules query=projectid=P2026001"});
  EXPECT_EQ(fake::Calls("TavikSecretFileDecryptorSetFolder"),
            std::vector<std::string>{"TavikSecretFileDecryptorSetFolder folder=" +
                                     settings_.root() + "/work/P2026001/01"});
}

// The sealed document only names the project: a bid whose document cannot be
// read still passes, and an unreadable open time shows the instant 0.
TEST_F(CheckWithRulesTest, PassesWithoutReadableDocumentOrOpenTime) {
  fake::SetContainer({.custom_data = RulesBlock("不是XML"), .total = 5, .min = 5});
  fake::SetRules({.open_time = "2026年12月9日", .certs = {"OPENER1"}, .rules_file = "不是XML"});
  ASSERT_EQ(Run(), kBidCheckPassed) << WideToUtf8(result_.ErrorDetail);
  EXPECT_EQ(result_.ProjectName, u"");
  EXPECT_EQ(result_.OpenTime, u"1970-01-01 08:00:00");
  EXPECT_EQ(result_.OpenerCerts.size(), 1u);
}

struct FailureRow {
  const char* id;
  std::function<void(CheckWithRulesTest&)> setup;
  int rc;
  MessageCategory category;
  const char16_t* detail;
  const char16_t* advice;
  size_t openers;  // listed after the failure
};

TEST_F(CheckWithRulesTest, EachFailureWritesItsRowAndMarksStepFour) {
  const FailureRow rows[] = {
      {"F1 file missing", [](auto& t) { fs::remove(t.bid_); }, 4, CategoryOther,
       u"计算验证码失败！", u"请确保标书文件没有被其它应用程序占用！", 0},
      {"D1 service unreachable", [](auto&) { fake::SetResult("TavikBidRulesFileGetRules", 7); }, 3,
       CategoryOther, u"下载规则文件失败!", u"请检查服务器地址配置是否正确,以及该地址是否可连接！",
       0},
      {"D1 no handle", [](auto&) { fake::ReturnNull("TavikBidRulesFileCreateHandle"); }, 3,
       CategoryOther, u"下载规则文件失败!", u"请检查服务器地址配置是否正确,以及该地址是否可连接！",
       0},
      {"D2 certificates unreadable",
       [](auto&) { fake::SetResult("TavikBidRulesFileGetCertCount", 1); }, 4, CategoryOther,
       u"获取开标人的证书失败！",
       u"请不要勾选验证规则文件，再次进行验证标书，如果不能成功，请重启计算机系统再次验证！", 0},
      {"D3 no opener", [](auto&) { fake::SetRules({.rules_file = kDocument}); }, 4,
       CategoryBidFormat, u"规则文件中不存在开标人的证书！", u"严重错误，无法处理！", 0},
      {"D4 second duplicate", [](auto&) { fake::FailDupOnCall(2); }, 4, CategoryOther,
       u"构造开标人的证书失败！", u"内存不足，重启计算机系统重试！", 1},
      {"F2 container not opened",
       [](auto&) { fake::SetResult("TavikSecretFileDecryptorCreateHandle", 3); }, 4, CategoryOther,
       u"打开标书文件失败！", u"请确保标书文件没有被其它应用程序占用！", 3},
      {"F4 out of memory", [](auto&) { fake::SetResult("TavikSecretFileDecryptorVerify", -3); }, 4,
       CategoryOther, u"内存不足！", u"重启计算机系统，然后重试！", 3},
      {"F6 container code", [](auto&) { fake::SetResult("TavikSecretFileDecryptorVerify", 7); }, 4,
       CategorySignature, u"验证规则失败，错误代码 = 7", u"严重错误，不可处理！", 3},
      {"F8 total 0",
       [](auto&) { fake::SetContainer({.custom_data = RulesBlock(kDocument), .total = 0}); }, 4,
       CategoryBidFormat, u"开标总人数小于0，验证规则文件失败！", u"严重错误，不可处理!", 3},
      {"F9 minimum 0",
       [](auto&) { fake::SetContainer({.custom_data = RulesBlock(kDocument), .min = 0}); }, 4,
       CategoryBidFormat, u"开标最小人数小于0，验证规则文件失败！", u"严重错误，不可处理!", 3},
      {"F10 total 5 minimum 6",
       [](auto&) {
         fake::SetContainer({.custom_data = RulesBlock(kDocument), .total = 5, .min = 6});
       },
       4, CategoryBidFormat, u"开标总人数小于最小开标人数，验证规则文件失败！",
       u"严重错误，不可处理!", 3},
      {"D5 one byte different",
       [](auto&) {
         std::string sealed = kDocument;
         sealed[sealed.size() / 2] ^= 1;
         fake::SetContainer({.custom_data = RulesBlock(sealed), .total = 5, .min = 5});
       },
       4, CategoryBidFormat, u"标书中的规则文件和下载的规则文件不一致！!", u"讨论处理！", 3},
      {"D5 no sealed rules",
       [](auto&) { fake::SetContainer({.custom_data = "", .total = 5, .min = 5}); }, 4,
       CategoryBidFormat, u"标书中的规则文件和下载的规则文件不一致！!", u"讨论处理！", 3},
      {"F7 signer duplicate", [](auto&) { fake::FailDupOnCall(4); }, 4, CategoryOther,
       u"构造投标人的签名证书失败！", u"重启计算机系统，然后尝试进行验证！", 3},
  };
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.id);
    Script();
    std::ofstream(bid_, std::ios::binary) << "sealed bid bytes";
    row.setup(*this);
    EXPECT_EQ(Run(), row.rc);
    EXPECT_EQ(result_.FinalResult, u"没通过");
    EXPECT_EQ(result_.ErrorCategory, row.category);
    EXPECT_EQ(result_.ErrorDetail, row.detail);
    EXPECT_EQ(result_.ErrorAdvice, row.advice);
    EXPECT_EQ(result_.StepRulesFile, StepFailed);
    EXPECT_EQ(result_.StepBidFormat, StepFailed);
    EXPECT_EQ(result_.StepSignature, StepFailed);
    EXPECT_EQ(dialog_.GetControlText(kEditStepRulesFile), u"×");
    EXPECT_EQ(result_.VerifyCode.empty(), row.rc == 4 && row.detail[0] == u'计');
    EXPECT_EQ(result_.OpenerCerts.size(), row.openers);
    EXPECT_EQ(result_.BidderName + result_.BidderUnit + result_.TenderOrg + result_.OpenTime +
                  result_.ProjectName,
              u"");
    EXPECT_EQ(result_.BidderCert, nullptr);
    result_ = CVerifyResult();
    EXPECT_TRUE(fake::AllReleased()) << fake::Outstanding();
  }
}

TEST(FolderOfPathTest, KeepsTheRootOfAFileDirectlyUnderIt) {
  EXPECT_EQ(FolderOfPath(u"/x.bidx"), u"/");
  EXPECT_EQ(FolderOfPath(u"/home/标书/x.bidx"), u"/home/标书");
  EXPECT_EQ(FolderOfPath(u"x.bidx"), u"");
}

}  // namespace
}  // namespace brevalt
