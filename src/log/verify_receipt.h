// The receipt of a verification log: an RFC 3161 time-stamp answer over the
// SHA-256 (or, with hash=SM3, the SM3) of the log's bytes exactly as
// written, stored beside the log as "<log>.tsr". With it anyone can later
// prove that this very log existed at the stamped time and has not changed
// since (docs/receipt.md).
#ifndef BREVALT_LOG_VERIFY_RECEIPT_H
#define BREVALT_LOG_VERIFY_RECEIPT_H

#include <string>

namespace brevalt {

// Results of WriteVerifyReceipt.
enum VerifyReceiptCode : int {
  kReceiptWritten = 0,
  kReceiptNoLog = 1,        // the log cannot be read back
  kReceiptNoAnswer = 2,     // no time-stamp authority gave a valid answer
  kReceiptWriteFailed = 3,  // the answer could not be stored
};

// What a VerifyReceiptCode other than kReceiptWritten means, in words.
const char* ReceiptFailureText(int code);

// The receipt's path: the log's path and ".tsr".
std::u16string ReceiptPathOf(const std::u16string& log_path);

// Asks the time-stamp authorities of the settings (side by side, as for the
// trusted time, the one that gave the last trusted time first) for a time
// stamp over the digest of the log's bytes as they are on disk, with a nonce and the signer's
// certificate, and stores the whole answer at ReceiptPathOf(log_path), never as a partial file. On
// any failure no receipt of this log remains. Blocks up to the trusted-time budget. Returns a
// VerifyReceiptCode. Any thread.
int WriteVerifyReceipt(const std::u16string& log_path);

// How far the receipt's stamp time may lie after the trusted time the log
// records. The receipt is asked for right after the log is written, and the
// log's trusted time is taken before the bid check, so the gap is the check
// of the bid (reading a bid of several GiB from a slow stick twice takes
// minutes), the rules download and the receipt request (30 s each at most).
// Ten minutes covers that with room; an edited log stamped afresh later than
// that is refused.
inline constexpr int64_t kReceiptAfterLogSeconds = 600;
// How far it may lie before it: the two times may come from two authorities
// whose clocks disagree a little, and the log prints whole seconds.
inline constexpr int64_t kReceiptBeforeLogSeconds = 60;

// What checking a receipt found.
struct ReceiptCheck {
  bool valid = false;
  std::string reason;      // why it is not valid; empty when it is
  std::string authority;   // the signer's subject, when the signature checked
  std::string stamped_at;  // "YYYYMMDDHHMMSSZ" (UTC), when the signature checked
};

// Checks the receipt beside the log at log_path: it must be a regular file
// holding a time-stamp answer whose imprint is the SHA-256 of the log's
// bytes (or their SM3 when the settings ask time stamps with hash=SM3),
// signed by an authority that chains to today's time-stamp trust anchors,
// and stamped within kReceiptBeforeLogSeconds before to
// kReceiptAfterLogSeconds after the trusted time the log records
// (FindRecordedTrustedTime). A log that records no trusted time has no
// valid receipt. The reason names what was found instead.
ReceiptCheck CheckVerifyReceipt(const std::u16string& log_path);

}  // namespace brevalt

#endif  // BREVALT_LOG_VERIFY_RECEIPT_H
