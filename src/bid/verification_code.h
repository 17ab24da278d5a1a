// The verification code of a bid file: the upper-case hexadecimal digest of
// every byte of the file.
#ifndef BREVALT_BID_VERIFICATION_CODE_H
#define BREVALT_BID_VERIFICATION_CODE_H

#include <future>
#include <string>
#include <vector>

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

// The verification code computed on a second thread while the caller goes on
// (the bid checks verify the container meanwhile). The caller applies the
// outcome where its order of tests needs it, so a failed code still decides
// the check as if it had been computed first.
class PendingVerificationCode {
 public:
  // Starts computing the code of the file at path. When no thread can be
  // started, Join computes it on the caller's thread instead.
  explicit PendingVerificationCode(const std::u16string& path);
  // Waits for a computation still running (the future's destructor does).
  ~PendingVerificationCode() = default;
  PendingVerificationCode(const PendingVerificationCode&) = delete;
  PendingVerificationCode& operator=(const PendingVerificationCode&) = delete;

  // Waits for the computation and applies it as ComputeVerificationCode
  // does: 0 with result.VerifyCode and result.DigestLength set, or -1 with
  // result untouched. When the caller verified the container, verified is the
  // digest of the bytes the container library read: a code of other bytes
  // (the file was replaced or changed between the two reads) is a failure
  // too, so a verdict never carries the code of bytes that were not
  // verified. Call at most once, on the thread that constructed it.
  int Join(CVerifyResult& result, const std::vector<unsigned char>* verified = nullptr);

 private:
  struct Outcome {
    int rc = -1;
    std::u16string code;
    int length = 0;
  };
  const std::u16string path_;
  std::future<Outcome> future_;  // declared last: destroyed (and waited for) first
};

// Longest digest whose code fits the 100-character display buffer.
inline constexpr int kMaxDigestLength = 49;

}  // namespace brevalt

#endif  // BREVALT_BID_VERIFICATION_CODE_H
