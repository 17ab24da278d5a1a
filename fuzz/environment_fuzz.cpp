// The bid environment document, the bidder's own text: from its bytes to the
// opener certificates, once as raw bytes handed to the parser and once the
// way a bid delivers it (decoded from the ANSI code page into the reader).
// Before that, the depth check's promise against TinyXML itself: a text it
// lets through never takes TinyXML deeper than it counted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "bid/bid_env_document.h"
#include "bid/bid_file_reader.h"
#include "config/text_convert.h"
#include "fuzz/tinyxml_depth.h"
#include "xml/xml_text.h"

namespace {

void CheckDepthBound(const std::string& bytes) {
  const std::optional<std::string> padded = brevalt::PaddedForXmlParse(bytes);
  if (padded && brevalt::fuzz::TinyXmlDepth(*padded) > brevalt::XmlNestingDepth(bytes))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckDepthBound(bytes);
  {
    brevalt::CBidEnvDocument document;
    document.m_strText = bytes;
    document.Parse();
  }
  brevalt::CBidFileReader reader;
  reader.m_strRulesText = brevalt::AnsiToWide(bytes);
  reader.LoadEnvironment();
  return 0;
}
