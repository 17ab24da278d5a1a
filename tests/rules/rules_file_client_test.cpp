#include "rules/rules_file_client.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/text_convert.h"
#include "fakes/fake_tavik.h"
#include "support/scoped_settings.h"

namespace brevalt {
namespace {

constexpr char kUrl[] = "http://127.0.0.1:8080/rules";

class RulesFileClientTest : public fake::FakeTavikTest {
 protected:
  void SetUp() override {
    FakeTavikTest::SetUp();
    settings_.Write(std::string("[BidRuleFileURL]\nurl=") + kUrl + "\n");
  }
  testing::ScopedSettings settings_;
};

// The identities of the client's certificates, in array order.
std::vector<std::string> Identities(const CRulesFileClient& client) {
  std::vector<std::string> names;
  for (const UniqueCert& cert : client.m_arrOpenerCerts) {
    unsigned char* text = nullptr;
    int length = 0;
    EXPECT_EQ(TavikPKICertGetCertEncode(cert.get(), 2, &text, &length), 1);
    UniqueLibBuffer<unsigned char> owner(text);
    names.push_back(std::string(reinterpret_cast<char*>(text), static_cast<size_t>(length)));
  }
  return names;
}

TEST_F(RulesFileClientTest, LoadOpenerCertsOutcomes) {
  struct Row {
    const char* name;
    std::vector<std::string> certs;
    std::function<void()> script;
    int rc;
    std::vector<std::string> loaded;  // base64 of the identities
  };
  const Row rows[] = {
      {"three in index order", {"A", "BB", "CCC"}, [] {}, 0, {"QQ==", "QkI=", "Q0ND"}},
      {"none", {}, [] {}, 0, {}},
      {"second of three has length 0", {"A", "", "CCC"}, [] {}, 0, {}},
      {"GetCert fails with 7",
       {"A", "BB"},
       [] { fake::SetFillCallResult("TavikBidRulesFileGetCert", 7); },
       7,
       {}},
      {"GetCertLen fails on the third",
       {"A", "BB", "CCC"},
       [] { fake::SetResultOnCall("TavikBidRulesFileGetCertLen", 3, 9); },
       9,
       {}},
      {"certificate refused", {"A", "BB"}, [] { fake::RegisterInvalidCert("BB"); }, -1, {}},
      {"count unreadable",
       {"A"},
       [] { fake::SetResult("TavikBidRulesFileGetCertCount", 5); },
       -1,
       {}},
      {"no handle", {"A"}, [] { fake::ReturnNull("TavikBidRulesFileCreateHandle"); }, 0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::Reset();
    fake::SetRules({.certs = row.certs});
    row.script();
    {
      CRulesFileClient client;
      EXPECT_EQ(client.LoadOpenerCerts(), row.rc);
      EXPECT_EQ(Identities(client), row.loaded);
    }
    EXPECT_TRUE(fake::AllReleased()) << fake::Outstanding();
  }
}

TEST_F(RulesFileClientTest, OpenOrgOfTenBytesIsDecodedWhole) {
  fake::SetRules({.open_org = WideToAnsi(u"交易中心AB")});
  CRulesFileClient client;
  EXPECT_EQ(client.GetOpenOrg(), u"交易中心AB");
  EXPECT_EQ(fake::Calls("TavikBidRulesFileGetOpenOrg"),
            (std::vector<std::string>{"TavikBidRulesFileGetOpenOrg buffer=null length=0",
                                      "TavikBidRulesFileGetOpenOrg buffer=set length=10"}));
  fake::SetFillCallResult("TavikBidRulesFileGetOpenOrg", 3);
  EXPECT_EQ(client.GetOpenOrg(), u"");
}

// The project number goes out in the ANSI code page, unescaped; the query is
// built even when the address cannot be set.
TEST_F(RulesFileClientTest, PrepareQueryInTheAnsiCodePage) {
  CRulesFileClient client;
  EXPECT_EQ(client.PrepareQuery(u"项目+1"), 0);
  EXPECT_EQ(client.m_strQuery, "projectid=\xCF\xEE\xC4\xBF+1");
  EXPECT_EQ(fake::Calls("TavikBidRulesFileSetTargetUrl"),
            std::vector<std::string>{std::string("TavikBidRulesFileSetTargetUrl url=") + kUrl});
  fake::ReturnNull("TavikBidRulesFileCreateHandle");
  CRulesFileClient without_handle;
  EXPECT_EQ(without_handle.PrepareQuery(u"P1"), -1);
  EXPECT_EQ(without_handle.m_strQuery, "projectid=P1");
}

TEST_F(RulesFileClientTest, BidderQueryOutcomes) {
  fake::RegisterCert("BIDDER", {});
  UniqueCert cert(TavikPKICertNewCert(reinterpret_cast<const unsigned char*>("BIDDER"), 6));
  EXPECT_EQ(QueryRulesWithBidderCert(u"P1", nullptr), 1);
  EXPECT_EQ(fake::CallCount("TavikBidRulesFileCreateHandle"), 0);

  for (auto [answer, mapped] : {std::pair{0, 1}, {26, 2}, {500, 0}}) {
    fake::SetResult("TavikBidRulesFileGetRules", answer);
    EXPECT_EQ(QueryRulesWithBidderCert(u"P1", cert.get()), mapped) << answer;
  }
  EXPECT_EQ(fake::Calls("TavikBidRulesFileGetRules").back(),
            "TavikBidRulesFileGetRules query=projectid=P1&cert=QklEREVS");
  EXPECT_EQ(fake::CallCount("TavikBidRulesFileSetTargetUrl"), 3);
}

// A query of 2047 bytes goes out whole; one byte more is not sent at all.
TEST_F(RulesFileClientTest, BidderQueryThatWouldNotFitIsNotSent) {
  const std::string prefix = "projectid=P1&cert=";
  for (size_t total : {kBidderQueryCapacity - 1, kBidderQueryCapacity}) {
    fake::RegisterCert("BIDDER", {.encoded = std::string(total - prefix.size(), 'Q')});
    UniqueCert cert(TavikPKICertNewCert(reinterpret_cast<const unsigned char*>("BIDDER"), 6));
    const int calls = fake::CallCount("TavikBidRulesFileGetRules");
    const bool fits = total < kBidderQueryCapacity;
    EXPECT_EQ(QueryRulesWithBidderCert(u"P1", cert.get()), fits ? 1 : 0) << total;
    EXPECT_EQ(fake::CallCount("TavikBidRulesFileGetRules"), calls + (fits ? 1 : 0)) << total;
  }
  EXPECT_EQ(fake::Calls("TavikBidRulesFileGetRules").front().size(),
            std::string("TavikBidRulesFileGetRules query=").size() + kBidderQueryCapacity - 1);
}

}  // namespace
}  // namespace brevalt
