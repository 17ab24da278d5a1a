// Obtains the current time from an RFC 3161 time-stamp authority through the
// PKI library, so that nothing depends on this computer's clock.
//
// Every call builds and releases its own library objects and asks the
// authority again; nothing is kept between calls, so any thread may call.
// A call blocks its thread while it waits for the authorities: one
// GetTimeStampTime ends within kWholeRequestBudget, whatever the list holds.
#ifndef BREVALT_TIMESTAMP_TIME_STAMP_CLIENT_H
#define BREVALT_TIMESTAMP_TIME_STAMP_CLIENT_H

#include <chrono>
#include <cstdint>
#include <string_view>

namespace brevalt {

// Asked when the TimeStampURL setting names no authority at all.
inline constexpr std::u16string_view kDefaultTimeStampUrl = u"http://timestamp.digicert.com";

// One trusted-time request over the whole list of authorities ends within
// this time; each authority gets what is left of it, at most
// kPerAuthorityBudget (of which the library allows 5 s for connecting).
inline constexpr std::chrono::milliseconds kWholeRequestBudget{30'000};
inline constexpr std::chrono::milliseconds kPerAuthorityBudget{15'000};

// The trusted time from the authorities of the TimeStampURL setting (read
// afresh, split at ";"), tried in their order until one answers; the first
// answer wins and later authorities are not asked. An empty entry is tried
// like any other and fails. Only when the setting gives no entry at all is
// kDefaultTimeStampUrl asked instead. Once kWholeRequestBudget is spent, the
// authorities not yet asked are skipped. Returns non-zero and sets *out on
// success; returns 0 and leaves *out untouched when every authority failed
// or the time ran out.
int GetTimeStampTime(int64_t* out);

// One time-stamp request to the authority at url_ansi (zero-terminated, in
// the system ANSI code page) over a digest of a fixed block of 80 bytes of
// value 1. Success needs every library call to succeed, a status of 0 or 1
// (granted, granted with modifications), a readable UTC time and a token.
// The exchange ends within kPerAuthorityBudget.
// Returns 1 and sets *out to that time on success; 0 otherwise, leaving *out
// untouched. Every library object and buffer is released before returning.
int RequestTimeStamp(const char* url_ansi, int64_t* out);

// Tests only: replaces kWholeRequestBudget and kPerAuthorityBudget for every
// later call; zero durations restore them.
void SetTimeStampBudgetsForTesting(std::chrono::milliseconds whole,
                                   std::chrono::milliseconds per_authority);

}  // namespace brevalt

#endif  // BREVALT_TIMESTAMP_TIME_STAMP_CLIENT_H
