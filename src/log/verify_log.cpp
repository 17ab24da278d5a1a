#include "log/verify_log.h"

#include <filesystem>

#include "config/settings.h"
#include "config/text_convert.h"
#include "engine/result_display.h"
#include "log/replace_file.h"
#include "log/verify_receipt.h"
#include "platform/plain_text.h"
#include "platform/user_folder.h"

namespace brevalt {
namespace {

// Headings written as fixed GBK bytes whatever the ANSI code page is.
constexpr char kBidInfoHeading[] = "\x36\xa1\xa2\xb1\xea\xca\xe9\xd0\xc5\xcf\xa2\n";  // 6、标书信息
constexpr char kOpenersHeading[] =
    "\n\x37\xa1\xa2\xbf\xaa\xb1\xea\xc8\xcb\xd0\xc5\xcf\xa2\n";  // 7、开标人信息
constexpr char kMessagesHeading[] = "\n\x38\xa1\xa2\xcf\xfb\xcf\xa2\xbf\xf2\n";  // 8、消息框
// "大项", "错误明细", "错误性质", "处理意见" at byte offsets 4, 25, 58 and 91,
// so the header is 100 bytes with its LF.
constexpr char kMessageTableHeader[] =
    "    \xb4\xf3\xcf\xee                 "
    "\xb4\xed\xce\xf3\xc3\xf7\xcf\xb8                         "
    "\xb4\xed\xce\xf3\xd0\xd4\xd6\xca                         "
    "\xb4\xa6\xc0\xed\xd2\xe2\xbc\xfb\n";
static_assert(sizeof kMessageTableHeader - 1 == 100);

// What a log whose run could not write its own is overwritten with, when it
// cannot be removed.
constexpr char16_t kLogNotWrittenNotice[] = u"本次验证的日志未能写入，此前的验证日志已作废。\n";

// Collects the report: wide pieces in the ANSI code page, fixed bytes as
// they are. Only the report's own literals may break a line: every other
// text (from the record or read back from the dialog) is written through
// PlainText, so no outside text can start a line that looks like ours.
class Report {
 public:
  Report& operator<<(const char16_t* literal) {
    bytes_ += WideToAnsiString(literal);
    return *this;
  }
  Report& operator<<(const std::u16string& text) {
    bytes_ += WideToAnsiString(PlainText(text));
    return *this;
  }
  Report& Bytes(std::string_view bytes) {
    bytes_ += bytes;
    return *this;
  }
  std::string Take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

// Cell column of a list row as shown; empty when the row is shorter.
std::u16string Cell(const ListRow& row, std::size_t column) {
  return column < row.size() ? row[column] : std::u16string();
}

void WriteSteps(Report& out, const CVerifyResult& result, IDialogSeam& dialog) {
  out << u"4、验证步骤\n";
  out << u"    1、网络及配置是否正确：" << dialog.GetControlText(kEditStepNetwork) << u"\n";
  out << u"    2、时间戳时间：" << result.TimestampTimeText << u"\n";
  out << u"    3、本机时间是否正确：" << dialog.GetControlText(kEditStepLocalClock) << u"\n";
  out << u"    4、规则文件获取正确: " << dialog.GetControlText(kEditStepRulesFile) << u"\n";
  out << u"    5、标书格式验证：" << dialog.GetControlText(kEditStepBidFormat) << u"\n";
  out << u"    6、标书签名验证：" << dialog.GetControlText(kEditStepSignature) << u"\n";
  out << u"------最终检测结果：" << dialog.GetControlText(kStaticVerdict) << u" ------\n\n";
}

void WriteLists(Report& out, const CVerifyResult& result, IDialogSeam& dialog) {
  out.Bytes(kBidInfoHeading) << u"    名称" << u"          内容\n";
  for (const ListRow& row : dialog.GetListRows(kListBidInfo))
    out << Cell(row, 0) << u"    " << Cell(row, 1) << u"\n";
  out.Bytes(kOpenersHeading);
  if (result.MayOpen == StepPassed) {
    std::size_t number = 0;
    for (const OpenerEntry& opener : ReadableOpeners(result)) {
      out << Utf8ToWide(std::to_string(number++)) << u"    " << opener.name << u"    "
          << (opener.valid ? u"有效" : u"无效") << u"\n";
    }
  }
  out.Bytes(kMessagesHeading).Bytes(kMessageTableHeader);
  for (const ListRow& row : dialog.GetListRows(kListMessages)) {
    out << u"    " << Cell(row, 0) << u"    " << Cell(row, 1) << u"    " << Cell(row, 2) << u"     "
        << Cell(row, 3) << u"\n";
  }
}

}  // namespace

std::string WideToAnsiString(std::u16string_view text) {
  return WideToAnsi(text);
}

std::string ComposeVerifyLog(const CVerifyResult& result, IDialogSeam& dialog) {
  Report out;
  out << u"标书路径： " << result.BidPath << u"\n\n";
  if (dialog.IsChecked(kCheckVerifyRules))
    out << u"2、验证规则文件：是;     " << u"写日志：是." << u"\n\n";
  else
    out << u"2、验证规则文件：否" << u"\n\n";
  out << u"3、标书验证码： " << result.VerifyCode << u"\n\n";
  WriteSteps(out, result, dialog);
  out << u"5、投标人信息：\n"
      << u"投标人：" << result.BidderName << u"    证书是否有效: "
      << dialog.GetControlText(kStaticBidderValidity) << u"\n\n";
  WriteLists(out, result, dialog);
  return out.Take();
}

std::u16string VerifyLogFolder() {
  std::u16string folder = GetUserDataFolder();
  if (folder.empty())
    return {};
  if (folder.back() != kPathSeparator)
    folder += kPathSeparator;
  return folder + u"Log";
}

int WriteVerifyLog(const CVerifyResult& result, IDialogSeam& dialog, std::u16string* written,
                   VerifyLogFailure* failure) {
  if (!dialog.IsChecked(kCheckWriteLog))
    return kLogNotWanted;
  // Without a data folder the log would land in the file system's root.
  const std::u16string folder = VerifyLogFolder();
  if (folder.empty()) {
    if (failure != nullptr)
      *failure = {};
    return kLogNoFolder;
  }
  const std::filesystem::path native = ToNativePath(folder);
  std::error_code error;
  if (!std::filesystem::is_directory(native, error) &&
      !std::filesystem::create_directory(native, error)) {
    if (failure != nullptr)
      *failure = {folder, {error.value()}};
    return kLogNoFolder;
  }
  if (result.BidFileName.empty())
    return kLogNoFileName;
  const std::u16string path = folder + kPathSeparator + result.BidFileName + u".txt";
  // The receipt of the earlier log is no receipt of this one.
  std::error_code ignored;
  std::filesystem::remove(ToNativePath(ReceiptPathOf(path)), ignored);
  ReplaceFailure replace;
  if (ReplaceFileContent(path, ComposeVerifyLog(result, dialog),
                         WideToAnsiString(kLogNotWrittenNotice), &replace) != 0) {
    if (failure != nullptr)
      *failure = {path, replace};
    return kLogWriteFailed;
  }
  if (written != nullptr)
    *written = path;
  return kLogWritten;
}

}  // namespace brevalt
