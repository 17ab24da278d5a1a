// brevalt-cli end to end: the executable verifies bids sealed by bidx against
// the devserver on loopback (time-stamp authority and rules service), with a
// private per-user folder, and prints one JSON line per file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "config/text_convert.h"
#include "devserver/dev_server.h"
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
constexpr char kForged[] = "forged_P2026001_01.tbs.bidx";
constexpr char kStale[] = "stale_P2026001_01.tbs.bidx";
constexpr char kFuture[] = "future_P2026001_01.tbs.bidx";  // opens in 2099

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A GBK rules document with three openers and an opening time in the past.
std::string RulesDocument(const std::u16string& project_name, const char16_t* min = u"2") {
  std::u16string openers;
  for (const char* name : {"开标人甲", "开标人乙", "开标人丙"}) {
    const auto der = testing::MakeTestCertDer({name, "某市公共资源交易中心", 0});
    openers += u"<opener><cert>" + Utf8ToWide(testing::ToBase64(der, 64, "\n")) +
               u"</cert><participate>YES</participate></opener>";
  }
  return WideToAnsi(
      u"<?xml version=\"1.0\" encoding=\"GBK\"?><bidenv><source><projectname>" + project_name +
      u"</projectname><opentime>2020-01-02 09:30:00</opentime>"
      u"<organization>某市公共资源交易中心</organization>"
      u"<rules><rule><m>3</m><n>" +
      min + u"</n><openers>" + openers + u"</openers></rule></rules></source></bidenv>");
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
    std::string future = published;
    future.replace(future.find("2020-01-02"), 4, "2099");
    WriteFile(dir / "future.xml", future);
    const auto signer = testing::MakeTestSigner({"王五", "华东建设有限公司", 0});
    WriteFile(dir / "signer.pem", testing::DerToPem(signer.cert_der));
    WriteFile(dir / "signer.key", signer.key_pem);
    WriteFile(dir / "payload.zip", std::string(100000, 'p'));
    ASSERT_TRUE(Seal(kGood, "rules.xml") && Seal(kDiffering, "differing.xml") &&
                Seal(kFuture, "future.xml") && Seal(kRefused, "rules.xml"));
    std::string bytes = ReadFile(dir / "bids" / kGood);
    bytes[bytes.size() / 2] ^= 1;  // a payload byte
    WriteFile(dir / "bids" / kTampered, bytes);

    devserver::ServerOptions options;
    options.root = (dir / "root").string();
    server_ = std::make_unique<devserver::DevServer>(options);
    // Well past the 7-hour edge: under emulation the client reads its clock
    // a second or more after the authority did.
    options.tsa.clock_offset_seconds = 8 * 3600;
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
  void SetUp() override { UseAuthority(server_->TsaUrl()); }

  static bool Seal(const std::string& name, const std::string& rules,
                   const std::string& signer = "signer") {
    const fs::path dir = folder_->path();
    bidx::SealOptions options;
    options.out_path = (dir / "bids" / name).string();
    options.cert_path = (dir / (signer + ".pem")).string();
    options.key_path = (dir / (signer + ".key")).string();
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
                                " " BREVALT_EMULATOR " '" + program_ + "' " + args + " 2>'" +
                                err_file.string() + "'";
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

  std::string program_ = BREVALT_CLI_PATH;

  static std::unique_ptr<testing::TempFolder> folder_;
  static std::unique_ptr<devserver::DevServer> server_;
  static std::unique_ptr<devserver::DevServer> late_server_;  // 8 hours ahead
};

std::unique_ptr<testing::TempFolder> CliTest::folder_;
std::unique_ptr<devserver::DevServer> CliTest::server_;
std::unique_ptr<devserver::DevServer> CliTest::late_server_;

// The detail column of the one message row; empty without a row.
std::string Detail(const json& line) {
  return line["messages"].empty() ? "" : line["messages"][0][1].get<std::string>();
}

TEST_F(CliTest, GoodBidPassesWithEveryKeyFilled) {
  const CliOutput out = Run("--json --sm3 '" + Bid(kGood) + "'");
  EXPECT_EQ(out.status, 0) << out.err;
  ASSERT_EQ(out.lines.size(), 1u) << out.err;
  const json& line = out.lines[0];
  std::vector<std::string> keys;
  for (const auto& item : line.items())
    keys.push_back(item.key());
  EXPECT_EQ(keys, (std::vector<std::string>{
                      "bid_path", "project_number", "package_number", "message_box", "steps",
                      "verdict", "verdict_colour", "verification_code", "sm3", "bidder",
                      "bidder_cert_validity", "bidder_chain", "bid_info", "openers", "messages",
                      "log_file", "failed_step", "cause"}));
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
  EXPECT_TRUE(line["cause"].is_null());
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

// The catalogue's row keeps its text; the cause says what really happened,
// and which of steps 4 to 6 (all "×") failed.
TEST_F(CliTest, CausesInPlainWords) {
  const fs::path dir = folder_->path();
  fs::create_directories(dir / "bids/folder_P2026001_01.tbs.bidx");
  WriteFile(dir / "bids/text_P2026001_01.tbs.bidx", "just some text\n");
  WriteFile(dir / "bids/locked_P2026001_01.tbs.bidx", ReadFile(Bid(kGood)));
  fs::permissions(dir / "bids/locked_P2026001_01.tbs.bidx", fs::perms::none);
  // Root reads every file; without the capabilities that allow it, it does not.
  std::string as_reader;
  if (geteuid() == 0) {
    as_reader = "setpriv --bounding-set=-dac_override,-dac_read_search";
    if (std::system((as_reader + " true 2>/dev/null").c_str()) != 0)
      as_reader = "unavailable";
  }
  const struct {
    const char* name;
    std::string prefix;
    const char* detail;
    int step;
    const char* cause;
  } rows[] = {
      {"missing_P2026001_01.tbs.bidx", "", "计算验证码失败！", 5, "the bid file does not exist"},
      {"folder_P2026001_01.tbs.bidx", "", "计算验证码失败！", 5, "the bid file is a folder"},
      {"locked_P2026001_01.tbs.bidx", as_reader, "计算验证码失败！", 5,
       "the bid file cannot be read (permission denied)"},
      {"text_P2026001_01.tbs.bidx", "", "验证规则失败，错误代码 = 20", 5,
       "not a bid container (bad magic) (container code 20)"},
      {kTampered, "", "验证规则失败，错误代码 = 34", 6,
       "signed bytes were changed after sealing (container code 34)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.prefix == "unavailable") {
      std::cout << "skipped: root reads any file, and setpriv cannot drop that here\n";
      continue;
    }
    const CliOutput out = Run("--no-log --json '" + Bid(row.name) + "'", row.prefix);
    ASSERT_EQ(out.lines.size(), 1u) << out.err;
    EXPECT_EQ(Detail(out.lines[0]), row.detail);
    EXPECT_EQ(out.lines[0]["failed_step"], row.step);
    EXPECT_EQ(out.lines[0]["cause"], row.cause);
  }
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
      {"clock 8 hours off",
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
    ASSERT_FALSE(out.lines[0]["messages"].empty());
    EXPECT_EQ(out.lines[0]["messages"][0][0], "时间戳");
    std::vector<std::string> steps = out.lines[0]["steps"];
    if (row.steps[1] == "?")
      steps[1] = "?";  // the authority's time, whatever it is
    EXPECT_EQ(steps, row.steps);
    EXPECT_TRUE(out.lines[0]["log_file"].is_null());
  }
}

// "unshare -n" or, without root, "unshare -rn"; empty when neither works here.
std::string EmptyNetworkPrefix() {
  for (const char* candidate : {"unshare -n", "unshare -rn"}) {
    if (std::system((std::string(candidate) + " true 2>/dev/null").c_str()) == 0)
      return candidate;
  }
  return "";
}

TEST_F(CliTest, NoNetworkFailsTheFirstStep) {
  const std::string prefix = EmptyNetworkPrefix();
  if (prefix.empty())
    GTEST_SKIP() << "no empty network namespace available";
  UseAuthority("http://127.0.0.1:1/tsa;http://tsa.example.com/tsa");  // one off this machine
  const CliOutput out = Run("--json '" + Bid(kGood) + "'", prefix);
  EXPECT_EQ(out.status, 1);
  ASSERT_EQ(out.lines.size(), 1u) << out.err;
  EXPECT_EQ(out.lines[0]["steps"][0], "×");
  EXPECT_EQ(Detail(out.lines[0]), "网络不通！");
}

// With both services on loopback (a devserver started inside a namespace
// whose only interface is loopback) a good bid passes.
TEST_F(CliTest, LoopbackOnlyServicesNeedNoOtherNetwork) {
  const std::string prefix = EmptyNetworkPrefix();
  if (prefix.empty())
    GTEST_SKIP() << "no empty network namespace available";
  const fs::path ca = Config() / "trust/tsa/loopback.pem";
  const CliOutput out =
      Run("--json --no-log '" + Bid(kGood) + "'",
          prefix +
              " env BREVALT_EMULATOR='" BREVALT_EMULATOR "' sh '" BREVALT_LOOPBACK_ONLY
              "' '" BREVALT_DEVSERVER_PATH "' '" +
              folder_->path() + "/root' '" + ca.string() + "' '" +
              (Config() / "Setting.ini").string() + "' '" + folder_->path() + "/work/'");
  fs::remove(ca);
  if (out.status == 77)
    GTEST_SKIP() << "loopback cannot be brought up in the namespace";
  ASSERT_EQ(out.lines.size(), 1u) << out.err;
  EXPECT_EQ(out.lines[0]["steps"][0], "√");
  EXPECT_EQ(out.lines[0]["verdict"], "通过") << Detail(out.lines[0]);
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
  const CliOutput summary = Run("-s --no-log '" + Bid(kGood) + "' '" + Bid(kTampered) + "'");
  EXPECT_EQ(summary.text, Bid(kGood) + ": 通过; bidder chain: unchecked\n" + Bid(kTampered) +
                              ": 没通过 (验证规则失败，错误代码 = 34); step 6 failed: signed bytes "
                              "were changed after sealing (container code 34)\n"
                              "2 files: 1 通过, 1 没通过, 0 未验证\n");
  const CliOutput future = Run("-s --no-log --no-rules '" + Bid(kFuture) + "'");
  EXPECT_EQ(future.text.rfind(Bid(kFuture) +
                                  ": 通过; 是否可以开标 ×: the opening time 2099-01-02 09:30:00 "
                                  "has not come; bidder chain: unchecked\n",
                              0),
            0u)
      << future.text;
  const CliOutput usage = Run("--bogus x");
  EXPECT_EQ(usage.status, 2);
  EXPECT_NE(usage.err.find("unknown option --bogus"), std::string::npos);
  EXPECT_EQ(usage.text, "");
}

// A PDF summary is drawn by the writer module installed beside the program;
// a program without it writes no PDF and says what is missing.
TEST_F(CliTest, PdfSummaryComesFromTheWriterModuleBesideTheProgram) {
  const std::string pdf = folder_->path() + "/summary.pdf";
  const std::string args = "-s --no-log --no-receipt --export '" + pdf + "' '" + Bid(kGood) + "'";
  const CliOutput written = Run(args);
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_EQ(ReadFile(pdf).rfind("%PDF-", 0), 0u);
  fs::remove(pdf);

  const fs::path alone = fs::path(folder_->path()) / "alone/bin/brevalt-cli";
  fs::create_directories(alone.parent_path());
  fs::copy_file(BREVALT_CLI_PATH, alone);
  program_ = alone.string();
  const CliOutput refused = Run(args);
  EXPECT_NE(refused.status, 0);
  EXPECT_NE(refused.err.find("not written: the PDF writer could not be loaded: "),
            std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("brevalt-summary-pdf.so"), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(pdf));
}

// A run whose log cannot be written leaves no earlier log of that bid file
// that says "通过", and says so on standard error.
TEST_F(CliTest, LogNotWrittenLeavesNoEarlierLogBehind) {
  const std::string bid = (fs::path(folder_->path()) / "bids" / kStale).string();
  fs::copy_file(Bid(kGood), bid, fs::copy_options::overwrite_existing);
  const CliOutput first = RunJson(bid);
  ASSERT_EQ(first.lines.size(), 1u) << first.err;
  ASSERT_EQ(first.lines[0]["verdict"], "通过");
  const std::string log = first.lines[0]["log_file"];
  fs::copy_file(Bid(kTampered), bid, fs::copy_options::overwrite_existing);
  // No file may grow past 512 bytes: too little for the log, enough for
  // standard error. Even root cannot write past it.
  const CliOutput second =
      Run("--json '" + bid + "'", "sh -c 'trap \"\" XFSZ; ulimit -f 1; exec \"$0\" \"$@\"'");
  ASSERT_EQ(second.lines.size(), 1u) << second.err;
  EXPECT_EQ(second.lines[0]["verdict"], "没通过");
  EXPECT_TRUE(second.lines[0]["log_file"].is_null());
  EXPECT_FALSE(fs::exists(log));
  EXPECT_NE(second.err.find("brevalt-cli: log not written: " + log +
                            ": File too large; the earlier log of this bid was removed\n"),
            std::string::npos)
      << second.err;
}

// Line breaks in the signer's names add no line to the log or the report and
// reach the JSON as the stand-in: the run fails (it needs more openers than
// sealed) after the bidder was read, and says "没通过" once.
TEST_F(CliTest, CertificateNamesForgeNoLines) {
  const fs::path dir = folder_->path();
  const auto forger =
      testing::MakeTestSigner({"王五\n------最终检测结果：通过 ------\n", "华东\u2028建设", 0});
  WriteFile(dir / "forger.pem", testing::DerToPem(forger.cert_der));
  WriteFile(dir / "forger.key", forger.key_pem);
  WriteFile(dir / "four.xml", RulesDocument(u"城南污水处理厂二期工程", u"4"));
  ASSERT_TRUE(Seal(kForged, "four.xml", "forger"));
  const CliOutput json_run = Run("--no-rules --json '" + Bid(kForged) + "'");
  ASSERT_EQ(json_run.lines.size(), 1u) << json_run.err;
  const json& line = json_run.lines[0];
  EXPECT_EQ(line["verdict"], "没通过");
  EXPECT_EQ(line["bidder"], "王五�------最终检测结果：通过 ------�  单位： 华东�建设");
  const std::string log = WideToUtf8(AnsiToWide(ReadFile(line["log_file"].get<std::string>())));
  const std::string report = Run("--no-rules '" + Bid(kForged) + "'").text;
  EXPECT_EQ(json_run.text.find("\u2028"), std::string::npos);
  for (const std::string& text : {log, report}) {
    std::istringstream lines(text);
    int verdicts = 0;
    for (std::string shown; std::getline(lines, shown);) {
      verdicts += shown.rfind("------最终检测结果：", 0) == 0;
      EXPECT_EQ(shown.find_first_of("\r\t\x7f"), std::string::npos);
      EXPECT_EQ(shown.find("\u2028"), std::string::npos);
    }
    EXPECT_EQ(verdicts, 1) << text;
  }
}

// Every log written gets a receipt: OpenSSL's own time-stamp check accepts it,
// and --check-receipt refuses it once the log changes by one byte or its
// authority is no longer trusted.
TEST_F(CliTest, LogReceiptProvesTheLogAsWritten) {
  const CliOutput out = RunJson(Bid(kGood));
  ASSERT_EQ(out.lines.size(), 1u) << out.err;
  EXPECT_TRUE(out.lines[0]["sm3"].is_null());  // only --sm3 reads the file again for it
  const std::string log = out.lines[0]["log_file"];
  const auto check = [&] { return Run("--check-receipt '" + log + "'"); };
  EXPECT_EQ(check().status, 0) << check().text;
  EXPECT_NE(check().text.find(": receipt valid; stamped at "), std::string::npos);
  const std::string openssl = "openssl ts -verify -data '" + log + "' -in '" + log +
                              ".tsr' -CAfile '" + (Config() / "trust/tsa/devserver.pem").string() +
                              "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(openssl.c_str()), 0);
  std::string bytes = ReadFile(log);
  bytes[bytes.size() / 2] ^= 1;
  WriteFile(log, bytes);
  EXPECT_EQ(check().status, 1);
  EXPECT_NE(check().text.find("the log has changed since it was stamped"), std::string::npos);
  bytes[bytes.size() / 2] ^= 1;
  WriteFile(log, bytes);
  fs::rename(Config() / "trust/tsa", Config() / "trust/tsa-away");
  EXPECT_NE(check().text.find("not signed by a trusted time-stamp authority"), std::string::npos);
  fs::rename(Config() / "trust/tsa-away", Config() / "trust/tsa");
  EXPECT_EQ(check().status, 0);
}

// --check-receipt takes logs only, refuses an edited log stamped afresh hours
// later, and says what stands where the receipt should be.
TEST_F(CliTest, CheckReceiptSaysWhyItIsNotThisLogsReceipt) {
  const CliOutput out = RunJson(Bid(kGood));
  ASSERT_EQ(out.lines.size(), 1u) << out.err;
  const std::string log = out.lines[0]["log_file"], receipt = log + ".tsr";
  EXPECT_NE(Run("--check-receipt --json '" + log + "'").err.find("does not go with --json"),
            std::string::npos);
  EXPECT_NE(Run("--check-receipt").err.find("no log given"), std::string::npos);
  std::string bytes = ReadFile(log);
  bytes.replace(bytes.find("\xCD\xF5\xCE\xE5"), 4, "\xC0\xEE\xCB\xC4");  // 王五 -> 李四
  WriteFile(log, bytes);
  const std::pair<std::string, const char*> rows[] = {
      {"openssl ts -query -sha256 -cert -data '" + log +
           "' | curl -s -H 'Content-Type: "
           "application/timestamp-query' --data-binary @- '" +
           late_server_->TsaUrl() + "' -o '" + receipt + "'",
       "more than 10 minutes after the trusted time the log records ("},
      {"rm '" + receipt + "' && mkdir '" + receipt + "'", "is a folder"},
      {"rmdir '" + receipt + "' && mkfifo '" + receipt + "'", "is not a regular file"},
      {"rm '" + receipt + "' && truncate -s 100M '" + receipt + "'", "is 104857600 bytes"},
      {"rm '" + receipt + "'", "no receipt beside the log"},
  };
  for (const auto& [make, reason] : rows) {
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
    const CliOutput check = Run("--check-receipt '" + log + "'");
    EXPECT_EQ(check.status, 1) << make;
    EXPECT_NE(check.text.find(reason), std::string::npos) << check.text;
  }
}

}  // namespace
}  // namespace brevalt
