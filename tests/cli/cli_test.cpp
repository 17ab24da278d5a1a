// brevalt-cli end to end: the executable verifies bids sealed by bidx against
// the devserver on loopback (time-stamp authority and rules service), with a
// private per-user folder, and prints one JSON line per file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "config/text_convert.h"
#include "devserver/dev_server.h"
#include "platform/network_state.h"
#include "support/temp_folder.h"
#include "tavik/pki/test_certs.h"
#include "tools/bidx/seal_command.h"

namespace brevalt {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;  // keeps the printed key order

constexpr char kProject[] = "P2026001";
constexpr char kGood[] = "good_P2026001_01.tbs.bidx";
constexpr char kTampered[] = "tampered_P2026001_01.tbs.bidx";
constexpr char kDiffering[] = "differing_P2026001_01.tbs.bidx";
constexpr char kRefused[] = "refused_P2026_001_01.tbs.bidx";  // four pieces

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A GBK rules document with three openers and an opening time in the past.
std::string RulesDocument(const std::u16string& project_name) {
  std::u16string openers;
  for (const char* name : {"开标人甲", "开标人乙", "开标人丙"}) {
    const auto der = testing::MakeTestCertDer({name, "某市公共资源交易中心", 0});
    openers += u"<opener><cert>" + Utf8ToWide(testing::ToBase64(der, 64, "\n")) +
               u"</cert><participate>YES</participate></opener>";
  }
  return WideToAnsi(u"<?xml version=\"1.0\" encoding=\"GBK\"?><bidenv><source><projectname>" +
                    project_name +
                    u"</projectname><opentime>2020-01-02 09:30:00</opentime>"
                    u"<organization>某市公共资源交易中心</organization>"
                    u"<rules><rule><m>3</m><n>2</n><openers>" +
                    openers + u"</openers></rule></rules></source></bidenv>");
}

struct CliOutput {
  int status = -1;
  std::string text;         // standard output
  std::vector<json> lines;  // each line of it as JSON (discarded when it is none)
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = std::make_unique<testing::TempFolder>();
    const fs::path dir = folder_->path();
    const std::string published = RulesDocument(u"城南污水处理厂二期工程");
    WriteFile(dir / "root/rules" / (std::string(kProject) + ".xml"), published);
    WriteFile(dir / "rules.xml", published);
    WriteFile(dir / "differing.xml", RulesDocument(u"城北污水处理厂"));
    const auto signer = testing::MakeTestSigner({"王五", "华东建设有限公司", 0});
    WriteFile(dir / "signer.pem", testing::DerToPem(signer.cert_der));
    WriteFile(dir / "signer.key", signer.key_pem);
    WriteFile(dir / "payload.zip", std::string(100000, 'p'));
    ASSERT_TRUE(Seal(kGood, "rules.xml") && Seal(kDiffering, "differing.xml") &&
                Seal(kRefused, "rules.xml"));
    std::string bytes = ReadFile(dir / "bids" / kGood);
    bytes[bytes.size() / 2] ^= 1;  // a payload byte
    WriteFile(dir / "bids" / kTampered, bytes);

    devserver::ServerOptions options;
    options.root = (dir / "root").string();
    server_ = std::make_unique<devserver::DevServer>(options);
    options.tsa.clock_offset_seconds = 25200;
    late_server_ = std::make_unique<devserver::DevServer>(options);
    std::string error;
    ASSERT_EQ(server_->Start(&error), 0) << error;
    ASSERT_EQ(late_server_->Start(&error), 0) << error;
    WriteFile(Config() / "trust/tsa/devserver.pem", server_->CaPem());
    WriteFile(Config() / "trust/tsa/late-devserver.pem", late_server_->CaPem());
  }
  static void TearDownTestSuite() {
    server_.reset();
    late_server_.reset();
    folder_.reset();
  }
  void SetUp() override {
    if (!HasNetworkConnection())
      GTEST_SKIP() << "the pre-flight needs a network interface besides loopback";
    UseAuthority(server_->TsaUrl());
  }

  static bool Seal(const std::string& name, const std::string& rules) {
    const fs::path dir = folder_->path();
    bidx::SealOptions options;
    options.out_path = (dir / "bids" / name).string();
    options.cert_path = (dir / "signer.pem").string();
    options.key_path = (dir / "signer.key").string();
    options.payload_path = (dir / "payload.zip").string();
    options.rules_path = (dir / rules).string();
    fs::create_directories(dir / "bids");
    std::ostringstream err;
    return bidx::RunSeal(options, err) == 0;
  }
  static fs::path Config() { return fs::path(folder_->path()) / "config/TAVIK/qzv"; }
  static std::string Bid(const char* name) { return (fs::path(folder_->path()) / "bids" / name); }

