#include "platform/time_convert.h"

#include <climits>
#include <ctime>

#include "platform/decimal_text.h"

namespace brevalt {
namespace {

std::tm ToTm(const CalendarFields& f) {
  std::tm tm{};
  tm.tm_year = f.year - 1900;
  tm.tm_mon = f.month - 1;
  tm.tm_mday = f.day;
  tm.tm_hour = f.hour;
  tm.tm_min = f.minute;
  tm.tm_sec = f.second;
  tm.tm_isdst = -1;
  return tm;
}

}  // namespace

bool ReadNumericTimeFields(std::string_view text, CalendarFields* fields) {
  CalendarFields read;
  int* const slots[] = {&read.year, &read.month, &read.day, &read.hour, &read.minute, &read.second};
  std::size_t pos = 0;
  for (std::size_t n = 0; n < std::size(slots); ++n) {
    if (n > 0 && pos++ >= text.size())  // exactly one separator of any kind
      return false;
    long long value = 0;
    if (!ScanDecimal(text, &pos, &value) || value < INT_MIN || value > INT_MAX)
      return false;
    *slots[n] = static_cast<int>(value);
  }
  *fields = read;
  return true;
}

bool FieldsInRange(const CalendarFields& f) {
  return f.year >= 1900 && f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= 31 &&
         f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 && f.second >= 0 &&
         f.second <= 59;
}

bool LocalFieldsToTime(const CalendarFields& fields, int64_t* out) {
  if (!FieldsInRange(fields))
    return false;
  std::tm tm = ToTm(fields);
  std::time_t t = std::mktime(&tm);
  // mktime answers -1 both for failure and for 1969-12-31 23:59:59 UTC; the
  // latter cannot come from fields of year 1970 on, so -1 with a 1969 result
  // date is the only accepted -1.
  if (t == static_cast<std::time_t>(-1) && tm.tm_year != 69)
    return false;
  *out = static_cast<int64_t>(t);
  return true;
}

bool UtcFieldsToTime(const CalendarFields& fields, int64_t* out) {
  if (!FieldsInRange(fields))
    return false;
  std::tm tm = ToTm(fields);
  tm.tm_isdst = 0;
  *out = static_cast<int64_t>(timegm(&tm));
  return true;
}

std::string FormatLocal(int64_t time, const char* format) {
  std::time_t t = static_cast<std::time_t>(time);
  std::tm tm{};
  if (localtime_r(&t, &tm) == nullptr)
    return {};
  char buffer[128] = {};
  size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
  return std::string(buffer, n);
}

int64_t CurrentTime() {
  return static_cast<int64_t>(std::time(nullptr));
}

}  // namespace brevalt
