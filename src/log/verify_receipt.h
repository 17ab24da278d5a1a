// The receipt of a verification log: an RFC 3161 time-stamp answer over the
// SHA-256 of the log's bytes exactly as written, stored beside the log as
// "<log>.tsr". With it anyone can later prove that this very log existed at
// the stamped time and has not changed since (docs/receipt.md).
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
// trusted time) for a time stamp over the SHA-256 of the log's bytes as they
// are on disk, with a nonce and the signer's certificate, and stores the
// whole answer at ReceiptPathOf(log_path), never as a partial file. On any
// failure no receipt of this log remains. Blocks up to the trusted-time
// budget. Returns a VerifyReceiptCode. Any thread.
int WriteVerifyReceipt(const std::u16string& log_path);

// What checking a receipt found.
struct ReceiptCheck {
  bool valid = false;
  std::string reason;      // why it is not valid; empty when it is
  std::string authority;   // the signer's subject, when valid
  std::string stamped_at;  // "YYYYMMDDHHMMSSZ" (UTC), when valid
};

// Checks the receipt beside the log at log_path against the log's bytes and
// today's time-stamp trust anchors.
ReceiptCheck CheckVerifyReceipt(const std::u16string& log_path);

}  // namespace brevalt

#endif  // BREVALT_LOG_VERIFY_RECEIPT_H
