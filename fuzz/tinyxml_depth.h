// The element depth TinyXML itself reaches on a text, to hold the depth
// check before it (xml/xml_text.h) against: the fuzz target aborts when
// TinyXML goes deeper than the check counted, and the unit test compares them.
#ifndef BREVALT_FUZZ_TINYXML_DEPTH_H
#define BREVALT_FUZZ_TINYXML_DEPTH_H

#include <tinyxml.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace brevalt::fuzz {

// The depth of the deepest element TinyXML built from padded (a
// PaddedForXmlParse copy). It links every element it begins, even when it
// then stops with an error, so this is the depth its recursion reached.
inline std::size_t TinyXmlDepth(const std::string& padded) {
  TiXmlDocument document;
  document.Parse(padded.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
  std::size_t deepest = 0;
  std::vector<std::pair<const TiXmlNode*, std::size_t>> pending{{&document, 0}};
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    for (const TiXmlElement* child = node->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
      deepest = std::max(deepest, depth + 1);
      pending.emplace_back(child, depth + 1);
    }
  }
  return deepest;
}

}  // namespace brevalt::fuzz

#endif  // BREVALT_FUZZ_TINYXML_DEPTH_H
