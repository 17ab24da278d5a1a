// Reading DER by hand, strictly: one-byte tags, definite lengths in their
// shortest form, nothing past the end. For the signature structures whose
// exact bytes matter (what is signed is the encoding, not the values).
#ifndef BREVALT_TAVIK_SM2_DER_READER_H
#define BREVALT_TAVIK_SM2_DER_READER_H

#include <span>

namespace brevalt::der {

using View = std::span<const unsigned char>;

// One element read from the front of a cursor.
struct Tlv {
  unsigned char tag = 0;
  View whole;    // tag, length and content
  View content;  // the content alone
};

// Reads the next element and advances `in` past it; false (and `in` left
// as it was) when no element in the strict form starts there.
bool Read(View* in, Tlv* out);

// Reads an element with `tag` and gives its content.
bool Enter(View* in, unsigned char tag, View* content);

// Reads an element whose whole encoding must equal `expected`.
bool Expect(View* in, View expected);

}  // namespace brevalt::der

#endif  // BREVALT_TAVIK_SM2_DER_READER_H
