#include "bid/bid_env_document.h"

#include <tinyxml.h>

#include <cstddef>
#include <optional>
#include <string_view>

#include "config/text_convert.h"
#include "platform/decimal_text.h"
#include "xml/xml_text.h"

namespace brevalt {
namespace {

// The first child element of that name, or null.
const TiXmlElement* Child(const TiXmlNode* parent, const char* name) {
  if (parent == nullptr)
    return nullptr;
  const TiXmlNode* node = parent->FirstChild(name);
  return node ? node->ToElement() : nullptr;
}

// An element's text; an element without text reads as empty text.
std::string TextOf(const TiXmlElement* element) {
  const char* text = element->GetText();
  return text ? std::string(text) : std::string();
}

}  // namespace

int32_t ReadDecimal(const char* text) {
  return text == nullptr ? 0 : ReadClampedInt(std::string_view(text));
}

int CBidEnvDocument::SetText(const std::u16string& text) {
  m_strText = WideToAnsi(text);
  return 0;
}

int CBidEnvDocument::Parse() {
  // Beyond the limits the text is not parsed at all, as if it were not XML.
  if (m_strText.size() > kMaxEnvDocumentBytes)
    return kEnvNoRule;
  const std::optional<std::string> text = PaddedForXmlParse(m_strText);
  if (!text)
    return kEnvNoRule;
  TiXmlDocument document;
  document.Parse(text->c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
  const TiXmlElement* source = Child(Child(&document, "bidenv"), "source");
  const TiXmlElement* rule = Child(Child(source, "rules"), "rule");
  if (rule == nullptr)
    return kEnvNoRule;
  m_pOpenerRule = std::make_unique<OPENER_RULE>();
  int rc = ParseSourceTexts(source);
  if (rc != 0)
    return rc;  // the rule stays allocated, as the document is incomplete anyway
  rc = ParseCounts(rule);
  if (rc == 0)
    rc = ParseOpeners(rule);
  if (rc != 0)
    m_pOpenerRule.reset();
  return rc;
}

int CBidEnvDocument::ParseSourceTexts(const TiXmlElement* source) {
  const TiXmlElement* project = Child(source, "projectname");
  if (project == nullptr)
    return kEnvNoProjectName;
  m_strProjectName = TextOf(project);
  const TiXmlElement* open_time = Child(source, "opentime");
  if (open_time == nullptr)
    return kEnvNoOpenTime;
  m_strOpenTime = TextOf(open_time);
  const TiXmlElement* organization = Child(source, "organization");
  if (organization == nullptr)
    return kEnvNoOrganization;
  m_strOrganization = TextOf(organization);
  return 0;
}

int CBidEnvDocument::ParseCounts(const TiXmlElement* rule) {
  const TiXmlElement* total = Child(rule, "m");
  if (total == nullptr)
    return kEnvNoTotal;
  if (total->GetText() == nullptr)
    return kEnvEmptyTotal;
  m_pOpenerRule->nTotal = ReadDecimal(total->GetText());
  const TiXmlElement* min = Child(rule, "n");
  if (min == nullptr)
    return kEnvNoMin;
  // An n without text reads as 0, which the opener-count check refuses.
  m_pOpenerRule->nMin = ReadDecimal(min->GetText());
  return 0;
}

int CBidEnvDocument::ParseOpeners(const TiXmlElement* rule) {
  // A rule without an openers element has no opener, like an empty list.
  const TiXmlNode* openers = rule->FirstChild("openers");
  int64_t count = 0;
  const TiXmlElement* opener = openers ? openers->FirstChildElement("opener") : nullptr;
  for (; opener != nullptr; opener = opener->NextSiblingElement("opener")) {
    if (++count > kMaxOpeners)
      return kEnvOpenerCount;
    const TiXmlElement* cert = opener->FirstChildElement("cert");
    if (cert == nullptr)
      return kEnvNoCert;
    if (cert->GetText() == nullptr)
      return kEnvEmptyCert;
    OPENER_ENTRY entry;
    entry.pCert = cert->GetText();
    const TiXmlElement* participate = opener->FirstChildElement("participate");
    if (participate == nullptr)
      return kEnvNoParticipate;
    entry.bParticipate = TextOf(participate) == "YES";
    m_pOpenerRule->entries.push_back(std::move(entry));
  }
  return count == m_pOpenerRule->nTotal ? 0 : kEnvOpenerCount;
}

}  // namespace brevalt
