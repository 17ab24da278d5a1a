// Asking several time-stamp authorities side by side for one trusted time.
// Internal to brevalt_timestamp (GetTimeStampTime is the public entry).
//
// The first authority is asked at once. Whenever the authority asked last
// has not answered within the head start, the next one of the list is asked
// as well; an authority that fails (refused, unreachable, untrusted, out of
// time) lets the next one be asked at once instead. The first valid answer
// wins: every request still running is cancelled, and its thread joined,
// before the call returns. Nothing runs past the deadline: the requests
// still running then are cancelled and the call fails.
#ifndef BREVALT_TIMESTAMP_AUTHORITY_RACE_H
#define BREVALT_TIMESTAMP_AUTHORITY_RACE_H

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tavik/tavik_pki.h"

namespace brevalt {

struct AuthorityRacePlan {
  std::vector<std::string> urls_ansi;  // in list order; an empty entry fails at once
  std::chrono::steady_clock::time_point deadline;
  std::chrono::milliseconds head_start;
  // Each exchange ends within this, or what is left until the deadline
  // when that is less.
  std::chrono::milliseconds per_authority;
  std::string_view data;     // the bytes to stamp; empty: the fixed block of a trusted time
  bool keep_answer = false;  // hand back the winner's whole answer
  int algorithm = TAVIK_HASH_TIMESTAMP;  // the imprint's digest (or TAVIK_HASH_SM3)
};

// 1 with *out set to the first valid answer's time; 0 with *out untouched
// when every authority failed or the deadline came first. Blocks the calling
// thread meanwhile; starts one thread per authority asked and never returns
// while one of them runs. Never throws.
// With plan.keep_answer, *answer receives the winner's whole answer; when
// winner_url is given, it receives the URL that gave the valid answer.
// When failures is given and the call fails, it receives one text per
// authority of the list, in list order: what happened to its request, or
// that it was not asked.
int AskAuthoritiesSideBySide(const AuthorityRacePlan& plan, int64_t* out,
                             std::vector<unsigned char>* answer = nullptr,
                             std::string* winner_url = nullptr,
                             std::vector<std::string>* failures = nullptr);

}  // namespace brevalt

#endif  // BREVALT_TIMESTAMP_AUTHORITY_RACE_H
