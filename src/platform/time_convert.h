// Conversions between calendar fields and seconds since 1970-01-01 UTC.
#ifndef BREVALT_PLATFORM_TIME_CONVERT_H
#define BREVALT_PLATFORM_TIME_CONVERT_H

#include <cstdint>
#include <string>

namespace brevalt {

struct CalendarFields {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31; a day past the month's end rolls into the next month
  int hour = 0;
  int minute = 0;
  int second = 0;
};

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
