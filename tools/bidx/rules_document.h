// The rules file as sealed into a bid: the "RULF" wrapping of the custom data
// and the opener counts of the bid environment document (root `bidenv`).
#ifndef BREVALT_TOOLS_BIDX_RULES_DOCUMENT_H
#define BREVALT_TOOLS_BIDX_RULES_DOCUMENT_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brevalt::bidx {

// The RULF header before the rules file: "RULF" and the length.
inline constexpr std::size_t kRulesHeaderSize = 8;

// "RULF", the rules file's length as 4 bytes big-endian, then the file.
std::vector<unsigned char> WrapRulesFile(const std::vector<unsigned char>& rules);

// The rules file length from a custom data block that starts with the RULF
// header; nullopt when the block is shorter than 8 bytes or has no magic.
std::optional<std::uint32_t> RulesLengthOf(const std::vector<unsigned char>& custom_data);

// Opener counts read from bidenv/source/rules/rule/{m,n} (first of each),
// each read like atoi (leading blanks, optional sign, digits, no digits
// gives 0; values beyond 32 bits are clamped). nullopt for a missing element;
// both nullopt for a document nested deeper than kMaxXmlDepth, which is never
// handed to TinyXML.
struct RuleCounts {
  std::optional<std::int32_t> total;
  std::optional<std::int32_t> min;
};
RuleCounts ReadRuleCounts(const std::vector<unsigned char>& document);

// atoi-like reading of a decimal integer, clamped to the int32 range.
std::int32_t ReadDecimal(const char* text);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_RULES_DOCUMENT_H
