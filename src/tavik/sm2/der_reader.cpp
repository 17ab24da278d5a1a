#include "tavik/sm2/der_reader.h"

#include <algorithm>
#include <cstddef>

namespace brevalt::der {

bool Read(View* in, Tlv* out) {
  if (in->size() < 2 || ((*in)[0] & 0x1F) == 0x1F) {
    return false;
  }
  std::size_t at = 2;
  std::size_t length = (*in)[1];
  if (length >= 0x80) {
    const std::size_t count = length & 0x7F;
    if (count == 0 || count > sizeof(std::size_t) || count > in->size() - at || (*in)[at] == 0) {
      return false;
    }
    length = 0;
    for (std::size_t end = at + count; at < end; ++at) {
      length = (length << 8) | (*in)[at];
    }
    if (length < 0x80) {
      return false;
    }
  }
  if (length > in->size() - at) {
    return false;
  }
  out->tag = (*in)[0];
  out->whole = in->first(at + length);
  out->content = in->subspan(at, length);
  *in = in->subspan(at + length);
  return true;
}

bool Enter(View* in, unsigned char tag, View* content) {
  Tlv element;
  View rest = *in;
  if (!Read(&rest, &element) || element.tag != tag) {
    return false;
  }
  *in = rest;
  *content = element.content;
  return true;
}

bool Expect(View* in, View expected) {
  Tlv element;
  View rest = *in;
  if (!Read(&rest, &element) ||
      !std::equal(element.whole.begin(), element.whole.end(), expected.begin(), expected.end())) {
    return false;
  }
  *in = rest;
  return true;
}

}  // namespace brevalt::der
