#include "engine/cert_validity.h"

#include <cctype>
#include <string>

#include "config/text_convert.h"
#include "tavik/tavik_handles.h"
#include "platform/time_convert.h"

namespace brevalt {
namespace {

// The number formed by count digits at text; false when one is not a digit.
bool ReadDigits(const char* text, int count, int* out) {
  int value = 0;
  for (int i = 0; i < count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i])))
      return false;
    value = value * 10 + (text[i] - '0');
  }
  *out = value;
  return true;
}

}  // namespace

int ParseCertTime(const char* text, int64_t* out) {
  if (text == nullptr)
    return 1;
  CalendarFields f;
  // Each read stops at a NUL (not a digit), so no read passes the text's end.
  if (!ReadDigits(text, 4, &f.year) || !ReadDigits(text + 4, 2, &f.month) ||
      !ReadDigits(text + 6, 2, &f.day) || !ReadDigits(text + 8, 2, &f.hour) ||
      !ReadDigits(text + 10, 2, &f.minute) || !ReadDigits(text + 12, 2, &f.second)) {
    return 2;
  }
  int64_t time = 0;
  if (!LocalFieldsToTime(f, &time))
    return 2;
  *out = time;
  return 0;
}

bool IsCertStillValid(TAVIK_CERT_st* cert) {
  return IsCertStillValid(cert, CurrentTime());
}

bool IsCertStillValid(TAVIK_CERT_st* cert, int64_t now) {
  char* raw = nullptr;
  if (TavikPKICertGetCertStringAttribute(cert, TAVIK_CERT_ATTR_NOT_AFTER_LOCAL, &raw) != 1) {
    return false;
  }
  UniqueLibBuffer<char> text(raw);
  const std::string ansi = WideToAnsi(Utf8ToWide(text.get()));
  if (ansi.empty())
    return false;
  int64_t end = 0;
  if (ParseCertTime(ansi.c_str(), &end) != 0)
    return false;
  return (end - now) / 3600 >= 0;
}

}  // namespace brevalt
