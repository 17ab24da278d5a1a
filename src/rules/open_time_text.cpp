// The open-time texts: the long form, splitting, and the numeric form.
#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/decimal_text.h"
#include "platform/time_convert.h"
#include "rules/open_time.h"

namespace brevalt {
namespace {

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
  while (begin < end && IsCBlank(text[begin]))
    ++begin;
  while (end > begin && IsCBlank(text[end - 1]))
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
  f.day = ReadClampedInt<char16_t>(day);
  f.year = ReadClampedInt<char16_t>(parts[2]);
  const int hour = ReadClampedInt<char16_t>(clock[0]);
  if (hour < 0 || hour > 24)
    return {};
  f.hour = IsPm(parts[4]) ? hour + 12 : hour;
  if (hour == 12)
    f.hour -= 12;
  f.minute = ReadClampedInt<char16_t>(clock[1]);
  f.second = ReadClampedInt<char16_t>(clock[2]);
  return NormalForm(f);
}

bool ParseNumericTime(std::string_view text, int64_t* time) {
  text = text.substr(0, std::min(text.size(), text.find('\0')));
  CalendarFields f;
  return ReadNumericTimeFields(text, &f) && LocalFieldsToTime(f, time);
}

}  // namespace brevalt
