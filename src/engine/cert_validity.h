// Whether a certificate is still valid, as the result display and the log
// show it ("有效" / "无效").
#ifndef BREVALT_ENGINE_CERT_VALIDITY_H
#define BREVALT_ENGINE_CERT_VALIDITY_H

#include <cstdint>

#include "tavik/tavik_pki.h"

namespace brevalt {

// Reads the leading fourteen digits "YYYYMMDDHHMMSS" of text as a LOCAL date
// and time into *out. Returns 1 without touching *out when text is null, 0 on
// success, and 2 (leaving *out untouched) when the digits do not form a valid
// date and time.
int ParseCertTime(const char* text, int64_t* out);

// True while the certificate's end of validity (attribute 31) lies in the
// future or less than one hour in the past: whole hours of (end - now),
// truncated toward zero, must be at least 0. False when the end of validity
// cannot be read or parsed. The start of validity is not consulted.
bool IsCertStillValid(TAVIK_CERT_st* cert);
bool IsCertStillValid(TAVIK_CERT_st* cert, int64_t now);

}  // namespace brevalt

#endif  // BREVALT_ENGINE_CERT_VALIDITY_H
