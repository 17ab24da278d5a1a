// Result codes of the bid container library (tavik_secretfile).
//
// 0 is success; every failure has its own positive code. The codes are shown
// to users as "验证规则失败，错误代码 = N" and are listed in docs/container.md:
// never renumber one, only add new ones.
#ifndef BREVALT_PLATFORM_CONTAINER_CONTAINER_ERRORS_H
#define BREVALT_PLATFORM_CONTAINER_CONTAINER_ERRORS_H

#include "tavik/calling_errors.h"

namespace brevalt::container {

inline constexpr int kOk = tavik::kCallOk;

// Calling errors.
inline constexpr int kInvalidArgument =
    tavik::kCallInvalidArgument;  // null handle, pointer or path
inline constexpr int kOutOfMemory = tavik::kCallOutOfMemory;
inline constexpr int kNotVerified = 3;  // a getter before a successful Verify
inline constexpr int kBufferTooSmall =
    tavik::kCallBufferTooSmall;  // second call with a length below the size

// File access.
inline constexpr int kFileOpenFailed = 10;  // missing, unreadable or not a regular file
inline constexpr int kFileReadFailed = 11;  // I/O error, or the file changed while read

// Structure.
inline constexpr int kNotAContainer = 20;  // too short for the magic, or wrong magic
inline constexpr int kUnsupportedVersion = 21;
inline constexpr int kTruncated = 22;         // a declared block runs past the end of file
inline constexpr int kTrailingBytes = 23;     // bytes after the signature block
inline constexpr int kLengthOutOfRange = 24;  // a length above the format's limit

// Certificate and signature.
inline constexpr int kCertificateMalformed = 30;     // not exactly one DER X.509 certificate
inline constexpr int kSignatureMalformed = 31;       // not a detached CMS SignedData we accept
inline constexpr int kUnsupportedAlgorithm = 32;     // digest or signature algorithm we never write
inline constexpr int kSignerMismatch = 33;           // SignerInfo names another certificate
inline constexpr int kContentDigestMismatch = 34;    // signed bytes changed after sealing
inline constexpr int kSignatureInvalid = 35;         // signature does not verify with the key
inline constexpr int kSignatureNotCanonical = 36;    // not the one DER encoding (or a high ECDSA s)
inline constexpr int kSignatureUnexpectedForm = 37;  // a version, field or attribute we never write
inline constexpr int kSignerNotTrusted = 38;         // bidder trust anchors exist; no chain to one

// Sealing (container writer only).
inline constexpr int kFileWriteFailed = 40;
inline constexpr int kSigningFailed = 41;

// A short English description of a code, for tools and logs; never null.
const char* ErrorText(int code);

}  // namespace brevalt::container

#endif  // BREVALT_PLATFORM_CONTAINER_CONTAINER_ERRORS_H
