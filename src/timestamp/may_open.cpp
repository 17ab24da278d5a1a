#include "timestamp/may_open.h"

#include <climits>
#include <cstddef>

#include "config/text_convert.h"
#include "timestamp/time_stamp_client.h"

namespace brevalt {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One scanf-"%d" integer from text at *pos: blanks, an optional sign, at
// least one digit. Advances *pos past it. False without a digit or when the
// value does not fit an int (where scanf's behaviour is undefined).
bool ReadInt(std::string_view text, std::size_t* pos, int* out) {
  std::size_t i = *pos;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  const std::size_t first_digit = i;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1)
      return false;
  }
  if (i == first_digit)
    return false;
  if (negative)
    value = -value;
  if (value > INT_MAX || value < INT_MIN)
    return false;
  *out = static_cast<int>(value);
  *pos = i;
  return true;
}

}  // namespace

bool ReadOpenTimeFields(std::string_view text, CalendarFields* fields) {
  CalendarFields read;
  int* const slots[] = {&read.year, &read.month, &read.day, &read.hour, &read.minute, &read.second};
  std::size_t pos = 0;
  for (std::size_t n = 0; n < 6; ++n) {
    if (n > 0) {
      if (pos >= text.size())
        return false;
      ++pos;  // exactly one separator of any kind
    }
    if (!ReadInt(text, &pos, slots[n]))
      return false;
  }
  *fields = read;
  return true;
}

StepState JudgeMayOpen(const std::u16string& open_time, int64_t trusted) {
  if (open_time.empty())
    return StepUnknown;
  const std::string ansi = WideToAnsi(open_time);
  if (ansi.empty())
    return StepUnknown;
  CalendarFields fields;
  int64_t open = 0;
  if (!ReadOpenTimeFields(ansi, &fields) || !LocalFieldsToTime(fields, &open))
    return StepUnknown;
  return trusted < open ? StepFailed : StepPassed;
}

StepState DecideMayOpen(CVerifyResult& result) {
  int64_t trusted = 0;
  const StepState state =
      GetTimeStampTime(&trusted) != 0 ? JudgeMayOpen(result.OpenTime, trusted) : StepUnknown;
  result.MayOpen = state;
  return state;
}

}  // namespace brevalt