  // Setting.ini naming this authority and the devserver's rules service.
  void UseAuthority(const std::string& tsa_url) {
    WriteFile(Config() / "Setting.ini", "[WorkingDir]\npath=" + folder_->path() +
                                            "/work/\n[BidRuleFileURL]\nurl=" + server_->RulesUrl() +
                                            "\n[TimeStampURL]\nurl=" + tsa_url + "\n");
  }

  // Runs brevalt-cli with the private per-user folder, behind prefix (for
  // instance "unshare -n"); one JSON value per line of its output.
  CliOutput Run(const std::string& args, const std::string& prefix = "") {
    const fs::path err_file = fs::path(folder_->path()) / "stderr.txt";
    const std::string command = "XDG_CONFIG_HOME='" + folder_->path() + "/config' " + prefix +
                                " '" BREVALT_CLI_PATH "' " + args + " 2>'" + err_file.string() +
                                "'";
    CliOutput output;
    std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), &pclose);
    if (!pipe)
      return output;
    std::array<char, 4096> chunk;
    for (size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0;)
      output.text.append(chunk.data(), n);
    const int status = pclose(pipe.release());
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(output.text);
    for (std::string line; std::getline(lines, line);)
      output.lines.push_back(json::parse(line, nullptr, false));
    output.err = ReadFile(err_file);
    return output;
  }
  CliOutput RunJson(const std::string& bid) { return Run("--json '" + bid + "'"); }

  static std::unique_ptr<testing::TempFolder> folder_;
  static std::unique_ptr<devserver::DevServer> server_;
  static std::unique_ptr<devserver::DevServer> late_server_;  // 7 hours ahead
};

std::unique_ptr<testing::TempFolder> CliTest::folder_;
std::unique_ptr<devserver::DevServer> CliTest::server_;
std::unique_ptr<devserver::DevServer> CliTest::late_server_;

// The detail column of the one message row; empty without a row.
std::string Detail(const json& line) {
  return line["messages"].empty() ? "" : line["messages"][0][1].get<std::string>();
}

TEST_F(CliTest, GoodBidPassesWithEveryKeyFilled) {
  const CliOutput out = RunJson(Bid(kGood));
  EXPECT_EQ(out.status, 0) << out.err;
  ASSERT_EQ(out.lines.size(), 1u) << out.err;
  const json& line = out.lines[0];
  std::vector<std::string> keys;
  for (const auto& item : line.items())
    keys.push_back(item.key());
  EXPECT_EQ(keys,
            (std::vector<std::string>{"bid_path", "project_number", "package_number", "message_box",
                                      "steps", "verdict", "verdict_colour", "verification_code",
                                      "sm3", "bidder", "bidder_cert_validity", "bidder_chain",
                                      "bid_info", "openers", "messages", "log_file"}));
  EXPECT_EQ(line["bid_path"], Bid(kGood));
  EXPECT_EQ(line["project_number"], kProject);
  EXPECT_EQ(line["package_number"], "01");
  EXPECT_TRUE(line["message_box"].is_null());
  EXPECT_EQ(line["steps"][0], "√");
  EXPECT_EQ(line["steps"][1].get<std::string>().size(), 19u);  // "YYYY-MM-DD HH:MM:SS"
  EXPECT_EQ(line["steps"][2], "√");
  EXPECT_EQ(line["steps"][5], "√");
  EXPECT_EQ(line["verdict"], "通过");
  EXPECT_EQ(line["verdict_colour"], "blue");
  EXPECT_EQ(line["verification_code"].get<std::string>().size(), 64u);
  EXPECT_EQ(line["sm3"].get<std::string>().size(), 64u);
  EXPECT_EQ(line["bidder"], "王五  单位： 华东建设有限公司");
  EXPECT_EQ(line["bidder_cert_validity"], "有效");
  EXPECT_EQ(line["bidder_chain"], "unchecked");
  EXPECT_EQ(line["bid_info"].back(), json::array({"是否可以开标", "√"}));
  ASSERT_EQ(line["openers"].size(), 3u);
  EXPECT_EQ(line["openers"][2], json::array({"2", "开标人丙", "有效"}));
  EXPECT_TRUE(line["messages"].empty());
  ASSERT_TRUE(line["log_file"].is_string());
  EXPECT_EQ(line["log_file"], (Config() / "Log" / (std::string(kGood) + ".txt")).string());
  const std::string log = ReadFile(line["log_file"].get<std::string>());
  EXPECT_NE(log.find(WideToAnsi(u"------最终检测结果：通过 ------")), std::string::npos);
  EXPECT_NE(out.err.find(std::string("[1/1] ") + kGood + "…"), std::string::npos);
}

