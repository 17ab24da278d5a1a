// Whether a rules document is GBK text, the code page in which the checker
// reads the rules document sealed into a bid.
#ifndef BREVALT_TOOLS_BIDX_GBK_CHECK_H
#define BREVALT_TOOLS_BIDX_GBK_CHECK_H

#include <string>
#include <vector>

namespace brevalt::bidx {

// Empty when `document` reads as GBK; otherwise why not: a byte-order mark,
// an XML declaration naming another encoding, bytes that are no GBK, or
// non-ASCII text that is valid UTF-8 (almost never true of GBK text).
std::string WhyNotGbk(const std::vector<unsigned char>& document);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_GBK_CHECK_H
