// The rules-file library through its C interface against the devserver's
// rules service on loopback: download, comparison, the questions about the
// downloaded document, and every way the exchange can fail.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "devserver/dev_server.h"
#include "support/temp_folder.h"
#include "tavik/bidrules/rules_errors.h"
#include "tavik/bidrules/rules_file_document.h"
#include "tavik/bidrules/rules_http.h"
#include "tavik/tavik_handles.h"

namespace brevalt {
namespace {

namespace rf = rulesfile;
using Clock = std::chrono::steady_clock;

// A bid environment document: a GBK organisation with an entity, three
// openers whose cert texts hold base64's "+", "/" and "=".
constexpr char kDocument[] =
    "<?xml version=\"1.0\" encoding=\"GBK\"?>\n"
    "<bidenv><source><projectname>P</projectname>"
    "<organization>\xb2\xe2\xca\xd4 A&amp;B</organization>"
    "<opentime>2011-03-15 10:00:00</opentime>"
    "<rules><rule><m>3</m><n>2</n><openers>"
    "<opener><cert>MIIA+first/1=</cert><participate>YES</participate></opener>"
    "<opener><cert>MIIB second==</cert><participate>NO</participate></opener>"
    "<opener><participate>YES</participate><cert>MIIC+third</cert></opener>"
    "</openers></rule></rules></source></bidenv>\n";

class BidRulesFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_.Write("rules/P001.xml", kDocument);
    devserver::ServerOptions options;
    options.root = root_.path();
    server_ = std::make_unique<devserver::DevServer>(options);
    AddTestRoutes(server_->http());
    std::string error;
    ASSERT_EQ(server_->Start(&error), 0) << error;
  }
  void TearDown() override { rf::SetTimeoutsForTesting(0, 0); }

  void AddTestRoutes(httplib::Server& http) {
    http.Post("/slow", [](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1000));
      res.set_content(kDocument, "application/xml");
    });
    http.Post("/capture", [this](const httplib::Request& req, httplib::Response& res) {
      captured_type_ = req.get_header_value("Content-Type");
      res.set_content(req.body, "text/plain");
    });
    http.Post("/reply", [this](const httplib::Request&, httplib::Response& res) {
      res.status = reply_status_;
      res.set_content(reply_body_, "application/xml");
    });
    http.Post("/redirect",
              [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/rules"); });
  }

  // A handle aimed at url, after one GetRules of query; *rc its result.
  UniqueRulesFile Download(const std::string& url, const std::string& query, int* rc) {
    CTavikBidRulesFile* raw = nullptr;
    EXPECT_EQ(TavikBidRulesFileCreateHandle(&raw), 0);
    UniqueRulesFile handle(raw);
    EXPECT_EQ(TavikBidRulesFileSetTargetUrl(handle.get(), url.c_str()), 0);
    *rc = TavikBidRulesFileGetRules(handle.get(), query.data(), static_cast<int>(query.size()));
    return handle;
  }
  int ReplyCode(int status, std::string body) {
    reply_status_ = status;
    reply_body_ = std::move(body);
    int rc = -1;
    Download(server_->BaseUrl() + "/reply", "projectid=P001", &rc);
    return rc;
  }

  testing::TempFolder root_;
  std::unique_ptr<devserver::DevServer> server_;
  std::string captured_type_;
  int reply_status_ = 200;
  std::string reply_body_;
};

using TextGetter = int (*)(CTavikBidRulesFile*, char*, int*);

// A text through the two-call protocol, as the callers fetch it.
std::string TwoCall(CTavikBidRulesFile* handle, TextGetter get) {
  int length = 0;
  EXPECT_EQ(get(handle, nullptr, &length), 0);
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  EXPECT_EQ(get(handle, buffer.data(), &length), 0);
  return std::string(buffer.data());
}

std::vector<std::string> Certs(CTavikBidRulesFile* handle) {
  int count = -1;
  EXPECT_EQ(TavikBidRulesFileGetCertCount(handle, &count), 0);
  std::vector<std::string> certs;
  for (int i = 0; i < count; ++i) {
    int length = 0;
    EXPECT_EQ(TavikBidRulesFileGetCertLen(handle, i, &length), 0);
    std::vector<unsigned char> buffer(static_cast<size_t>(length));
    int out = 0;
    EXPECT_EQ(TavikBidRulesFileGetCert(handle, i, buffer.data(), &out), 0);
    EXPECT_EQ(out, length);
    certs.emplace_back(buffer.begin(), buffer.end());
  }
  return certs;
}

int Compare(CTavikBidRulesFile* handle, const std::string& bytes) {
  return TavikBidRulesFileCompareFile(handle, reinterpret_cast<const unsigned char*>(bytes.data()),
                                      static_cast<int>(bytes.size()));
}

