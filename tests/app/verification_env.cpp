#include "app/verification_env.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "config/text_convert.h"
#include "tavik/pki/test_certs.h"
#include "tools/bidx/seal_command.h"

namespace brevalt::app::testing {
namespace {

namespace fs = std::filesystem;
using brevalt::testing::MakeTestCertDer;
using brevalt::testing::MakeTestSigner;

// The bid environment document of kProject in GBK; its opening time lies in
// the past, so the openers are listed.
std::string RulesDocument() {
  std::u16string openers;
  for (const char* name : {"开标人甲", "开标人乙", "开标人丙"}) {
    const std::vector<unsigned char> der = MakeTestCertDer({name, "某市公共资源交易中心", 0});
    openers += u"<opener><cert>" + Utf8ToWide(brevalt::testing::ToBase64(der, 64, "\n")) +
               u"</cert><participate>YES</participate></opener>";
  }
  return WideToAnsi(
      u"<?xml version=\"1.0\" encoding=\"GBK\"?><bidenv><source>"
      u"<projectname>城南污水处理厂二期工程</projectname>"
      u"<opentime>2026-01-09 09:30:00</opentime>"
      u"<organization>某市公共资源交易中心</organization>"
      u"<rules><rule><m>3</m><n>2</n><openers>" +
      openers + u"</openers></rule></rules></source></bidenv>");
}

void WriteFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

VerificationEnv::VerificationEnv() {
  if (SealBids() && StartServer())
    WriteSettings(server_->RulesUrl());
}

VerificationEnv::~VerificationEnv() {
  ReleaseRules();
  if (server_)
    server_->Stop();
}

void VerificationEnv::WriteSettings(const std::string& rules_url, const std::string& tsa) const {
  settings_.Write("[TimeStampURL]\nurl=" + (tsa.empty() ? server_->TsaUrl() : tsa) +
                  "\n[BidRuleFileURL]\nurl=" + rules_url + "\n");
}

bool VerificationEnv::SealBids() {
  const std::string dir = folder_.path();
  const auto signer = MakeTestSigner({"王五", "华东建设有限公司", 0});
  const std::string rules = RulesDocument();
  WriteFile(dir + "/signer.pem", brevalt::testing::DerToPem(signer.cert_der));
  WriteFile(dir + "/signer.key", signer.key_pem);
  WriteFile(dir + "/payload.zip", std::string(4096, 'p'));
  WriteFile(dir + "/root/rules/" + kProject + ".xml", rules);
  WriteFile(dir + "/rules.xml", rules);
  good_bid_ = dir + "/bids/demo_" + kProject + "_1.tbs.bidx";
  fs::create_directories(dir + "/bids");
  bidx::SealOptions options;
  options.out_path = good_bid_;
  options.cert_path = dir + "/signer.pem";
  options.key_path = dir + "/signer.key";
  options.payload_path = dir + "/payload.zip";
  options.rules_path = dir + "/rules.xml";
  std::ostringstream err;
  if (bidx::RunSeal(options, err) != 0) {
    error_ = "sealing failed: " + err.str();
    return false;
  }
  std::ifstream in(good_bid_, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  bytes[bytes.size() / 2] ^= 1;
  damaged_bid_ = dir + "/bids/damaged_" + kProject + "_1.tbs.bidx";
  WriteFile(damaged_bid_, bytes);
  return true;
}

bool VerificationEnv::StartServer() {
  devserver::ServerOptions options;
  options.root = folder_.path() + "/root";
  options.write_ca_path = settings_.root() + "/TAVIK/qzv/trust/tsa/devserver.pem";
  fs::create_directories(fs::path(options.write_ca_path).parent_path());
  server_ = std::make_unique<devserver::DevServer>(options);
  server_->http().Post("/held-rules", [this](const httplib::Request&, httplib::Response& res) {
    std::unique_lock lock(mutex_);
    released_.wait_for(lock, std::chrono::seconds(20), [this] { return release_; });
    res.status = 404;
  });
  server_->http().Post("/slow-tsa", [this](const httplib::Request& req, httplib::Response& res) {
    std::unique_lock lock(mutex_);
    if (first_stamp_.empty())
      first_stamp_ = req.body;  // a trusted time: its imprint, after the version, never changes
    if (req.body.compare(2, 48, first_stamp_, 2, 48) != 0)
      released_.wait_for(lock, std::chrono::milliseconds(stamp_delay_ms_),
                         [this] { return release_; });
    lock.unlock();
    const auto* query = reinterpret_cast<const unsigned char*>(req.body.data());
    const std::vector<unsigned char> answer = server_->tsa()->Respond({query, req.body.size()});
    res.set_content(std::string(answer.begin(), answer.end()), "application/timestamp-reply");
  });
  if (server_->Start(&error_) != 0)
    return false;
  error_.clear();
  return true;
}

void VerificationEnv::HoldRules() {
  {
    std::lock_guard lock(mutex_);
    release_ = false;
  }
  WriteSettings(server_->BaseUrl() + "/held-rules");
}

void VerificationEnv::SlowReceiptStamps(int delay_ms) {
  {
    std::lock_guard lock(mutex_);
    release_ = false;
    stamp_delay_ms_ = delay_ms;
    first_stamp_.clear();
  }
  WriteSettings(server_->RulesUrl(), server_->BaseUrl() + "/slow-tsa");
}

void VerificationEnv::ReleaseRules() {
  {
    std::lock_guard lock(mutex_);
    release_ = true;
  }
  released_.notify_all();
}

}  // namespace brevalt::app::testing
