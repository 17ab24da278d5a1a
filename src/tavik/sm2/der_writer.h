// Writing DER by hand, for the signature structures OpenSSL 3.0 cannot build
// for SM2: each element is its tag, its length in the shortest form and its
// content.
#ifndef BREVALT_TAVIK_SM2_DER_WRITER_H
#define BREVALT_TAVIK_SM2_DER_WRITER_H

#include <initializer_list>
#include <span>
#include <vector>

namespace brevalt::der {

using Bytes = std::vector<unsigned char>;
using View = std::span<const unsigned char>;

inline constexpr unsigned char kInteger = 0x02;
inline constexpr unsigned char kOctetString = 0x04;
inline constexpr unsigned char kNull = 0x05;
inline constexpr unsigned char kObject = 0x06;
inline constexpr unsigned char kSequence = 0x30;
inline constexpr unsigned char kSet = 0x31;
inline constexpr unsigned char kContext0 = 0xA0;  // [0], constructed

// One element: `tag`, the length of `content` in its shortest form, `content`.
Bytes Element(unsigned char tag, View content);

// One element whose content is the concatenation of `parts`.
Bytes Element(unsigned char tag, std::initializer_list<View> parts);

// A DER SET OF: the elements sorted by their encodings, as DER demands.
Bytes SetOf(std::vector<Bytes> elements);

}  // namespace brevalt::der

#endif  // BREVALT_TAVIK_SM2_DER_WRITER_H
