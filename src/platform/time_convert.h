// Calendar fields: read from numeric text, and converted to and from seconds
// since 1970-01-01 UTC.
#ifndef BREVALT_PLATFORM_TIME_CONVERT_H
#define BREVALT_PLATFORM_TIME_CONVERT_H

#include <cstdint>
#include <string>
#include <string_view>

namespace brevalt {

struct CalendarFields {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31; a day past the month's end rolls into the next month
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Reads six integers (year, month, day, hour, minute, second) from text, each
// pair separated by exactly one character of any kind ("2011-03-15 10:00:00",
// "2011/3/15 9:00:00"). Each integer may be preceded by blanks and a sign,
// like a scanf "%d"; whatever follows the sixth integer is ignored. False,
// with *fields untouched, when fewer than six integers can be read or one
// does not fit an int. The fields' ranges are not checked here.
bool ReadNumericTimeFields(std::string_view text, CalendarFields* fields);

// True when year >= 1900 and every field lies in its range above.
bool FieldsInRange(const CalendarFields& fields);

// The fields as a local date and time of this machine, daylight saving
// decided by the system. False when out of range or not representable.
bool LocalFieldsToTime(const CalendarFields& fields, int64_t* out);
// The fields as a UTC date and time. False when out of range.
bool UtcFieldsToTime(const CalendarFields& fields, int64_t* out);

// strftime of the local time; empty when the conversion or formatting fails.
std::string FormatLocal(int64_t time, const char* format);

// The current time of this machine.
int64_t CurrentTime();

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_TIME_CONVERT_H
