// The verification code of a bid file: the upper-case hexadecimal digest of
// every byte of the file.
#ifndef BREVALT_BID_VERIFICATION_CODE_H
#define BREVALT_BID_VERIFICATION_CODE_H

#include <string>

#include "record/verify_result.h"

namespace brevalt {

// Digests the file at path (algorithm 4096 of the PKI library), read in
// 1 MiB blocks and handed to the hash in pieces of at most 8192 bytes, and,
// on success, stores the code in result.VerifyCode and the digest's size in
// result.DigestLength. Returns 0 on success, -1 on any failure (VerifyCode
// is then left as it was).
//
// The file is held under an exclusive advisory lock (flock) while it is read:
// a bid that another program holds locked, shared or exclusive, fails. On a
// file system without that lock (NFS) the lock is shared or absent; see
// LockedFile.
// Worker thread.
int ComputeVerificationCode(const std::u16string& path, CVerifyResult& result);

// Longest digest whose code fits the 100-character display buffer.
inline constexpr int kMaxDigestLength = 49;

}  // namespace brevalt

#endif  // BREVALT_BID_VERIFICATION_CODE_H