TEST_F(BidRulesFileTest, DownloadAnswersTheDocumentAndComparesByteForByte) {
  int rc = -1;
  UniqueRulesFile handle = Download(server_->RulesUrl(), "projectid=P001", &rc);
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(TwoCall(handle.get(), TavikBidRulesFileGetOpenOrg), "\xb2\xe2\xca\xd4 A&B");
  EXPECT_EQ(TwoCall(handle.get(), TavikBidRulesFileGetOpenTime), "2011-03-15 10:00:00");
  EXPECT_EQ(Certs(handle.get()),
            (std::vector<std::string>{"MIIA+first/1=", "MIIB second==", "MIIC+third"}));

  const std::string same = kDocument;
  std::string flipped = same;
  flipped[same.size() / 2] ^= 0x01;
  EXPECT_EQ(Compare(handle.get(), same), 0);
  EXPECT_EQ(Compare(handle.get(), flipped), rf::kDifferent);
  EXPECT_EQ(Compare(handle.get(), same + " "), rf::kDifferent);
  EXPECT_EQ(Compare(handle.get(), same.substr(0, same.size() - 1)), rf::kDifferent);
  EXPECT_EQ(TavikBidRulesFileCompareFile(handle.get(), nullptr, 0), rf::kDifferent);

  int length = 0;
  std::vector<char> small(20, '\0');
  EXPECT_EQ(TavikBidRulesFileGetOpenTime(handle.get(), nullptr, &length), 0);
  length -= 1;  // one byte short of the text
  EXPECT_EQ(TavikBidRulesFileGetOpenTime(handle.get(), small.data(), &length), rf::kBufferTooSmall);
  int cert_length = 0;
  EXPECT_EQ(TavikBidRulesFileGetCertLen(handle.get(), 3, &cert_length), rf::kInvalidArgument);
}

TEST_F(BidRulesFileTest, MissingRulesFileGives26AndForgetsTheEarlierDownload) {
  int rc = -1;
  UniqueRulesFile handle = Download(server_->RulesUrl(), "projectid=P001", &rc);
  ASSERT_EQ(rc, 0);
  const std::string other = "projectid=P999";
  EXPECT_EQ(TavikBidRulesFileGetRules(handle.get(), other.data(), static_cast<int>(other.size())),
            TAVIK_RULES_ERR_SPECIAL);
  EXPECT_EQ(Compare(handle.get(), kDocument), rf::kNotDownloaded);
  int count = -1;
  EXPECT_EQ(TavikBidRulesFileGetCertCount(handle.get(), &count), rf::kNotDownloaded);
  EXPECT_EQ(count, -1);
}

TEST_F(BidRulesFileTest, BidderQueryArrivesAsRawBytes) {
  const std::string query = "projectid=P001&cert=MIIA+b/c=%2B&x=1";
  int rc = -1;
  Download(server_->RulesUrl(), query, &rc);
  EXPECT_EQ(rc, 0);
  std::ifstream log(root_.path() + "/bidder-queries.log", std::ios::binary);
  std::stringstream lines;
  lines << log.rdbuf();
  EXPECT_EQ(lines.str(), query + "\n");

  UniqueRulesFile echo = Download(server_->BaseUrl() + "/capture", query, &rc);
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(captured_type_, "application/octet-stream");
  EXPECT_EQ(Compare(echo.get(), query), 0);
}

TEST_F(BidRulesFileTest, EachFailureOfTheExchangeHasItsCode) {
  EXPECT_EQ(ReplyCode(500, "x"), rf::kHttpStatus);
  EXPECT_EQ(ReplyCode(200, ""), rf::kEmptyBody);
  EXPECT_EQ(ReplyCode(200, std::string(rf::kMaxRulesFileBytes + 1, 'x')), rf::kTooLarge);
  EXPECT_EQ(ReplyCode(200, std::string(rf::kMaxRulesFileBytes, 'x')), 0);
  int rc = -1;
  Download(server_->BaseUrl() + "/redirect", "projectid=P001", &rc);
  EXPECT_EQ(rc, rf::kRedirect);
  Download("ftp://127.0.0.1:" + std::to_string(server_->port()) + "/rules", "projectid=P001", &rc);
  EXPECT_EQ(rc, rf::kBadUrl);
  Download("", "projectid=P001", &rc);
  EXPECT_EQ(rc, rf::kNoUrl);
  Download(server_->RulesUrl(), "", &rc);
  EXPECT_EQ(rc, rf::kInvalidArgument);
  EXPECT_EQ(TavikBidRulesFileGetRules(nullptr, "projectid=P001", 14), rf::kInvalidArgument);
}

