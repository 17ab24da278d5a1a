// Obtains the current time from an RFC 3161 time-stamp authority through the
// PKI library, so that nothing depends on this computer's clock.
//
// Every call builds and releases its own library objects and asks the
// authority again; the only thing kept between calls is which authority gave
// the last trusted time (under a lock), so any thread may call.
// A call blocks its thread while it waits for the authorities: one
// GetTimeStampTime ends within kWholeRequestBudget, whatever the list holds
// (name lookups included), and leaves no request running behind it; only a
// name lookup the system has not finished is left to end alone on its own
// thread.
#ifndef BREVALT_TIMESTAMP_TIME_STAMP_CLIENT_H
#define BREVALT_TIMESTAMP_TIME_STAMP_CLIENT_H

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevalt {

// Asked when the TimeStampURL setting names no authority at all.
inline constexpr std::u16string_view kDefaultTimeStampUrl = u"http://timestamp.digicert.com";

// One trusted-time request over the whole list of authorities ends within
// this time. Each exchange with an authority ends within kPerAuthorityBudget
// (of which the library allows 5 s for connecting), or what is left of the
// whole when that is less.
inline constexpr std::chrono::milliseconds kWholeRequestBudget{30'000};
inline constexpr std::chrono::milliseconds kPerAuthorityBudget{15'000};
// How long an authority has to answer before the next one of the list is
// asked as well: a healthy authority answers well within it (tens of
// milliseconds on a good network), so a second one is seldom bothered, while
// a slow or silent one costs two seconds instead of the whole budget.
inline constexpr std::chrono::milliseconds kHeadStart{2'000};

// The trusted time from the authorities of the TimeStampURL setting (read
// afresh, split at ";"), asked side by side: the first at once, and each
// next one when the one asked before it has not answered within kHeadStart,
// or at once when one fails. The first valid answer wins; the requests still
// running are then cancelled, and authorities not yet asked are not asked.
// An empty entry is tried like any other and fails at once. Only when the
// setting gives no entry at all is kDefaultTimeStampUrl asked instead; a
// value that cannot be read (over kMaxSettingLength, or the settings file
// too large) asks no authority and fails.
// Authorities that come due once kWholeRequestBudget is spent are not asked.
// The list order always holds: while the first authority answers within
// its head start the second is never asked, and a first authority that
// failed once is asked first again next time.
// Returns non-zero and sets *out on success; returns 0 and leaves *out
// untouched when every authority failed or the time ran out. With "slow;
// good" the answer comes after about one head start; with three slow ones
// before the good one, after about three. On failure *failures (when
// given) receives "<url>: <what happened>" for each authority of the list,
// in list order (UTF-8, control characters replaced).
int GetTimeStampTime(int64_t* out, std::vector<std::string>* failures = nullptr);

// A time stamp over the SHA-256 of data (not empty), or its SM3 when the
// settings ask with hash=SM3, from the same authorities, asked the same way
// and within the same budget as GetTimeStampTime, except that the authority
// that gave this process's last trusted time, while the setting still names
// it, is asked first (a receipt then goes to the authority that has just
// answered its verification's step 2); the request carries a nonce and asks
// for the signer's certificate. Returns non-zero with *answer the winning
// authority's whole answer (DER TimeStampResp) exactly as received; 0
// otherwise.
int RequestTimeStampAnswer(std::string_view data, std::vector<unsigned char>* answer);

// One time-stamp request to the authority at url_ansi (zero-terminated, in
// the system ANSI code page) over a digest of a fixed block of 80 bytes of
// value 1. Success needs every library call to succeed, a status of 0 or 1
// (granted, granted with modifications), a readable UTC time and a token.
// The exchange ends within kPerAuthorityBudget.
// Returns 1 and sets *out to that time on success; 0 otherwise, leaving *out
// untouched. Every library object and buffer is released before returning.
int RequestTimeStamp(const char* url_ansi, int64_t* out);

// Tests only: replaces kWholeRequestBudget, kPerAuthorityBudget and
// kHeadStart for every later call; zero durations restore them.
void SetTimeStampBudgetsForTesting(std::chrono::milliseconds whole,
                                   std::chrono::milliseconds per_authority,
                                   std::chrono::milliseconds head_start = {});
// Tests only: no authority is asked first by a receipt until one gives a
// trusted time again.
void ForgetLastAnsweringAuthorityForTesting();

}  // namespace brevalt

#endif  // BREVALT_TIMESTAMP_TIME_STAMP_CLIENT_H
