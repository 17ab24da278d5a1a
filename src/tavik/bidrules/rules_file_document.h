// What the rules-file library answers about a downloaded rules file: the
// texts of a bid environment document (root "bidenv"), read with TinyXML at
// the same element paths the bid's own reader uses:
//
//   bidenv / source / organization, opentime,
//                     rules / rule / openers / opener / cert
//
// Each step takes the first child of that name; texts are TinyXML's element
// texts (entities decoded, whitespace condensed), bytes as stored.
#ifndef BREVALT_TAVIK_BIDRULES_RULES_FILE_DOCUMENT_H
#define BREVALT_TAVIK_BIDRULES_RULES_FILE_DOCUMENT_H

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brevalt::rulesfile {

// What one downloaded document may cost: a larger one, or one whose first
// rule lists more openers, is not a bid environment document (real ones hold
// a few KiB and a handful of openers). The same limits as for the copy sealed
// in a bid (bid/bid_env_document.h); docs/rules-service.md gives them.
inline constexpr std::size_t kMaxRulesDocumentBytes = 1024 * 1024;
inline constexpr std::size_t kMaxRulesOpeners = 100;

struct RulesFileDocument {
  // True when the bytes are well-formed XML without NUL bytes, at most
  // kMaxRulesDocumentBytes long and nested at most kMaxXmlDepth deep
  // (xml/xml_text.h), and hold the chain bidenv/source/rules/rule with
  // at most kMaxRulesOpeners openers; when false the other fields are empty.
  bool valid = false;
  std::optional<std::string> organization;  // nullopt: no organization element
  std::optional<std::string> open_time;     // nullopt: no opentime element
  // One entry per opener element of the first rule, in document order;
  // nullopt for an opener without a cert element or with an empty one.
  std::vector<std::optional<std::string>> certs;
};

// Reads bytes. TinyXML is given a copy that ends in several NUL bytes, so that
// its look-ahead on truncated input stays inside the copy, and only after the
// size and depth checks.
RulesFileDocument ReadRulesFileDocument(std::span<const unsigned char> bytes);

}  // namespace brevalt::rulesfile

#endif  // BREVALT_TAVIK_BIDRULES_RULES_FILE_DOCUMENT_H
