// The check with rules file end to end: bids sealed by bidx, read through the
// real container and PKI libraries, against the devserver's rules service on
// loopback through the real rules-file library.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "config/text_convert.h"
#include "devserver/dev_server.h"
#include "engine/check_with_rules.h"
#include "engine/check_without_rules.h"
#include "platform/memory_dialog.h"
#include "rules/rules_file_client.h"
#include "support/scoped_env.h"
#include "support/scoped_settings.h"
#include "tavik/pki/test_certs.h"
#include "tools/bidx/seal_command.h"

namespace brevalt {
namespace {

namespace fs = std::filesystem;

// The published document: the opening time in the numeric form, three openers.
std::string PublishedDocument() {
  std::u16string openers;
  for (const char* name : {"开标人甲", "开标人乙", "开标人丙"}) {
    const auto der = testing::MakeTestCertDer({name, "某市公共资源交易中心", 0});
    openers += u"<opener><cert>" + Utf8ToWide(testing::ToBase64(der, 64, "\n")) +
               u"</cert><participate>YES</participate></opener>";
  }
  return WideToAnsi(
      u"<?xml version=\"1.0\" encoding=\"GBK\"?><bidenv><source>"
      u"<projectname>城南污水处理厂二期工程</projectname>"
      u"<opentime>2026-12-09 09:30:00</opentime>"
      u"<organization>某市公共资源交易中心</organization>"
      u"<rules><rule><m>3</m><n>2</n><openers>" +
      openers + u"</openers></rule></rules></source></bidenv>\n");
}

class CheckWithRulesSealedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto signer = testing::MakeTestSigner({"王五", "华东建设有限公司", 0});
    Write("signer.pem", testing::DerToPem(signer.cert_der));
    Write("signer.key", signer.key_pem);
    const std::string published = PublishedDocument();
    Write("rules/P2026001.xml", published);
    std::string differing = published;
    differing[differing.find(WideToAnsi(u"二期"))] ^= 1;  // one byte of the project name
    Seal("good.bidx", published);
    Seal("differing.bidx", differing);
    devserver::ServerOptions options;
    options.root = dir_.string();
    server_ = std::make_unique<devserver::DevServer>(options);
    std::string error;
    ASSERT_EQ(server_->Start(&error), 0) << error;
    settings_.Write("[WorkingDir]\npath=" + dir_.string() +
                    "\n[BidRuleFileURL]\nurl=" + server_->RulesUrl() + "\n");
  }
  void Write(const std::string& name, const std::string& bytes) { folder_.Write(name, bytes); }
  void Seal(const std::string& name, const std::string& rules) {
    Write("sealed.xml", rules);
    bidx::SealOptions options;
    options.out_path = (dir_ / name).string();
    options.cert_path = (dir_ / "signer.pem").string();
    options.key_path = (dir_ / "signer.key").string();
    options.rules_path = (dir_ / "sealed.xml").string();
    std::ostringstream err;
    ASSERT_EQ(bidx::RunSeal(options, err), 0) << err.str();
  }
  int Check(const std::string& name) {
    result_ = CVerifyResult();
    result_.BidPath = Utf8ToWide((dir_ / name).string());
    result_.ProjectNumber = u"P2026001";
    result_.PackageNumber = u"01";
    result_.FinalResult = u"没通过";
    return CheckBidWithRules(result_, dialog_);
  }

  testing::ScopedEnv tz_{"TZ", "Asia/Shanghai"};
  testing::TempFolder folder_;
  fs::path dir_ = folder_.path();
  testing::ScopedSettings settings_;
  std::unique_ptr<devserver::DevServer> server_;
  CVerifyResult result_;
  MemoryDialog dialog_;
};

TEST_F(CheckWithRulesSealedTest, PublishedRulesFilePasses) {
  ASSERT_EQ(Check("good.bidx"), kBidCheckPassed) << WideToUtf8(result_.ErrorDetail);
  EXPECT_EQ(result_.FinalResult, u"通过");
  EXPECT_EQ(result_.BidderName, u"王五");
  EXPECT_EQ(result_.TenderOrg, u"某市公共资源交易中心");
  EXPECT_EQ(result_.OpenTime, u"2026-12-09 09:30:00");
  EXPECT_EQ(result_.ProjectName, u"城南污水处理厂二期工程");
  std::vector<std::string> names;
  for (const UniqueCert& cert : result_.OpenerCerts) {
    char* name = nullptr;
    ASSERT_EQ(TavikPKICertGetCertStringAttribute(cert.get(), 20, &name), 1);
    names.emplace_back(name);
    TavikPKICryptoFreeMemory(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"开标人甲", "开标人乙", "开标人丙"}));
  // The bidder query reaches the service with the certificate unescaped.
  EXPECT_EQ(QueryRulesWithBidderCert(result_.ProjectNumber, result_.BidderCert.get()), 1);
  std::ifstream log(dir_ / "bidder-queries.log");
  const std::string logged(std::istreambuf_iterator<char>(log), {});
  EXPECT_EQ(logged.rfind("projectid=P2026001&cert=MII", 0), 0u) << logged;
}

TEST_F(CheckWithRulesSealedTest, SealedRulesFileOneByteDifferentFails) {
  EXPECT_EQ(Check("differing.bidx"), kBidCheckFailed);
  EXPECT_EQ(result_.ErrorDetail, u"标书中的规则文件和下载的规则文件不一致！!");
  EXPECT_EQ(result_.OpenerCerts.size(), 3u);
  EXPECT_EQ(dialog_.GetControlText(kEditStepRulesFile), u"×");
}

TEST_F(CheckWithRulesSealedTest, StoppedServiceFailsTheDownload) {
  server_->Stop();
  EXPECT_EQ(Check("good.bidx"), kBidCheckDownloadFailed);
  EXPECT_EQ(result_.ErrorDetail, u"下载规则文件失败!");
  EXPECT_EQ(result_.ErrorAdvice, u"请检查服务器地址配置是否正确,以及该地址是否可连接！");
  EXPECT_FALSE(result_.VerifyCode.empty());
  EXPECT_TRUE(result_.OpenerCerts.empty());
}

// A rules document nested 100,000 elements deep, which overflowed TinyXML's
// stack: sealed by bidx (counts default to 1), checked without rules file
// (passes on the signature, no project data), published and downloaded (no
// openers), and answered to the bidder query.
TEST_F(CheckWithRulesSealedTest, DocumentNestedTooDeepIsRefusedWithoutACrash) {
  std::string deep = PublishedDocument(), nested;
  for (int i = 0; i < 100000; ++i)
    nested += "<x>";
  deep.insert(deep.find("<rules>"), nested);
  Write("rules/P2026001.xml", deep);
  Seal("deep.bidx", deep);
  result_.BidPath = Utf8ToWide((dir_ / "deep.bidx").string());
  ASSERT_EQ(CheckBidWithoutRules(result_, dialog_), kBidCheckPassed);
  EXPECT_EQ(result_.ProjectName, u"");
  EXPECT_EQ(Check("deep.bidx"), kBidCheckFailed);
  EXPECT_EQ(result_.ErrorDetail, u"获取开标人的证书失败！");
  EXPECT_EQ(QueryRulesWithBidderCert(result_.ProjectNumber, result_.BidderCert.get()), 1);
}

}  // namespace
}  // namespace brevalt
