#include "engine/check_without_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "config/text_convert.h"
#include "fakes/fake_tavik.h"
#include "platform/memory_dialog.h"
#include "record/result_texts.h"
#include "support/temp_folder.h"

namespace brevalt {
namespace {

namespace fs = std::filesystem;

// An environment document with Chinese texts and `openers` opener elements,
// whose certificates are the fake certificates "OPENER1", "OPENER2", ...
std::u16string EnvDocument(int m, int n, int openers) {
  std::u16string xml = u"<?xml version=\"1.0\" encoding=\"GBK\"?><bidenv><source>";
  xml += u"<projectname>城南污水处理厂二期工程</projectname>";
  xml += u"<opentime>2026-12-09 09:30:00</opentime>";
  xml += u"<organization>某市公共资源交易中心</organization><rules><rule>";
  xml += u"<m>" + Utf8ToWide(std::to_string(m)) + u"</m><n>" + Utf8ToWide(std::to_string(n)) +
         u"</n><openers>";
  for (int i = 1; i <= openers; ++i) {
    xml += u"<opener><cert>OPENER" + Utf8ToWide(std::to_string(i)) +
           u"</cert><participate>YES</participate></opener>";
  }
  return xml + u"</openers></rule></rules></source></bidenv>";
}

// The custom data block: "RULF", the big-endian length, the GBK document.
std::string RulesBlock(const std::u16string& document) {
  const std::string body = WideToAnsi(document);
  const uint32_t n = static_cast<uint32_t>(body.size());
  std::string block = "RULF";
  for (int shift : {24, 16, 8, 0})
    block.push_back(static_cast<char>((n >> shift) & 0xFF));
  return block + body;
}

class CheckWithoutRulesTest : public fake::FakeTavikTest {
 public:  // the table rows below reach the helpers
  void SetUp() override {
    FakeTavikTest::SetUp();
    const fs::path bid = dir_ / "投标_P2026001_01.tbs.bidx";
    std::ofstream(bid, std::ios::binary) << "sealed bid bytes";
    result_.BidPath = Utf8ToWide(bid.string());
    result_.FinalResult = kVerdictNotPassed;  // as the run leaves it
    fake::RegisterCert("SIGNER", {{{16, "张三"}, {18, "华东建设有限公司"}}, {}});
    for (int i = 1; i <= 5; ++i)
      fake::RegisterCert("OPENER" + std::to_string(i), {});
    SetDocument(EnvDocument(3, 2, 3));
  }
  void TearDown() override {
    result_ = CVerifyResult();  // hand the record's certificates back first
    FakeTavikTest::TearDown();
  }
  void SetDocument(const std::u16string& document) { SetCustomData(RulesBlock(document)); }
  void SetCustomData(const std::string& data) {
    fake::ContainerScript script;
    script.custom_data = data;
    fake::SetContainer(script);
  }
  int Run() { return CheckBidWithoutRules(result_, dialog_); }
  std::u16string Step4Mark() { return dialog_.GetControlText(kEditStepRulesFile); }

