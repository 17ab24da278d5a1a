#include "tavik/bidrules/rules_file_document.h"

#include <tinyxml.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "xml/xml_text.h"

namespace brevalt::rulesfile {
namespace {

// The first child node of that name when it is an element, or null.
const TiXmlElement* Child(const TiXmlNode* parent, const char* name) {
  if (parent == nullptr) {
    return nullptr;
  }
  const TiXmlNode* node = parent->FirstChild(name);
  return node ? node->ToElement() : nullptr;
}

std::optional<std::string> TextOf(const TiXmlElement* element) {
  if (element == nullptr) {
    return std::nullopt;
  }
  const char* text = element->GetText();
  return std::string(text != nullptr ? text : "");
}

// The cert texts of the rule's openers; nullopt beyond kMaxRulesOpeners.
std::optional<std::vector<std::optional<std::string>>> CertsOf(const TiXmlElement* rule) {
  std::vector<std::optional<std::string>> certs;
  const TiXmlNode* openers = rule->FirstChild("openers");
  const TiXmlElement* opener = openers ? openers->FirstChildElement("opener") : nullptr;
  for (; opener != nullptr; opener = opener->NextSiblingElement("opener")) {
    if (certs.size() == kMaxRulesOpeners) {
      return std::nullopt;
    }
    const TiXmlElement* cert = opener->FirstChildElement("cert");
    const char* text = cert ? cert->GetText() : nullptr;
    certs.push_back(text != nullptr && *text != '\0' ? std::optional<std::string>(text)
                                                     : std::nullopt);
  }
  return certs;
}

}  // namespace

RulesFileDocument ReadRulesFileDocument(std::span<const unsigned char> bytes) {
  RulesFileDocument result;
  // TinyXML stops at the first NUL: what follows would be compared but never read.
  if (bytes.size() > kMaxRulesDocumentBytes ||
      std::find(bytes.begin(), bytes.end(), 0) != bytes.end()) {
    return result;
  }
  const std::optional<std::string> text = PaddedForXmlParse(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (!text) {
    return result;
  }
  TiXmlDocument xml;
  xml.Parse(text->c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
  const TiXmlElement* source = Child(Child(&xml, "bidenv"), "source");
  const TiXmlElement* rule = Child(Child(source, "rules"), "rule");
  if (xml.Error() || rule == nullptr) {
    return result;
  }
  std::optional<std::vector<std::optional<std::string>>> certs = CertsOf(rule);
  if (!certs) {
    return result;
  }
  result.valid = true;
  result.organization = TextOf(Child(source, "organization"));
  result.open_time = TextOf(Child(source, "opentime"));
  result.certs = std::move(*certs);
  return result;
}

}  // namespace brevalt::rulesfile
