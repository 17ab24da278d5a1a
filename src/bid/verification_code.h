// The verification code of a bid file: the upper-case hexadecimal digest of
// every byte of the file.
#ifndef BREVALT_BID_VERIFICATION_CODE_H
#define BREVALT_BID_VERIFICATION_CODE_H

#include <string>
#include <vector>

#include "bid/locked_file.h"
#include "record/verify_result.h"

namespace brevalt {

// Digests the file at path (algorithm 4096 of the PKI library), read in
// 1 MiB blocks and handed to the hash in pieces of at most 8192 bytes, and,
// on success, stores the code in result.VerifyCode and the digest's size in
// result.DigestLength. Returns 0 on success, -1 on any failure (VerifyCode
// is then left as it was).
//
// The file is held under a shared advisory lock (flock) while it is read:
// other verifications of the same bid share it, and a bid that another
// program holds locked exclusively fails; see LockedFile.
// Worker thread.
int ComputeVerificationCode(const std::u16string& path, CVerifyResult& result);

// The verification code of one check, taken from the same read that verifies
// the container. The bid file is held under the shared lock from
// construction to Join, so a bid that another program holds locked
// exclusively still fails first. When the container verified, the code is the
// digest of the very bytes it read (its whole-file SHA-256, the digest the
// PKI library's algorithm 4096 gives): the file is not read a second time,
// and the code cannot belong to other bytes. Only when the container did not
// verify is the file read again, through the held lock, for the code shown
// beside the failure.
class PendingVerificationCode {
 public:
  // Opens the file at path under the shared lock; a failure is kept for Join.
  explicit PendingVerificationCode(const std::u16string& path);
  ~PendingVerificationCode() = default;
  PendingVerificationCode(const PendingVerificationCode&) = delete;
  PendingVerificationCode& operator=(const PendingVerificationCode&) = delete;

  // Applies the code as ComputeVerificationCode does: 0 with
  // result.VerifyCode and result.DigestLength set, or -1 with result
  // untouched. verified is the digest of the bytes the container library
  // verified, or null when the caller's container did not verify; an empty
  // or oversized digest is a failure (no code matches it). Call at most once.
  int Join(CVerifyResult& result, const std::vector<unsigned char>* verified = nullptr);

 private:
  LockedFile file_;
  bool opened_ = false;
};

// Longest digest whose code fits the 100-character display buffer.
inline constexpr int kMaxDigestLength = 49;

}  // namespace brevalt

#endif  // BREVALT_BID_VERIFICATION_CODE_H