TEST_F(BidRulesFileTest, SlowServiceTimesOutAndRefusedConnectionFailsFast) {
  rf::SetTimeoutsForTesting(200, 400);
  auto start = Clock::now();
  int rc = -1;
  Download(server_->BaseUrl() + "/slow", "projectid=P001", &rc);
  EXPECT_EQ(rc, rf::kTimedOut);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(900));

  const std::string url = server_->RulesUrl();
  server_.reset();  // nothing listens on the port any more
  start = Clock::now();
  Download(url, "projectid=P001", &rc);
  EXPECT_EQ(rc, rf::kConnectFailed);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(400));
}

// A handle's own limit lowers the library's (the bidder query's short wait).
TEST_F(BidRulesFileTest, HandleLimitShortensTheWait) {
  CTavikBidRulesFile* raw = nullptr;
  ASSERT_EQ(TavikBidRulesFileCreateHandle(&raw), 0);
  UniqueRulesFile handle(raw);
  EXPECT_EQ(TavikBidRulesFileSetTimeout(handle.get(), 0), rf::kInvalidArgument);
  EXPECT_EQ(TavikBidRulesFileSetTimeout(nullptr, 200), rf::kInvalidArgument);
  ASSERT_EQ(TavikBidRulesFileSetTimeout(handle.get(), 200), 0);
  ASSERT_EQ(TavikBidRulesFileSetTargetUrl(handle.get(), (server_->BaseUrl() + "/slow").c_str()), 0);
  const auto start = Clock::now();
  EXPECT_EQ(TavikBidRulesFileGetRules(handle.get(), "projectid=P001", 14), rf::kTimedOut);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(900));
}

// Downloads that are not (complete) bid environment documents: the download
// and the comparison succeed, the questions fail with the document's code.
TEST_F(BidRulesFileTest, QuestionsAboutDocumentsThatCannotAnswerThem) {
  struct Case {
    std::string body;
    int org;         // GetOpenOrg
    int count;       // GetCertCount's result, or the count when that is 0
    int first_cert;  // GetCertLen(0)
  };
  const std::string rule_only = "<bidenv><source><rules><rule/></rules></source></bidenv>";
  std::string openers, nested;
  for (size_t i = 0; i <= rf::kMaxRulesOpeners; ++i)
    openers += "<opener><cert>C</cert></opener>";
  for (size_t i = 0; i < 300; ++i)
    nested = "<x>" + nested + "</x>";
  const std::string beyond_limits[] = {
      "<bidenv><source><rules><rule><openers>" + openers +
          "</openers></rule></rules></source></bidenv>",
      "<bidenv><source><rules><rule>" + nested + "</rule></rules></source></bidenv>",
      rule_only + std::string(rf::kMaxRulesDocumentBytes - rule_only.size() + 1, ' ')};
  const Case cases[] = {
      {"not XML at all", rf::kNotDocument, rf::kNotDocument, rf::kNotDocument},
      {"<bidenv><source><rules><rule>", rf::kNotDocument, rf::kNotDocument, rf::kNotDocument},
      {"<bidenv><source><rules/></source></bidenv>", rf::kNotDocument, rf::kNotDocument,
       rf::kNotDocument},
      {rule_only + std::string("\0x", 2), rf::kNotDocument, rf::kNotDocument, rf::kNotDocument},
      {rule_only, rf::kNoElement, 0, rf::kInvalidArgument},
      {"<bidenv><source><organization/><rules><rule><openers><opener><cert/></opener>"
       "<opener/></openers></rule></rules></source></bidenv>",
       0, 2, rf::kNoCertText},
      {beyond_limits[0], rf::kNotDocument, rf::kNotDocument, rf::kNotDocument},
      {beyond_limits[1], rf::kNotDocument, rf::kNotDocument, rf::kNotDocument},
      {beyond_limits[2], rf::kNotDocument, rf::kNotDocument, rf::kNotDocument},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body.substr(0, 80));
    reply_body_ = c.body;
    int rc = -1;
    UniqueRulesFile handle = Download(server_->BaseUrl() + "/reply", "projectid=P001", &rc);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(Compare(handle.get(), c.body), 0);
    int length = 0;
    EXPECT_EQ(TavikBidRulesFileGetOpenOrg(handle.get(), nullptr, &length), c.org);
    int count = -1;
    rc = TavikBidRulesFileGetCertCount(handle.get(), &count);
    EXPECT_EQ(rc == 0 ? count : rc, c.count);
    EXPECT_EQ(TavikBidRulesFileGetCertLen(handle.get(), 0, &length), c.first_cert);
  }
}

}  // namespace
}  // namespace brevalt
