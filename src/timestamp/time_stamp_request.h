// The two halves of one time-stamp request through the PKI library, shared
// by the single request and the authorities asked side by side: preparing
// the request (imprint, authority, algorithm, time limit) and running its
// exchange to read the granted time. Internal to brevalt_timestamp.
#ifndef BREVALT_TIMESTAMP_TIME_STAMP_REQUEST_H
#define BREVALT_TIMESTAMP_TIME_STAMP_REQUEST_H

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tavik/tavik_handles.h"

namespace brevalt {

// A request to the authority at url_ansi over the digest of data, or of the
// fixed imprint block when data is empty, whose exchange ends within limit
// (> 0), digested with algorithm (TAVIK_HASH_TIMESTAMP or TAVIK_HASH_SM3);
// null when any library step failed (everything it made is released).
UniqueTimeStamp PrepareTimeStampRequest(const char* url_ansi, std::chrono::milliseconds limit,
                                        std::string_view data = {},
                                        int algorithm = TAVIK_HASH_TIMESTAMP);

// Runs the exchange of a prepared request and reads the granted answer:
// status 0 or 1, a readable time and a token. True with *out set on success;
// *out untouched otherwise. With answer, the whole answer is kept there too
// (and is needed for success). Every library buffer is released. On failure
// *why (when given) says what happened, in words ("connection refused",
// "HTTP status 404", "the answer's signer is not trusted: ...").
bool ReadGrantedTime(TAVIK_TIMESTAMP_st* request, int64_t* out,
                     std::vector<unsigned char>* answer = nullptr, std::string* why = nullptr);

}  // namespace brevalt

#endif  // BREVALT_TIMESTAMP_TIME_STAMP_REQUEST_H
