// The open-time texts: the long form, splitting, and the numeric form.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>

#include "platform/time_convert.h"
#include "rules/open_time.h"

namespace brevalt {
namespace {

template <typename Char>
bool IsBlank(Char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal integer at *pos: blanks, an optional sign, digits. Advances *pos
// past it and returns true when at least one digit was read. Magnitudes
// beyond the int range are held at INT_MAX + 1, so callers can tell them.
template <typename Char>
bool ReadInteger(std::basic_string_view<Char> text, size_t* pos, long long* out) {
  constexpr long long kCap = static_cast<long long>(INT_MAX) + 1;
  size_t i = *pos;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+'))
    ++i;
  const size_t first_digit = i;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min(value * 10 + (text[i] - '0'), kCap);
  if (i == first_digit)
    return false;
  *out = negative ? -value : value;
  *pos = i;
  return true;
}

bool FitsInt(long long value) {
  return value >= INT_MIN && value <= INT_MAX;
}

// A wide text read the way the C library's wide-to-integer conversion reads
// it: no digits give 0, values beyond the int range are clamped.
int WideToInt(const std::u16string& text) {
  size_t pos = 0;
  long long value = 0;
  if (!ReadInteger(std::u16string_view(text), &pos, &value))
    return 0;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// 1..12 for JAN..DEC in any case; 0 for anything else.
int MonthNumber(const std::u16string& token) {
  static constexpr std::array<const char16_t*, 12> kMonths = {u"JAN", u"FEB", u"MAR", u"APR",
                                                              u"MAY", u"JUN", u"JUL", u"AUG",
                                                              u"SEP", u"OCT", u"NOV", u"DEC"};
  std::u16string upper = token;
  for (char16_t& c : upper) {
    if (c >= u'a' && c <= u'z')
      c = static_cast<char16_t>(c - u'a' + u'A');
  }
  for (size_t i = 0; i < kMonths.size(); ++i) {
    if (upper == kMonths[i])
      return static_cast<int>(i) + 1;
  }
  return 0;
}

bool IsPm(const std::u16string& token) {
  return token.size() == 2 && (token[0] == u'P' || token[0] == u'p') &&
         (token[1] == u'M' || token[1] == u'm');
}

std::u16string NormalForm(const CalendarFields& f) {
  char text[96] = {};
  const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month,
                              f.day, f.hour, f.minute, f.second);
  return std::u16string(text, text + std::max(n, 0));  // ASCII only
}

}  // namespace

int SplitText(const std::u16string& text, const std::u16string& separator,
              std::vector<std::u16string>& parts) {
  parts.clear();
  if (text.empty() || separator.empty())
    return 0;
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin]))
    ++begin;
  while (end > begin && IsBlank(text[end - 1]))
    --end;
  const std::u16string rest_of_text = text.substr(begin, end - begin);
  size_t start = 0;
  for (size_t found; (found = rest_of_text.find(separator, start)) != std::u16string::npos;
       start = found + separator.size()) {
    parts.push_back(rest_of_text.substr(start, found - start));
  }
  if (start < rest_of_text.size())
    parts.push_back(rest_of_text.substr(start));
  return static_cast<int>(parts.size());
}

std::u16string NormalizeOpenTime(const std::u16string& text) {
  std::vector<std::u16string> parts;
  if (SplitText(text, u" ", parts) < 5)
    return {};
  CalendarFields f;
  f.month = MonthNumber(parts[0]);
  std::vector<std::u16string> clock;
  if (f.month == 0 || SplitText(parts[3], u":", clock) != 3)
    return {};
  std::u16string day = parts[1];
  std::erase(day, u',');
  f.day = WideToInt(day);
  f.year = WideToInt(parts[2]);
  const int hour = WideToInt(clock[0]);
  if (hour < 0 || hour > 24)
    return {};
  f.hour = IsPm(parts[4]) ? hour + 12 : hour;
  if (hour == 12)
    f.hour -= 12;
  f.minute = WideToInt(clock[1]);
  f.second = WideToInt(clock[2]);
  return NormalForm(f);
}

bool ParseNumericTime(std::string_view text, int64_t* time) {
  text = text.substr(0, std::min(text.size(), text.find('\0')));
  CalendarFields f;
  int* const fields[] = {&f.year, &f.month, &f.day, &f.hour, &f.minute, &f.second};
  size_t pos = 0;
  for (size_t n = 0; n < std::size(fields); ++n) {
    if (n > 0 && pos++ >= text.size())  // exactly one separator of any kind
      return false;
    long long value = 0;
    if (!ReadInteger(text, &pos, &value) || !FitsInt(value))
      return false;
    *fields[n] = static_cast<int>(value);
  }
  return LocalFieldsToTime(f, time);
}

}  // namespace brevalt