// Several files in one call: one line each, in order, and exit status 1
// because some did not pass.
TEST_F(CliTest, EachFailingBidSaysWhy) {
  const CliOutput out =
      Run("--json '" + Bid(kTampered) + "' '" + Bid(kDiffering) + "' '" + Bid(kRefused) + "'");
  EXPECT_EQ(out.status, 1);
  ASSERT_EQ(out.lines.size(), 3u) << out.err;
  EXPECT_EQ(Detail(out.lines[0]), "验证规则失败，错误代码 = 34");  // content digest mismatch
  EXPECT_EQ(Detail(out.lines[1]), "标书中的规则文件和下载的规则文件不一致！!");
  for (const json& line : {out.lines[0], out.lines[1]}) {
    EXPECT_EQ(line["verdict"], "没通过");
    EXPECT_EQ(line["verdict_colour"], "red");
    EXPECT_EQ(line["steps"][3], "×");
    EXPECT_TRUE(line["log_file"].is_string());
  }
  const json& refused = out.lines[2];
  EXPECT_EQ(refused["message_box"],
            json({{"text",
                   "标书文件名格式不正确！请按照 xxx_项目编号_包组号.tbs.bidx的格式修改文件名后重新"
                   "选择文件！"},
                  {"caption", "警告"}}));
  EXPECT_EQ(refused["verdict"], "");
  EXPECT_EQ(refused["project_number"], "");
  EXPECT_TRUE(refused["log_file"].is_null());
  EXPECT_NE(out.err.find("[3/3] "), std::string::npos);
}

// Runs that stop before the bid check: no log, and the reason in the row.
TEST_F(CliTest, StopsBeforeTheBidCheckWithTheirReason) {
  struct Row {
    const char* name;
    std::string tsa_url;
    const char* detail;
    std::vector<std::string> steps;
  };
  const Row rows[] = {
      {"service down", "http://127.0.0.1:1/tsa", "获取时间戳失败！", {"√", "", "", "", "", ""}},
      {"clock 7 hours off",
       late_server_->TsaUrl(),
       "本计算机系统时间不正确!",
       {"√", "?", "×", "", "", ""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    UseAuthority(row.tsa_url);
    const CliOutput out = RunJson(Bid(kGood));
    EXPECT_EQ(out.status, 1);
    ASSERT_EQ(out.lines.size(), 1u) << out.err;
    EXPECT_EQ(Detail(out.lines[0]), row.detail);
    EXPECT_EQ(out.lines[0]["messages"][0][0], "时间戳");
    std::vector<std::string> steps = out.lines[0]["steps"];
    if (row.steps[1] == "?")
      steps[1] = "?";  // the authority's time, whatever it is
    EXPECT_EQ(steps, row.steps);
    EXPECT_TRUE(out.lines[0]["log_file"].is_null());
  }
}

TEST_F(CliTest, NoNetworkFailsTheFirstStep) {
  std::string prefix;
  for (const char* candidate : {"unshare -n", "unshare -rn"}) {
    if (std::system((std::string(candidate) + " true 2>/dev/null").c_str()) == 0) {
      prefix = candidate;
      break;
    }
  }
  if (prefix.empty())
    GTEST_SKIP() << "no empty network namespace available";
  const CliOutput out = Run("--json '" + Bid(kGood) + "'", prefix);
  EXPECT_EQ(out.status, 1);
  ASSERT_EQ(out.lines.size(), 1u) << out.err;
  EXPECT_EQ(out.lines[0]["steps"][0], "×");
  EXPECT_EQ(Detail(out.lines[0]), "网络不通！");
}

// With a bidder authority installed that did not issue the signer's
// certificate, the container refuses the signer and the line says so.
TEST_F(CliTest, SignerOutsideTheTrustedAuthoritiesIsRefused) {
  WriteFile(Config() / "trust/bidder/other-ca.pem",
            testing::DerToPem(testing::MakeTestCertDer({"Other CA", "", 0})));
  const CliOutput out = Run("--no-rules --no-log --json '" + Bid(kGood) + "'");
  fs::remove_all(Config() / "trust/bidder");
  ASSERT_EQ(out.lines.size(), 1u) << out.err;
  EXPECT_EQ(out.lines[0]["bidder_chain"], "refused");
  EXPECT_EQ(Detail(out.lines[0]), "验证规则失败，错误代码 = 38");
  EXPECT_TRUE(out.lines[0]["log_file"].is_null());
}

// Without --json: the log's report in UTF-8 and a summary line.
TEST_F(CliTest, HumanReportAndUsageError) {
  const CliOutput report = Run("--no-log '" + Bid(kGood) + "'");
  EXPECT_EQ(report.status, 0);
  // No log is written, so the report does not claim one.
  EXPECT_EQ(report.text.rfind(
                "标书路径： " + Bid(kGood) + "\n\n2、验证规则文件：是;     写日志：否.\n", 0),
            0u)
      << report.text;
  EXPECT_NE(report.text.find("\n" + Bid(kGood) + ": 通过; bidder chain: unchecked\n"),
            std::string::npos)
      << report.text;
  const CliOutput usage = Run("--bogus x");
  EXPECT_EQ(usage.status, 2);
  EXPECT_NE(usage.err.find("unknown option --bogus"), std::string::npos);
  EXPECT_EQ(usage.text, "");
}

}  // namespace
}  // namespace brevalt
