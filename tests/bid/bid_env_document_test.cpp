#include "bid/bid_env_document.h"

#include <gtest/gtest.h>

#include "bid/bid_file_reader.h"
#include "config/text_convert.h"
#include "fakes/fake_tavik.h"

namespace brevalt {
namespace {

// A complete document; each piece can be replaced to build a faulty one.
struct Doc {
  std::u16string project = u"<projectname>滨江大桥维修工程</projectname>";
  std::u16string open_time = u"<opentime>2026-12-20 09:00:00</opentime>";
  std::u16string organization = u"<organization>市交通运输局</organization>";
  std::u16string m = u"<m>2</m>";
  std::u16string n = u"<n>1</n>";
  std::u16string openers =
      u"<openers><opener><cert>CERT-A</cert><participate>YES</participate></opener>"
      u"<opener><participate>NO</participate><cert>CERT-B</cert></opener></openers>";
  std::u16string extra_rule;  // appended after the first rule

  std::u16string Text() const {
    return u"<?xml version=\"1.0\" encoding=\"GBK\"?><bidenv><source>" + project + open_time +
           organization + u"<rules><rule>" + m + n + openers + u"</rule>" + extra_rule +
           u"</rules></source></bidenv>";
  }
};

// m and an openers element of that many openers.
void SetOpeners(Doc& doc, int count) {
  doc.m = u"<m>" + Utf8ToWide(std::to_string(count)) + u"</m>";
  doc.openers = u"<openers>";
  for (int i = 0; i < count; ++i)
    doc.openers += u"<opener><cert>C</cert><participate>YES</participate></opener>";
  doc.openers += u"</openers>";
}

// Elements nested in the rules element (itself 3 deep) down to depth.
std::u16string NestedTo(int depth) {
  std::u16string text;
  for (int i = 3; i < depth; ++i)
    text = u"<x>" + text + u"</x>";
  return text;
}

int ParseCode(const Doc& doc) {
  CBidEnvDocument document;
  document.SetText(doc.Text());
  return document.Parse();
}

TEST(BidEnvDocument, ParsesChineseTextsAndOpeners) {
  CBidEnvDocument document;
  document.SetText(Doc().Text());
  ASSERT_EQ(document.Parse(), 0);
  // Texts stay in the ANSI code page: eight Chinese characters, two GBK bytes each.
  EXPECT_EQ(document.m_strOpenTime, "2026-12-20 09:00:00");
  EXPECT_EQ(document.m_strProjectName, WideToAnsi(u"滨江大桥维修工程"));
  EXPECT_EQ(document.m_strProjectName.size(), 16u);
  ASSERT_NE(document.m_pOpenerRule, nullptr);
  EXPECT_EQ(document.m_pOpenerRule->nTotal, 2);
  EXPECT_EQ(document.m_pOpenerRule->nMin, 1);
  ASSERT_EQ(document.m_pOpenerRule->entries.size(), 2u);
  EXPECT_EQ(document.m_pOpenerRule->entries[0].pCert, "CERT-A");
  EXPECT_TRUE(document.m_pOpenerRule->entries[0].bParticipate);
  EXPECT_EQ(document.m_pOpenerRule->entries[1].pCert, "CERT-B");
  EXPECT_FALSE(document.m_pOpenerRule->entries[1].bParticipate);
}

TEST(BidEnvDocument, FailureCodesInCheckOrder) {
  struct Row {
    const char* name;
    std::function<void(Doc&)> change;
    int code;
  };
  const Row rows[] = {
      {"complete", [](Doc&) {}, 0},
      {"no project name", [](Doc& d) { d.project.clear(); }, kEnvNoProjectName},
      {"no open time", [](Doc& d) { d.open_time.clear(); }, kEnvNoOpenTime},
      {"no organization", [](Doc& d) { d.organization.clear(); }, kEnvNoOrganization},
      {"project checked before open time", [](Doc& d) { d.project.clear(), d.open_time.clear(); },
       kEnvNoProjectName},
      {"no m", [](Doc& d) { d.m.clear(); }, kEnvNoTotal},
      {"empty m", [](Doc& d) { d.m = u"<m></m>"; }, kEnvEmptyTotal},
      {"no n", [](Doc& d) { d.n.clear(); }, kEnvNoMin},
      {"source texts checked before counts", [](Doc& d) { d.organization.clear(), d.m.clear(); },
       kEnvNoOrganization},
      {"opener without cert",
       [](Doc& d) {
         d.openers =
             u"<openers><opener><participate>YES</participate></opener>"
             u"<opener><cert>B</cert><participate>YES</participate></opener></openers>";
       },
       kEnvNoCert},
      {"opener without participate",
       [](Doc& d) {
         d.openers =
             u"<openers><opener><cert>A</cert></opener>"
             u"<opener><cert>B</cert><participate>YES</participate></opener></openers>";
       },
       kEnvNoParticipate},
      {"empty cert",
       [](Doc& d) {
         d.openers =
             u"<openers><opener><cert></cert><participate>YES</participate></opener>"
             u"<opener><cert>B</cert><participate>YES</participate></opener></openers>";
       },
       kEnvEmptyCert},
      {"three openers, m of 2",
       [](Doc& d) {
         d.openers.insert(d.openers.size() - 10,
                          u"<opener><cert>C</cert><participate>YES</participate></opener>");
       },
       kEnvOpenerCount},
      {"no openers element, m of 0", [](Doc& d) { d.openers.clear(), d.m = u"<m>0</m>"; }, 0},
      {"no openers element, m of 2", [](Doc& d) { d.openers.clear(); }, kEnvOpenerCount},
      {"100 openers", [](Doc& d) { SetOpeners(d, 100); }, 0},
      {"101 openers", [](Doc& d) { SetOpeners(d, 101); }, kEnvOpenerCount},
      {"nested 256 deep", [](Doc& d) { d.extra_rule = NestedTo(256); }, 0},
      {"nested 257 deep", [](Doc& d) { d.extra_rule = NestedTo(257); }, kEnvNoRule},
      {"over 1 MiB", [](Doc& d) { d.extra_rule.assign(kMaxEnvDocumentBytes, u' '); }, kEnvNoRule},
  };
  for (const Row& row : rows) {
    Doc doc;
    row.change(doc);
    EXPECT_EQ(ParseCode(doc), row.code) << row.name;
  }
}

TEST(BidEnvDocument, MissingChainOrNotXmlGivesFour) {
  const std::u16string texts[] = {
      u"",
      u"这不是XML",
      u"<bidenv/>",
      u"<bidenv><source/></bidenv>",
      u"<bidenv><source><rules/></source></bidenv>",
      u"<BIDENV><source><rules><rule/></rules></source></BIDENV>",  // names compare exactly
  };
  for (const std::u16string& text : texts) {
    CBidEnvDocument document;
    document.SetText(text);
    EXPECT_EQ(document.Parse(), kEnvNoRule);
    EXPECT_EQ(document.m_pOpenerRule, nullptr);
  }
}

// A text whose last byte is a UTF-8 lead byte (0xF3, here the second byte of
// the GBK character 绑) makes TinyXML, when it reads UTF-8, step that
// sequence's length ahead, past the terminator. Whatever lies beyond the text in memory, here a
// complete document, must never reach the result.
TEST(BidEnvDocument, ParseNeverReadsPastTheText) {
  const std::string ends_in_lead_byte = "<bidenv><source><projectname>" + WideToAnsi(u"绑");
  ASSERT_EQ(ends_in_lead_byte.back(), '\xF3');
  Doc ascii;  // read as UTF-8, the GBK bytes of a Chinese text could end the parse early
  ascii.organization = u"<organization>ORG</organization>";
  const std::string complete = WideToAnsi(ascii.Text());
  std::string beyond = "X";  // appended, not prefixed: g++ 12 -O3 trips -Wrestrict on "X" + s
  beyond += complete.substr(complete.find("</projectname>"));
  // TinyXML reads UTF-8 after a declaration without an encoding, after a
  // UTF-8 one and after a byte-order mark.
  for (const std::string declaration :
       {"<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "\xEF\xBB\xBF"}) {
    const std::string text = declaration + ends_in_lead_byte;
    CBidEnvDocument document;
    // The terminator and two more NUL bytes, then the rest of a document.
    document.m_strText = text + std::string(3, '\0') + beyond;
    document.m_strText.resize(text.size());
    EXPECT_EQ(document.Parse(), kEnvNoRule) << declaration;
    EXPECT_EQ(document.m_strOpenTime, "") << declaration;
  }
}

TEST(BidEnvDocument, ReadsLikeTheParserAndAtoiDo) {
  struct Row {
    const char* name;
    std::function<void(Doc&)> change;
    int32_t total;
    bool first_participates;
  };
  const Row rows[] = {
      {"digit then letters", [](Doc& d) { d.m = u"<m>2人</m>"; }, 2, true},
      {"blanks and sign", [](Doc& d) { d.m = u"<m>  +2</m>"; }, 2, true},
      {"lower-case yes", [](Doc& d) { d.openers.replace(d.openers.find(u"YES"), 3, u"yes"); }, 2,
       false},
      {"blanks around YES", [](Doc& d) { d.openers.replace(d.openers.find(u"YES"), 3, u"  YES "); },
       2, true},
      {"empty participate", [](Doc& d) { d.openers.replace(d.openers.find(u"YES"), 3, u""); }, 2,
       false},
      {"rules before projectname", [](Doc& d) { std::swap(d.project, d.organization); }, 2, true},
      {"second rule ignored", [](Doc& d) { d.extra_rule = u"<rule><m>9</m><n>9</n></rule>"; }, 2,
       true},
  };
  for (const Row& row : rows) {
    Doc doc;
    row.change(doc);
    CBidEnvDocument document;
    document.SetText(doc.Text());
    ASSERT_EQ(document.Parse(), 0) << row.name;
    EXPECT_EQ(document.m_pOpenerRule->nTotal, row.total) << row.name;
    EXPECT_EQ(document.m_pOpenerRule->entries[0].bParticipate, row.first_participates) << row.name;
  }
  Doc letters;
  letters.m = u"<m>两</m>";
  letters.openers.clear();
  CBidEnvDocument document;
  document.SetText(letters.Text());
  EXPECT_EQ(document.Parse(), 0);
  EXPECT_EQ(document.m_pOpenerRule->nTotal, 0);
}

TEST(ReadDecimal, ClampsInsteadOfOverflowing) {
  EXPECT_EQ(ReadDecimal("99999999999"), 2147483647);
  EXPECT_EQ(ReadDecimal("-99999999999"), -2147483647 - 1);
  EXPECT_EQ(ReadDecimal("-5x"), -5);
  EXPECT_EQ(ReadDecimal(""), 0);
  EXPECT_EQ(ReadDecimal(nullptr), 0);
}

class LoadEnvironmentTest : public fake::FakeTavikTest {};

TEST_F(LoadEnvironmentTest, FillsTheReaderFromTheDocument) {
  CBidFileReader reader;
  reader.m_strRulesText = Doc().Text();
  ASSERT_EQ(reader.LoadEnvironment(), 0);
  EXPECT_EQ(reader.GetProjectName(), u"滨江大桥维修工程");
  EXPECT_EQ(reader.GetTenderOrg(), u"市交通运输局");
  EXPECT_EQ(reader.GetOpenTime(), u"2026-12-20 09:00:00");
  EXPECT_EQ(reader.m_nTotalOpeners, 2);
  EXPECT_EQ(reader.m_nMinOpeners, 1);
  // Every opener's certificate is built, taking part or not, in document order.
  EXPECT_EQ(reader.m_arrOpenerCerts.size(), 2u);
  EXPECT_EQ(fake::Calls("TavikPKICertNewCert").size(), 2u);
}

TEST_F(LoadEnvironmentTest, FailuresLeaveWhatWasBuiltSoFar) {
  {
    CBidFileReader reader;
    EXPECT_EQ(reader.LoadEnvironment(), kEnvNoDocument);
  }
  {
    CBidFileReader reader;
    Doc doc;
    doc.m = u"<m>3</m>";
    reader.m_strRulesText = doc.Text();
    EXPECT_EQ(reader.LoadEnvironment(), kEnvOpenerCount);
    EXPECT_TRUE(reader.m_arrOpenerCerts.empty());
    EXPECT_EQ(reader.GetProjectName(), u"");  // untouched on a parse failure
  }
  {
    fake::RegisterInvalidCert("CERT-B");
    CBidFileReader reader;
    reader.m_strRulesText = Doc().Text();
    EXPECT_EQ(reader.LoadEnvironment(), kEnvBadCert);
    EXPECT_EQ(reader.m_arrOpenerCerts.size(), 1u);
    EXPECT_EQ(reader.GetProjectName(), u"滨江大桥维修工程");
  }
}

}  // namespace
}  // namespace brevalt
