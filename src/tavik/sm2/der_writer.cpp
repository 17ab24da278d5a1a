#include "tavik/sm2/der_writer.h"

#include <algorithm>
#include <cstring>

namespace brevalt::der {

Bytes Element(unsigned char tag, View content) {
  return Element(tag, {content});
}

Bytes Element(unsigned char tag, std::initializer_list<View> parts) {
  std::size_t length = 0;
  for (View part : parts) {
    length += part.size();
  }
  Bytes out{tag};
  if (length < 0x80) {
    out.push_back(static_cast<unsigned char>(length));
  } else {
    Bytes digits;
    for (std::size_t left = length; left != 0; left >>= 8) {
      digits.insert(digits.begin(), static_cast<unsigned char>(left & 0xFF));
    }
    out.push_back(static_cast<unsigned char>(0x80 | digits.size()));
    out.insert(out.end(), digits.begin(), digits.end());
  }
  out.reserve(out.size() + length);
  for (View part : parts) {
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

Bytes SetOf(std::vector<Bytes> elements) {
  // Byte-wise order; no element is a prefix of another, since its length
  // field says where it ends.
  std::sort(elements.begin(), elements.end(), [](const Bytes& a, const Bytes& b) {
    const std::size_t common = std::min(a.size(), b.size());
    const int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
    return order != 0 ? order < 0 : a.size() < b.size();
  });
  Bytes content;
  for (const Bytes& element : elements) {
    content.insert(content.end(), element.begin(), element.end());
  }
  return Element(kSet, content);
}

}  // namespace brevalt::der
