// The bid environment document: the XML rules file a bid carries in its
// custom data (root element "bidenv"), in the ANSI code page. It names the
// project, the tendering organisation and the opening time, and lists the bid
// openers with their certificates and the number of openers required.
//
//   bidenv / source / projectname, opentime, organization,
//                     rules / rule / m, n, openers / opener / cert, participate
//
// Element names compare exactly; sibling order is free; other elements and
// all attributes are ignored; only the first "rules" and its first "rule"
// are read. What one document may cost is bounded: a text over
// kMaxEnvDocumentBytes or nested deeper than kMaxXmlDepth (xml/xml_text.h)
// is not parsed, and a rule with more than kMaxOpeners openers is refused.
#ifndef BREVALT_BID_BID_ENV_DOCUMENT_H
#define BREVALT_BID_BID_ENV_DOCUMENT_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TiXmlElement;

namespace brevalt {

// The largest document text that is parsed (real ones hold a few KiB: about
// 1 KiB per opener), and the most openers a rule may list (real projects have
// a handful). The rules service's documents have the same limits
// (tavik/bidrules/rules_file_document.h); docs/rules-document.md gives them.
inline constexpr std::size_t kMaxEnvDocumentBytes = 1024 * 1024;
inline constexpr int32_t kMaxOpeners = 100;

struct OPENER_ENTRY {
  std::string pCert;          // the cert text bytes as stored, no terminator
  bool bParticipate = false;  // the participate text is exactly "YES"
};

struct OPENER_RULE {
  int32_t nTotal = 0;                 // m: the number of bid openers
  int32_t nMin = 0;                   // n: the minimum number of openers needed
  std::vector<OPENER_ENTRY> entries;  // one per opener, in document order
};

// Parse results besides 0.
enum BidEnvCode : int {
  kEnvNoDocument = 1,       // the reader holds no document
  kEnvNoRule = 4,           // no bidenv/source/rules/rule chain (also: not XML, over a limit)
  kEnvNoTotal = 5,          // no m under rule
  kEnvEmptyTotal = 6,       // m has no text
  kEnvNoMin = 7,            // no n under rule
  kEnvOpenerCount = 9,      // the number of opener elements differs from m, or passes kMaxOpeners
  kEnvNoCert = 10,          // an opener without cert
  kEnvNoParticipate = 11,   // an opener without participate
  kEnvEmptyCert = 12,       // a cert without text
  kEnvNoOpenTime = 22,      // no opentime
  kEnvNoOrganization = 23,  // no organization
  kEnvNoProjectName = 25,   // no projectname
  kEnvBadCert = 100,        // an opener certificate the PKI library refuses
  kEnvNullCert = 101,       // an opener certificate text that is empty
};

class CBidEnvDocument {
 public:
  // Stores the text in the ANSI code page. Always 0.
  int SetText(const std::u16string& text);
  // Parses the stored text. 0 on success, else the first failure's code. On
  // failures 5 to 12 the opener rule is dropped.
  int Parse();

  std::unique_ptr<OPENER_RULE> m_pOpenerRule;  // null until the rule is reached
  std::string m_strText;
  std::string m_strOpenTime;
  std::string m_strOrganization;
  std::string m_strProjectName;

 private:
  int ParseSourceTexts(const TiXmlElement* source);
  int ParseCounts(const TiXmlElement* rule);
  int ParseOpeners(const TiXmlElement* rule);
};

// Reads a decimal integer the way atoi does (leading blanks, optional sign,
// digits; no digits gives 0), clamped to the 32-bit range instead of
// overflowing.
int32_t ReadDecimal(const char* text);

}  // namespace brevalt

#endif  // BREVALT_BID_BID_ENV_DOCUMENT_H
