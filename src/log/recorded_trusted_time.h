// The trusted time a stamped file records, so that a receipt's stamp time can
// be held against it: a receipt stamped long after the run it reports is the
// receipt of an edited copy, not of the file as written.
#ifndef BREVALT_LOG_RECORDED_TRUSTED_TIME_H
#define BREVALT_LOG_RECORDED_TRUSTED_TIME_H

#include <cstdint>
#include <string_view>

namespace brevalt {

// Finds, in the raw bytes of a stamped file, the first line that records a
// trusted time and reads it as local time of this computer into *time:
// - a verification log (GBK): its step line "    2、时间戳时间：YYYY-MM-DD HH:MM:SS";
// - other files (UTF-8): a line that starts "时间戳时间：YYYY-MM-DD HH:MM:SS".
// The label counts only at the start of a line (after the step number for
// a log), so a bid file or bidder name quoting the label elsewhere on a line
// cannot stand in for it. False, *time untouched, when no such line holds a
// valid date and time (a log of a run whose trusted time failed records
// the label with nothing after it).
bool FindRecordedTrustedTime(std::string_view bytes, int64_t* time);

}  // namespace brevalt

#endif  // BREVALT_LOG_RECORDED_TRUSTED_TIME_H
