// Reading the time an RFC 3161 authority put into its answer.
#ifndef BREVALT_TIMESTAMP_AUTHORITY_TIME_H
#define BREVALT_TIMESTAMP_AUTHORITY_TIME_H

#include <cstdint>

namespace brevalt {

// Reads a GeneralizedTime text "YYYYMMDDHHMMSSZ" as a UTC instant into *out.
// RFC 3161 requires genTime in UTC, so the fields are converted as UTC on
// every computer, whatever its time zone. A fraction of a second before the
// "Z" ("20171220082253.5Z") is accepted and dropped. Fails (false, *out
// untouched) on a null or short text, a non-digit among the fourteen, fields
// outside their ranges (year >= 1900, month 1..12, day 1..31, hour 0..23,
// minute and second 0..59), or any zone other than "Z": a time given with an
// offset or without a zone cannot be read as UTC safely. A day past the end
// of its month rolls into the next month.
bool ParseAuthorityTime(const char* text, int64_t* out);

}  // namespace brevalt

#endif  // BREVALT_TIMESTAMP_AUTHORITY_TIME_H
