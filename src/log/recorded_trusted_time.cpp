#include "log/recorded_trusted_time.h"

#include <cctype>

#include "platform/time_convert.h"

namespace brevalt {
namespace {

// "    2、时间戳时间：" in GBK, as the log writes its step line.
constexpr std::string_view kLogLabel =
    "    2\xA1\xA2\xCA\xB1\xBC\xE4\xB4\xC1\xCA\xB1\xBC\xE4\xA3\xBA";
// "时间戳时间：" in UTF-8.
constexpr std::string_view kUtf8Label =
    "\xE6\x97\xB6\xE9\x97\xB4\xE6\x88\xB3\xE6\x97\xB6\xE9\x97\xB4\xEF\xBC\x9A";

// Reads exactly "YYYY-MM-DD HH:MM:SS" at the start of text.
bool ReadTimeText(std::string_view text, CalendarFields* fields) {
  constexpr std::string_view kShape = "0000-00-00 00:00:00";
  if (text.size() < kShape.size())
    return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
    if (kShape[i] == '0' ? !digit : text[i] != kShape[i])
      return false;
  }
  const auto number = [&](std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i)
      value = value * 10 + (text[i] - '0');
    return value;
  };
  *fields = {number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2)};
  return true;
}

// A UTF-8 byte-order mark, which a file for spreadsheets begins with.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The time after the first line-starting label that is followed by one; the
// file's first line may begin with a byte-order mark.
bool FindAfterLabel(std::string_view bytes, std::string_view label, int64_t* time) {
  const std::size_t first = bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  for (std::size_t at = bytes.find(label); at != std::string_view::npos;
       at = bytes.find(label, at + 1)) {
    if (at != first && bytes[at - 1] != '\n' && bytes[at - 1] != '\r')
      continue;
    CalendarFields fields;
    if (ReadTimeText(bytes.substr(at + label.size()), &fields) && LocalFieldsToTime(fields, time))
      return true;
  }
  return false;
}

}  // namespace

bool FindRecordedTrustedTime(std::string_view bytes, int64_t* time) {
  return FindAfterLabel(bytes, kLogLabel, time) || FindAfterLabel(bytes, kUtf8Label, time);
}

}  // namespace brevalt
