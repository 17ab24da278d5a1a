#include "rules/rules_file_client.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/text_convert.h"
#include "fakes/fake_tavik.h"
#include "support/scoped_settings.h"

namespace brevalt {
namespace {

class RulesFileClientTest : public fake::FakeTavikTest {
 protected:
  void SetUp() override {
    FakeTavikTest::SetUp();
    settings_.Write("[BidRuleFileURL]\nurl=http://127.0.0.1:8080/rules\n");
  }
  testing::ScopedSettings settings_;
};

// The bytes each of the client's certificates was built from, in order.
std::vector<std::string> Loaded(const CRulesFileClient& client) {
  std::vector<std::string> bytes;
  for (const UniqueCert& cert : client.m_arrOpenerCerts) {
    unsigned char* text = nullptr;
    int length = 0;
    EXPECT_EQ(TavikPKICertGetCertEncode(cert.get(), 2, &text, &length), 1);
    bytes.emplace_back(reinterpret_cast<char*>(text), static_cast<size_t>(length));
    TavikPKICryptoFreeMemory(text);
  }
  return bytes;
}

TEST_F(RulesFileClientTest, LoadOpenerCertsOutcomes) {
  struct Row {
    const char* name;
    std::vector<std::string> certs;
    std::function<void()> script;
    int rc;
    std::vector<std::string> loaded;  // base64, as encode form 2 gives them
  };
  const Row rows[] = {
      {"three in index order", {"A", "BB", "CCC"}, [] {}, 0, {"QQ==", "QkI=", "Q0ND"}},
      {"none", {}, [] {}, 0, {}},
      {"second of three has length 0", {"A", "", "CCC"}, [] {}, 0, {}},
      {"GetCert fails with 7",
       {"A"},
       [] { fake::SetFillCallResult("TavikBidRulesFileGetCert", 7); },
       7,
       {}},
      {"third length fails",
       {"A", "B", "C"},
       [] { fake::SetResultOnCall("TavikBidRulesFileGetCertLen", 3, 9); },
       9,
       {}},
      {"certificate refused", {"A", "BB"}, [] { fake::RegisterInvalidCert("BB"); }, -1, {}},
      {"count unreadable",
       {"A"},
       [] { fake::SetResult("TavikBidRulesFileGetCertCount", 5); },
       -1,
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::Reset();
    fake::SetRules({.certs = row.certs});
    row.script();
    CRulesFileClient client;
    EXPECT_EQ(client.LoadOpenerCerts(), row.rc);
    EXPECT_EQ(Loaded(client), row.loaded);
  }
}

TEST_F(RulesFileClientTest, QueryAndOrganisationInTheAnsiCodePage) {
  fake::SetRules({.open_org = WideToAnsi(u"交易中心AB")});  // 10 bytes
  CRulesFileClient client;
  EXPECT_EQ(client.PrepareQuery(u"项目+1"), 0);
  EXPECT_EQ(client.m_strQuery, "projectid=\xCF\xEE\xC4\xBF+1");
  EXPECT_EQ(client.GetOpenOrg(), u"交易中心AB");
  EXPECT_EQ(fake::CallLog(),
            "TavikBidRulesFileCreateHandle\n"
            "TavikBidRulesFileSetTargetUrl url=http://127.0.0.1:8080/rules\n"
            "TavikBidRulesFileGetOpenOrg buffer=null length=0\n"
            "TavikBidRulesFileGetOpenOrg buffer=set length=10\n");
}

// Answers 0, 26 and others map to 1, 2 and 0. A query of 2047 bytes goes out
// whole; one byte more is not sent at all, nor is anything without a bidder.
TEST_F(RulesFileClientTest, BidderQueryOutcomes) {
  EXPECT_EQ(QueryRulesWithBidderCert(u"P1", nullptr), 1);
  EXPECT_FALSE(fake::AnyCall());
  const size_t room = kBidderQueryCapacity - 1 - std::string("projectid=P1&cert=").size();
  const struct {
    size_t encoded;
    int answer;
    int mapped;
  } rows[] = {{8, 0, 1}, {8, 26, 2}, {8, 500, 0}, {room, 0, 1}, {room + 1, 0, 0}};
  for (const auto& row : rows) {
    fake::Reset();
    fake::RegisterCert("BIDDER", {.encoded = std::string(row.encoded, '+')});
    fake::SetResult("TavikBidRulesFileGetRules", row.answer);
    UniqueCert cert(TavikPKICertNewCert(reinterpret_cast<const unsigned char*>("BIDDER"), 6));
    EXPECT_EQ(QueryRulesWithBidderCert(u"P1", cert.get()), row.mapped) << row.answer;
    const bool sent = row.encoded <= room;
    const std::string wait =
        "TavikBidRulesFileSetTimeout ms=" + std::to_string(kBidderQueryWait.count());
    EXPECT_EQ(fake::Calls("TavikBidRulesFileSetTimeout"),
              sent ? std::vector<std::string>{wait} : std::vector<std::string>{});
    EXPECT_EQ(fake::Calls("TavikBidRulesFileGetRules"),
              sent ? std::vector<std::string>{"TavikBidRulesFileGetRules query=projectid=P1&cert=" +
                                              std::string(row.encoded, '+')}
                   : std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace brevalt
