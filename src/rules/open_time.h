// The open time (开标时间) of the downloaded rules file, in either of the two
// text forms the rules service supplies, as a time value (seconds since
// 1970-01-01 00:00:00 UTC). Texts are read as local time of this machine,
// daylight saving decided by the system.
//
//   numeric form: six decimal integers, year month day hour minute second,
//                 each pair separated by exactly one character of any kind
//                 ("2011-03-15 10:00:00", "2011/3/15 9:00:00"); each integer
//                 may follow blanks and carry a sign; the rest after the
//                 sixth is ignored.
//   long form:    "Mar 15, 2011 10:00:00 AM": month abbreviation (JAN..DEC,
//                 any case), day (commas ignored), year, h:m:s, AM or PM,
//                 single spaces between; tokens after the fifth are ignored.
//
// Valid fields: year 1900 on, month 1-12, day 1-31, hour 0-23, minute and
// second 0-59. Worker thread; nothing is shared between calls.
#ifndef BREVALT_RULES_OPEN_TIME_H
#define BREVALT_RULES_OPEN_TIME_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rules/rules_file_client.h"

namespace brevalt {

// Reads the downloaded open time through the long form. 0 with *time set; -1
// (no handle, empty text, not a valid long form) or the library's nonzero
// result otherwise, *time untouched.
int ReadOpenTimeNormalized(const CRulesFileClient& client, int64_t* time);
// The same, reading the text as a numeric form.
int ReadOpenTimeNumeric(const CRulesFileClient& client, int64_t* time);

// A long form rewritten as "%04d-%02d-%02d %02d:%02d:%02d"; empty when text
// is not a long form (fewer than five parts, unknown month, a time without
// exactly three pieces, an hour outside 0-24). 12 AM is hour 0, 12 PM hour
// 12, 1 PM hour 13; fields are not range-checked beyond the hour.
std::u16string NormalizeOpenTime(const std::u16string& text);

// Fills parts with the pieces of text (blanks at both ends removed first)
// between occurrences of separator; adjacent separators give an empty part, a
// trailing empty part is dropped. Returns the number of parts; 0 when text or
// separator is empty.
int SplitText(const std::u16string& text, const std::u16string& separator,
              std::vector<std::u16string>& parts);

// True with *time set when text (up to its first NUL) is a numeric form of a
// valid local date and time; *time untouched otherwise.
bool ParseNumericTime(std::string_view text, int64_t* time);

}  // namespace brevalt

#endif  // BREVALT_RULES_OPEN_TIME_H
