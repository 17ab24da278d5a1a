#include "tools/bidx/rules_document.h"

#include <tinyxml.h>

#include <algorithm>
#include <string_view>

#include "platform/decimal_text.h"
#include "tavik/secretfile/container_format.h"
#include "xml/xml_text.h"

namespace brevalt::bidx {

namespace {
constexpr unsigned char kRulesMagic[4] = {'R', 'U', 'L', 'F'};

std::optional<std::int32_t> CountOf(const TiXmlHandle& rule, const char* name) {
  const TiXmlElement* element = rule.FirstChild(name).ToElement();
  if (element == nullptr) {
    return std::nullopt;
  }
  const char* text = element->GetText();
  return ReadDecimal(text == nullptr ? "" : text);
}
}  // namespace

std::vector<unsigned char> WrapRulesFile(const std::vector<unsigned char>& rules) {
  std::vector<unsigned char> block(kRulesHeaderSize + rules.size());
  std::copy(std::begin(kRulesMagic), std::end(kRulesMagic), block.begin());
  container::StoreBigEndian32(static_cast<std::uint32_t>(rules.size()), block.data() + 4);
  std::copy(rules.begin(), rules.end(), block.begin() + kRulesHeaderSize);
  return block;
}

std::optional<std::uint32_t> RulesLengthOf(const std::vector<unsigned char>& custom_data) {
  if (custom_data.size() < kRulesHeaderSize ||
      !std::equal(std::begin(kRulesMagic), std::end(kRulesMagic), custom_data.begin())) {
    return std::nullopt;
  }
  return container::LoadBigEndian32(custom_data.data() + 4);
}

std::int32_t ReadDecimal(const char* text) {
  return ReadClampedInt(std::string_view(text));
}

RuleCounts ReadRuleCounts(const std::vector<unsigned char>& document) {
  // A document nested too deep for TinyXML has no counts, like one that is not XML.
  const std::optional<std::string> text = PaddedForXmlParse(
      std::string_view(reinterpret_cast<const char*>(document.data()), document.size()));
  if (!text) {
    return {};
  }
  TiXmlDocument xml;
  xml.Parse(text->c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
  TiXmlHandle rule =
      TiXmlHandle(&xml).FirstChild("bidenv").FirstChild("source").FirstChild("rules").FirstChild(
          "rule");
  if (rule.ToElement() == nullptr) {
    return {};
  }
  return RuleCounts{CountOf(rule, "m"), CountOf(rule, "n")};
}

}  // namespace brevalt::bidx