  testing::TempFolder folder_;
  fs::path dir_ = folder_.path();
  CVerifyResult result_;
  MemoryDialog dialog_;
};

TEST_F(CheckWithoutRulesTest, PassesWithEveryFieldFilled) {
  EXPECT_EQ(Run(), kBidCheckPassed);
  EXPECT_EQ(result_.FinalResult, u"通过");
  EXPECT_EQ(result_.StepRulesFile, StepPassed);
  EXPECT_EQ(result_.StepBidFormat, StepPassed);
  EXPECT_EQ(result_.StepSignature, StepPassed);
  EXPECT_EQ(result_.VerifyCode.size(), 64u);
  EXPECT_EQ(result_.BidderName, u"张三");
  EXPECT_EQ(result_.BidderUnit, u"华东建设有限公司");
  EXPECT_NE(result_.BidderCert, nullptr);
  EXPECT_EQ(result_.ProjectName, u"城南污水处理厂二期工程");
  EXPECT_EQ(result_.OpenTime, u"2026-12-09 09:30:00");
  EXPECT_EQ(result_.TenderOrg, u"某市公共资源交易中心");
  EXPECT_EQ(result_.OpenerCerts.size(), 3u);
  EXPECT_EQ(result_.ErrorCategory, CategoryNone);
  EXPECT_EQ(result_.ErrorDetail, u"");
  EXPECT_EQ(Step4Mark(), u"");
  // The container gets the bid's own folder and is released before the check ends.
  EXPECT_EQ(fake::Calls("TavikSecretFileDecryptorSetFolder"),
            std::vector<std::string>{"TavikSecretFileDecryptorSetFolder folder=" + dir_.string()});
}

TEST_F(CheckWithoutRulesTest, CountsAtTheirLimitsPass) {
  for (auto [m, n] : {std::pair{1, 1}, std::pair{5, 5}}) {
    SetDocument(EnvDocument(m, n, m));
    result_ = CVerifyResult();
    result_.BidPath = Utf8ToWide((dir_ / "投标_P2026001_01.tbs.bidx").string());
    EXPECT_EQ(Run(), kBidCheckPassed) << m << "/" << n;
    EXPECT_EQ(result_.OpenerCerts.size(), static_cast<size_t>(m));
  }
}

// A bid without a usable environment document passes on its container and
// signature alone, with the bidder shown and no project data.
TEST_F(CheckWithoutRulesTest, PassesWithoutUsableDocument) {
  struct Row {
    const char* name;
    std::function<void(CheckWithoutRulesTest&)> setup;
  };
  const Row rows[] = {
      {"no custom data", [](auto& t) { t.SetCustomData(""); }},
      {"seven bytes", [](auto& t) { t.SetCustomData(std::string("RULF\0\0\0", 7)); }},
      {"lower-case magic",
       [](auto& t) { t.SetCustomData("rulf" + RulesBlock(EnvDocument(3, 2, 3)).substr(4)); }},
      {"not XML", [](auto& t) { t.SetDocument(u"这不是XML文档"); }},
      {"no rules element",
       [](auto& t) {
         t.SetDocument(u"<bidenv><source><projectname>x</projectname></source></bidenv>");
       }},
      {"opener count differs", [](auto& t) { t.SetDocument(EnvDocument(2, 1, 3)); }},
      {"opener cert refused", [](auto&) { fake::RegisterInvalidCert("OPENER2"); }},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::RegisterCert("SIGNER", {{{16, "张三"}, {18, "华东建设有限公司"}}, {}});
    SetDocument(EnvDocument(3, 2, 3));
    row.setup(*this);
    result_ = CVerifyResult();
    result_.BidPath = Utf8ToWide((dir_ / "投标_P2026001_01.tbs.bidx").string());
    EXPECT_EQ(Run(), kBidCheckPassed) << row.name;
    EXPECT_EQ(result_.FinalResult, u"通过") << row.name;
    EXPECT_EQ(result_.StepRulesFile, StepPassed) << row.name;
    EXPECT_EQ(result_.BidderName, u"张三") << row.name;
    EXPECT_NE(result_.BidderCert, nullptr) << row.name;
    EXPECT_EQ(result_.ProjectName, u"") << row.name;
    EXPECT_EQ(result_.OpenTime, u"") << row.name;
    EXPECT_EQ(result_.TenderOrg, u"") << row.name;
    EXPECT_TRUE(result_.OpenerCerts.empty()) << row.name;
    result_ = CVerifyResult();
    EXPECT_TRUE(fake::AllReleased()) << row.name << "\n" << fake::Outstanding();
  }
}

// What a failure leaves in the record.
enum class Kept { kNothing, kCode, kNames, kBidder, kProject };

struct FailureRow {
  const char* id;
  std::function<void(CheckWithoutRulesTest&)> setup;
  MessageCategory category;
  const char16_t* detail;
  const char16_t* advice;
  StepState format_and_signature;
  bool marked_at_once;
  Kept kept;
};

TEST_F(CheckWithoutRulesTest, EachFailureWritesItsRowStepsAndFields) {
  const FailureRow rows[] = {
      {"file missing", [](auto& t) { fs::remove(t.dir_ / "投标_P2026001_01.tbs.bidx"); },
       CategoryOther, u"计算验证码失败！", u"请确保标书文件没有被其它应用程序占用！", StepFailed,
       true, Kept::kNothing},
      {"unreadable file wins over a container failure",
       [](auto& t) {
         fs::remove(t.dir_ / "投标_P2026001_01.tbs.bidx");
         fake::SetResult("TavikSecretFileDecryptorVerify", 7);
       },
       CategoryOther, u"计算验证码失败！", u"请确保标书文件没有被其它应用程序占用！", StepFailed,
       true, Kept::kNothing},
      {"container not opened",
       [](auto&) { fake::SetResult("TavikSecretFileDecryptorCreateHandle", 3); }, CategoryOther,
       u"打开标书文件失败！", u"请确保标书文件没有被其它应用程序占用！", StepFailed, true,
       Kept::kCode},
      {"signer cert unreadable",
       [](auto&) { fake::SetLengthCallResult("TavikSecretFileDecryptorGetSignCert", 1); },
       CategorySignature, u"获取投标人的签名证书失败！", u"警告：讨论处理！", StepFailed, false,
       Kept::kCode},
      {"signer certificate refused", [](auto&) { fake::RegisterInvalidCert("SIGNER"); },
       CategorySignature, u"获取投标人的签名证书失败！", u"警告：讨论处理！", StepFailed, false,
       Kept::kCode},
      {"out of memory", [](auto&) { fake::SetResult("TavikSecretFileDecryptorVerify", -3); },
       CategoryOther, u"内存不足！", u"重启计算机系统，然后重试！", StepFailed, false, Kept::kCode},
      {"rules header longer than the data",
       [](auto& t) { t.SetCustomData(std::string("RULF\0\0\0\x05", 8) + "abcd"); },
       CategoryBidFormat, u"规则文件长度与实际的长度不符!", u"严重错误，不可处理！", StepFailed,
       false, Kept::kCode},
      {"rules length with its top bit set",
       [](auto& t) { t.SetCustomData(std::string("RULF\x80\0\0\x01", 8) + "abcd"); },
       CategoryBidFormat, u"规则文件长度与实际的长度不符!", u"严重错误，不可处理！", StepFailed,
       false, Kept::kCode},
      {"container code 7", [](auto&) { fake::SetResult("TavikSecretFileDecryptorVerify", 7); },
       CategorySignature, u"验证规则失败，错误代码 = 7", u"严重错误，不可处理！", StepFailed, false,
       Kept::kCode},
      {"custom data refused with its code",
       [](auto&) { fake::SetFillCallResult("TavikSecretFileDecryptorGetCustomData", 12); },
       CategorySignature, u"验证规则失败，错误代码 = 12", u"严重错误，不可处理！", StepFailed,
       false, Kept::kCode},
      {"signer duplicate fails", [](auto&) { fake::FailDupOnCall(1); }, CategoryOther,
       u"构造投标人的签名证书失败！", u"重启计算机系统，然后尝试进行验证！", StepFailed, true,
       Kept::kNames},
      {"opener total 0", [](auto& t) { t.SetDocument(EnvDocument(0, 1, 0)); }, CategoryBidFormat,
       u"开标总人数小于0，验证规则文件失败！", u"严重错误，不可处理!", StepPassed, true,
       Kept::kBidder},
      {"opener minimum 0", [](auto& t) { t.SetDocument(EnvDocument(2, 0, 2)); }, CategoryBidFormat,
       u"开标最小人数小于0，验证规则文件失败！", u"严重错误，不可处理!", StepPassed, true,
       Kept::kBidder},
      {"opener minimum above total", [](auto& t) { t.SetDocument(EnvDocument(3, 5, 3)); },
       CategoryBidFormat, u"开标总人数小于最小开标人数，验证规则文件失败！", u"严重错误，不可处理!",
       StepPassed, true, Kept::kBidder},
      {"opener duplicate fails", [](auto&) { fake::FailDupOnCall(3); }, CategoryOther,
       u"构造开标人的证书失败！", u"内存不足，重启计算机系统重试！", StepPassed, true,
       Kept::kProject},
  };
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.id);
    fake::Reset();
    fake::RegisterCert("SIGNER", {{{16, "张三"}, {18, "华东建设有限公司"}}, {}});
    std::ofstream(dir_ / "投标_P2026001_01.tbs.bidx", std::ios::binary) << "sealed bid bytes";
    SetDocument(EnvDocument(3, 2, 3));
    row.setup(*this);
    MemoryDialog dialog;
    CVerifyResult result;
    result.BidPath = Utf8ToWide((dir_ / "投标_P2026001_01.tbs.bidx").string());
    result.FinalResult = kVerdictNotPassed;

