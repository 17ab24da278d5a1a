// Whether a bid may be opened yet: its open time against a trusted time.
#ifndef BREVALT_TIMESTAMP_MAY_OPEN_H
#define BREVALT_TIMESTAMP_MAY_OPEN_H

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/time_convert.h"
#include "record/verify_result.h"
#include "timestamp/trusted_clock.h"

namespace brevalt {

// Reads six integers (year, month, day, hour, minute, second) from text, each
// pair separated by exactly one character of any kind, as in the
// "%Y-%m-%d %H:%M:%S" text that FormatLocal writes. Each integer may be
// preceded by blanks and a sign, like a scanf "%d"; whatever follows the
// sixth integer is ignored. False when fewer than six integers can be read or
// one does not fit an int. The fields' ranges are not checked here.
bool ReadOpenTimeFields(std::string_view text, CalendarFields* fields);

// The decision for an open time (UTF-16, as the record keeps it) against a
// trusted time: StepUnknown when the text is empty, empty in the ANSI code
// page, not six integers, or not a valid local date and time; StepFailed
// when the trusted time is before the open time (not yet); StepPassed from
// the open time on. The open time is read as local time of this computer,
// daylight saving decided by the system. Pure apart from the time zone.
StepState JudgeMayOpen(const std::u16string& open_time, int64_t trusted);

// Judges result.OpenTime against the trusted time now, stores the decision
// in result.MayOpen and returns it. The time comes from result.TrustedAnchor
// while it is fresh; otherwise from a new request (GetTimeStampTime, after
// before_request when set), whose answer renews the anchor (see
// TrustedTimeNow). No trusted time: StepUnknown. An empty OpenTime is
// StepUnknown without a request. Reports no message. May block for the
// request; the caller must own the record for the duration.
StepState DecideMayOpen(CVerifyResult& result, const BeforeRequest& before_request = {});

}  // namespace brevalt

#endif  // BREVALT_TIMESTAMP_MAY_OPEN_H
