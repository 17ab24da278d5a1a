// Reading decimal integers from narrow or wide text the way the C library's
// "%d" conversion and atoi begin: blanks, an optional sign, digits; without
// the undefined behaviour they have beyond the int range.
#ifndef BREVALT_PLATFORM_DECIMAL_TEXT_H
#define BREVALT_PLATFORM_DECIMAL_TEXT_H

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string_view>

namespace brevalt {

// The blanks of the "C" locale: space, tab, LF, VT, FF, CR.
template <typename Char>
constexpr bool IsCBlank(Char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal integer at *pos: blanks, an optional sign, at least one digit.
// Advances *pos past it and returns true when a digit was read; leaves *pos
// and *out untouched otherwise. Magnitudes beyond the int range are held at
// INT_MAX + 1, so callers can tell them (and -(INT_MAX + 1) is INT_MIN).
template <typename Char>
bool ScanDecimal(std::basic_string_view<Char> text, std::size_t* pos, long long* out) {
  constexpr long long kCap = static_cast<long long>(INT_MAX) + 1;
  std::size_t i = *pos;
  while (i < text.size() && IsCBlank(text[i]))
    ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+'))
    ++i;
  const std::size_t first_digit = i;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min(value * 10 + (text[i] - '0'), kCap);
  if (i == first_digit)
    return false;
  *out = negative ? -value : value;
  *pos = i;
  return true;
}

// The integer at the start of text as atoi reads it (no digits give 0), with
// values beyond the int range clamped to it.
template <typename Char>
int ReadClampedInt(std::basic_string_view<Char> text) {
  std::size_t pos = 0;
  long long value = 0;
  if (!ScanDecimal(text, &pos, &value))
    return 0;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_DECIMAL_TEXT_H
