#include "log/verify_receipt.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "log/replace_file.h"
#include "platform/user_folder.h"
#include "tavik/tavik_handles.h"
#include "timestamp/time_stamp_client.h"

namespace brevalt {
namespace {

// Neither a log nor a time-stamp answer comes near this; anything larger is
// not ours and is not read whole.
constexpr std::uintmax_t kMaxReadBytes = 16u << 20;

// The whole file at path, or nothing when it cannot be read or is too large.
bool ReadWhole(const std::u16string& path, std::string* bytes) {
  const std::filesystem::path native = ToNativePath(path);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(native, error);
  if (error || size > kMaxReadBytes || !std::filesystem::is_regular_file(native, error))
    return false;
  std::ifstream in(native, std::ios::binary);
  bytes->assign(std::istreambuf_iterator<char>(in), {});
  return in.good() || in.eof();
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
    default:
      return "not a time-stamp answer";
  }
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
  if (!ReadWhole(log_path, &log))
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
  if (!ReadWhole(log_path, &log)) {
    check.reason = "the log cannot be read";
    return check;
  }
  if (!ReadWhole(ReceiptPathOf(log_path), &answer) || answer.empty()) {
    check.reason = "no receipt beside the log";
    return check;
  }
  char* time = nullptr;
  char* authority = nullptr;
  int reason = 0;
  const int rc = TavikPKIMsgTimeStampCheckReceipt(
      reinterpret_cast<const unsigned char*>(answer.data()), static_cast<int>(answer.size()),
      reinterpret_cast<const unsigned char*>(log.data()), static_cast<int>(log.size()), &time,
      &authority, &reason);
  UniqueLibBuffer<char> time_text(time), authority_text(authority);
  if (rc != 1) {
    check.reason = ReasonText(reason);
    return check;
  }
  check.valid = true;
  check.stamped_at = time_text.get();
  check.authority = authority_text.get();
  return check;
}

}  // namespace brevalt
