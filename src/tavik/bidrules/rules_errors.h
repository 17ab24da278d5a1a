// Result codes of the rules-file library (tavik_rulesfile).
//
// 0 is success; every failure has its own positive code, listed in
// docs/rules-service.md. Callers pass them up or report them: never renumber
// one, only add new ones.
#ifndef BREVALT_TAVIK_BIDRULES_RULES_ERRORS_H
#define BREVALT_TAVIK_BIDRULES_RULES_ERRORS_H

#include "tavik/calling_errors.h"

namespace brevalt::rulesfile {

inline constexpr int kOk = tavik::kCallOk;

// Calling errors.
inline constexpr int kInvalidArgument =
    tavik::kCallInvalidArgument;  // null handle or pointer, bad length or index
inline constexpr int kOutOfMemory = tavik::kCallOutOfMemory;
inline constexpr int kNotDownloaded = 3;  // a question before a successful GetRules
inline constexpr int kBufferTooSmall =
    tavik::kCallBufferTooSmall;   // second call with a length below the text's
inline constexpr int kNoUrl = 5;  // GetRules without a (non-empty) target URL

// The exchange with the rules service.
inline constexpr int kBadUrl = 10;         // malformed, or a scheme other than http/https
inline constexpr int kConnectFailed = 11;  // refused, unreachable or unresolved host
inline constexpr int kTimedOut = 12;       // connect or total time-out
inline constexpr int kTransport = 13;      // any other transport failure (reset, TLS, protocol)
inline constexpr int kRedirect = 14;       // HTTP 3xx; redirects are never followed
inline constexpr int kHttpStatus = 15;     // any HTTP status besides 200, 404 and 3xx
inline constexpr int kTooLarge = 16;       // answer body over kMaxRulesFileBytes
inline constexpr int kEmptyBody = 17;      // HTTP 200 without a body
inline constexpr int kNoRulesFile = 26;    // HTTP 404: no rules file for this query

// Questions about the downloaded rules file.
inline constexpr int kNotDocument = 30;  // not a bid environment document
inline constexpr int kNoElement = 31;    // no organization or opentime element
inline constexpr int kNoCertText = 32;   // an opener without cert text
inline constexpr int kDifferent = 33;    // CompareFile: the bytes differ

// A short English description of a code, as tools print it and
// docs/rules-service.md lists it; never null.
constexpr const char* ErrorText(int code) {
  if (const char* shared = tavik::CallingErrorText(code))
    return shared;
  switch (code) {
    case kNotDownloaded:
      return "no rules file downloaded yet";
    case kNoUrl:
      return "no rules-service URL";
    case kBadUrl:
      return "the rules-service URL is malformed or not http/https";
    case kConnectFailed:
      return "cannot connect (refused, unreachable or unknown host)";
    case kTimedOut:
      return "no answer in time";
    case kTransport:
      return "the connection failed (reset, TLS or malformed HTTP)";
    case kRedirect:
      return "answered with a redirect, which is not followed";
    case kHttpStatus:
      return "answered with an HTTP error status";
    case kTooLarge:
      return "the answer is larger than 16 MiB";
    case kEmptyBody:
      return "the answer is empty";
    case kNoRulesFile:
      return "no rules file for this project";
    case kNotDocument:
      return "the rules file is not a bid environment document";
    case kNoElement:
      return "the rules file has no organization or opentime element";
    case kNoCertText:
      return "an opener of the rules file has no certificate text";
    case kDifferent:
      return "the rules files differ";
    default:
      return "unknown error";
  }
}

}  // namespace brevalt::rulesfile

#endif  // BREVALT_TAVIK_BIDRULES_RULES_ERRORS_H
