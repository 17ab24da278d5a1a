#include "log/verify_receipt.h"

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "config/settings.h"
#include "config/text_convert.h"
#include "engine/local_time.h"
#include "log/recorded_trusted_time.h"
#include "log/replace_file.h"
#include "platform/regular_file.h"
#include "platform/user_folder.h"
#include "tavik/tavik_handles.h"
#include "timestamp/authority_time.h"
#include "timestamp/time_stamp_client.h"

namespace brevalt {
namespace {

// Neither a log nor a time-stamp answer comes near this; anything larger is
// not ours and is not read whole.
constexpr std::uintmax_t kMaxReadBytes = 16u << 20;

// Reads the whole regular file at path into *bytes. Empty on success, else
// what the file is instead, as a phrase that follows its name ("is a
// folder", "is 104857600 bytes, more than 16777216"). Never blocks on a FIFO.
std::string ReadWhole(const std::u16string& path, std::string* bytes) {
  const std::string native = ToNativePath(path);
  const UniqueFd fd = OpenRegularFileNative(native);
  struct stat info {};
  if (!fd.valid() || fstat(fd.get(), &info) != 0) {
    const std::string why = WhyNotReadable(native);
    return why.empty() ? "cannot be read" : why;
  }
  if (static_cast<std::uintmax_t>(info.st_size) > kMaxReadBytes)
    return "is " + std::to_string(info.st_size) + " bytes, more than " +
           std::to_string(kMaxReadBytes);
  bytes->clear();
  char chunk[65536];
  for (long n; (n = ReadSome(fd, chunk, sizeof chunk)) != 0;) {
    if (n < 0)
      return "cannot be read";
    bytes->append(chunk, static_cast<std::size_t>(n));
    if (bytes->size() > kMaxReadBytes)
      return "grew past " + std::to_string(kMaxReadBytes) + " bytes while it was read";
  }
  return {};
}

const char* ReasonText(int reason) {
  switch (reason) {
    case TAVIK_RECEIPT_NOT_GRANTED:
      return "the authority refused the request";
    case TAVIK_RECEIPT_DATA_CHANGED:
      return "the log has changed since it was stamped";
    case TAVIK_RECEIPT_BAD_SIGNATURE:
      return "the receipt's signature does not verify";
    case TAVIK_RECEIPT_UNTRUSTED:
      return "the receipt is not signed by a trusted time-stamp authority";
    case TAVIK_RECEIPT_WEAK_IMPRINT:
      return "the receipt's imprint is neither SHA-256 nor SM3, so it could cover another log";
    default:
      return "not a time-stamp answer";
  }
}

// A time as the log prints it, local "YYYY-MM-DD HH:MM:SS".
std::string LocalText(int64_t time) {
  return WideToUtf8(FormatLocalTime(time));
}

// Empty when the stamp time fits the trusted time the log records, else why.
std::string StampTimeProblem(const std::string& log, const std::string& stamped_at) {
  int64_t recorded = 0, stamped = 0;
  if (!FindRecordedTrustedTime(log, &recorded))
    return "the log records no trusted time (step 2), so no receipt can be its own";
  if (!ParseAuthorityTime(stamped_at.c_str(), &stamped))
    return "the receipt's time " + stamped_at + " cannot be read";
  if (stamped < recorded - kReceiptBeforeLogSeconds)
    return "the receipt was stamped at " + LocalText(stamped) +
           ", before the trusted time the log records (" + LocalText(recorded) + ")";
  if (stamped > recorded + kReceiptAfterLogSeconds)
    return "the receipt was stamped at " + LocalText(stamped) + ", more than " +
           std::to_string(kReceiptAfterLogSeconds / 60) +
           " minutes after the trusted time the log records (" + LocalText(recorded) +
           "): it is the receipt of a later copy";
  return {};
}

}  // namespace

const char* ReceiptFailureText(int code) {
  switch (code) {
    case kReceiptNoLog:
      return "the log cannot be read back";
    case kReceiptNoAnswer:
      return "no time-stamp authority gave a valid answer";
    default:
      return "the receipt could not be written";
  }
}

std::u16string ReceiptPathOf(const std::u16string& log_path) {
  return log_path + u".tsr";
}

int WriteVerifyReceipt(const std::u16string& log_path) {
  const std::u16string receipt = ReceiptPathOf(log_path);
  std::error_code ignored;
  std::filesystem::remove(ToNativePath(receipt), ignored);
  std::string log;
  if (!ReadWhole(log_path, &log).empty())
    return kReceiptNoLog;
  std::vector<unsigned char> answer;
  if (RequestTimeStampAnswer(log, &answer) == 0)
    return kReceiptNoAnswer;
  const std::string bytes(answer.begin(), answer.end());
  return ReplaceFileContent(receipt, bytes, {}) == 0 ? kReceiptWritten : kReceiptWriteFailed;
}

ReceiptCheck CheckVerifyReceipt(const std::u16string& log_path) {
  ReceiptCheck check;
  std::string log, answer;
  if (const std::string why = ReadWhole(log_path, &log); !why.empty()) {
    check.reason = "the log " + why;
    return check;
  }
  const std::string why = ReadWhole(ReceiptPathOf(log_path), &answer);
  if (why == "does not exist") {
    check.reason = "no receipt beside the log";
    return check;
  }
  if (!why.empty() || answer.empty()) {
    check.reason = "the receipt beside the log " + (why.empty() ? std::string("is empty") : why);
    return check;
  }
  char* time = nullptr;
  char* authority = nullptr;
  int algorithm = 0, reason = 0;
  const int rc = TavikPKIMsgTimeStampCheckReceipt(
      reinterpret_cast<const unsigned char*>(answer.data()), static_cast<int>(answer.size()),
      reinterpret_cast<const unsigned char*>(log.data()), static_cast<int>(log.size()), &time,
      &authority, &algorithm, &reason);
  UniqueLibBuffer<char> time_text(time), authority_text(authority);
  if (rc != 1) {
    check.reason = ReasonText(reason);
    return check;
  }
  check.stamped_at = time_text.get();
  check.authority = authority_text.get();
  if (algorithm == TAVIK_HASH_SM3 && !ReadTimeStampWantsSm3())
    check.reason = "the receipt's imprint is SM3, and time stamps are not asked with hash=SM3 here";
  else
    check.reason = StampTimeProblem(log, check.stamped_at);
  check.valid = check.reason.empty();
  return check;
}

}  // namespace brevalt
