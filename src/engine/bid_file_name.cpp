#include "engine/bid_file_name.h"

#include <vector>

#include "config/text_convert.h"
#include "platform/plain_text.h"
#include "platform/user_folder.h"

namespace brevalt {
namespace {

// White space as the C library's isspace knows it in the "C" locale.
bool IsWhiteSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Trims the right end, then the left end.
std::u16string Trim(const std::u16string& text) {
  std::size_t end = text.size();
  while (end > 0 && IsWhiteSpace(text[end - 1]))
    --end;
  std::size_t begin = 0;
  while (begin < end && IsWhiteSpace(text[begin]))
    ++begin;
  return text.substr(begin, end - begin);
}

// What lies before the last "."; empty when there is none.
std::u16string BeforeLastDot(const std::u16string& text) {
  const std::size_t dot = text.rfind(u'.');
  return dot == std::u16string::npos ? std::u16string() : text.substr(0, dot);
}

}  // namespace

bool ParseBidFileName(const std::u16string& path, std::u16string* project,
                      std::u16string* package) {
  const std::size_t slash = path.rfind(kPathSeparator);
  std::u16string stem = slash == std::u16string::npos ? path : path.substr(slash + 1);
  stem = BeforeLastDot(Trim(stem));
  if (stem.find(u'.') != std::u16string::npos)
    stem = Trim(BeforeLastDot(stem));
  const std::vector<std::u16string> pieces = SplitString(stem, u'_');
  if (pieces.size() != 3)
    return false;
  *project = pieces[1];
  *package = pieces[2];
  return true;
}

bool ApplyChosenBidFile(CVerifyResult& result, IDialogSeam& dialog, const std::u16string& full_path,
                        const std::u16string& file_name) {
  // The path and the texts taken from the name keep their bytes: they open
  // the file, name its log and working folder and query the rules, so two
  // names that differ only in a hidden character stay two bids. Where they
  // are shown or written as text, stand-ins replace control characters.
  result.BidPath = full_path;
  result.BidFileName = file_name;
  std::u16string project;
  std::u16string package;
  if (!ParseBidFileName(full_path, &project, &package)) {
    dialog.ShowMessageBox(kBidFileNameWarning, u"警告", MessageBoxIcon::kWarning);
    result.BidPath.clear();
    return false;
  }
  result.ProjectNumber = project;
  result.PackageNumber = package;
  dialog.SetControlText(kEditBidPath, PlainText(result.BidPath));
  return true;
}

}  // namespace brevalt