    EXPECT_EQ(CheckBidWithoutRules(result, dialog), kBidCheckFailed);
    EXPECT_EQ(result.FinalResult, u"没通过");
    EXPECT_EQ(result.ErrorCategory, row.category);
    EXPECT_EQ(result.ErrorDetail, row.detail);
    EXPECT_EQ(result.ErrorAdvice, row.advice);
    EXPECT_EQ(result.StepRulesFile, StepFailed);
    EXPECT_EQ(result.StepBidFormat, row.format_and_signature);
    EXPECT_EQ(result.StepSignature, row.format_and_signature);
    EXPECT_EQ(dialog.GetControlText(kEditStepRulesFile), row.marked_at_once ? u"×" : u"");
    EXPECT_EQ(result.VerifyCode.empty(), row.kept == Kept::kNothing);
    const bool names = row.kept >= Kept::kNames;
    EXPECT_EQ(result.BidderName, names ? u"张三" : u"");
    EXPECT_EQ(result.BidderUnit, names ? u"华东建设有限公司" : u"");
    EXPECT_EQ(result.BidderCert != nullptr, row.kept >= Kept::kBidder);
    const bool project = row.kept == Kept::kProject;
    EXPECT_EQ(result.ProjectName, project ? u"城南污水处理厂二期工程" : u"");
    EXPECT_EQ(result.TenderOrg, project ? u"某市公共资源交易中心" : u"");
    EXPECT_EQ(result.OpenTime, project ? u"2026-12-09 09:30:00" : u"");
    EXPECT_TRUE(result.OpenerCerts.empty());
    result = CVerifyResult();
    EXPECT_TRUE(fake::AllReleased()) << fake::Outstanding();
  }
}

TEST_F(CheckWithoutRulesTest, PathWithoutSeparatorCannotBeOpened) {
  const fs::path old_cwd = fs::current_path();
  fs::current_path(dir_);
  result_.BidPath = u"投标_P2026001_01.tbs.bidx";
  EXPECT_EQ(Run(), kBidCheckFailed);
  fs::current_path(old_cwd);
  EXPECT_EQ(result_.ErrorDetail, u"打开标书文件失败！");
  EXPECT_FALSE(result_.VerifyCode.empty());
  EXPECT_EQ(fake::CallCount("TavikSecretFileDecryptorCreateHandle"), 0);
}

// A bidder certificate already in the record is released, not leaked, when
// the check stores the new one (the fixture's teardown checks the accounting).
TEST_F(CheckWithoutRulesTest, ReplacesABidderCertificateAlreadyHeld) {
  ASSERT_EQ(Run(), kBidCheckPassed);
  TAVIK_CERT_st* first = result_.BidderCert.get();
  ASSERT_EQ(Run(), kBidCheckPassed);
  EXPECT_NE(result_.BidderCert.get(), first);
}

}  // namespace
}  // namespace brevalt
