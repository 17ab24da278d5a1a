#include "timestamp/authority_time.h"

#include <cstddef>

#include "platform/time_convert.h"

namespace brevalt {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The number held by count digits at text; false at the first non-digit
// (including the terminating NUL, so a short text stops here).
bool ReadDigits(const char* text, int count, int* out) {
  int value = 0;
  for (int i = 0; i < count; ++i) {
    if (!IsDigit(text[i]))
      return false;
    value = value * 10 + (text[i] - '0');
  }
  *out = value;
  return true;
}

// True when rest is "Z" or a fraction of a second followed by "Z".
bool IsUtcZone(const char* rest) {
  if (*rest == '.') {
    ++rest;
    if (!IsDigit(*rest))
      return false;
    while (IsDigit(*rest))
      ++rest;
  }
  return rest[0] == 'Z' && rest[1] == '\0';
}

}  // namespace

bool ParseAuthorityTime(const char* text, int64_t* out) {
  if (text == nullptr || out == nullptr)
    return false;
  CalendarFields f;
  if (!ReadDigits(text, 4, &f.year) || !ReadDigits(text + 4, 2, &f.month) ||
      !ReadDigits(text + 6, 2, &f.day) || !ReadDigits(text + 8, 2, &f.hour) ||
      !ReadDigits(text + 10, 2, &f.minute) || !ReadDigits(text + 12, 2, &f.second)) {
    return false;
  }
  if (!IsUtcZone(text + 14))
    return false;
  return UtcFieldsToTime(f, out);
}

}  // namespace brevalt
