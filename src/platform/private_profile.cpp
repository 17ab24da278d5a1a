// Our own reader of private-profile (INI) files; see private_profile.h for the
// rules it follows.
#include "platform/private_profile.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/regular_file.h"

namespace brevalt {
namespace {

// The whole content of a regular file; nothing for a missing or unreadable
// file, a folder or a device (a FIFO would otherwise block the reader), and
// nothing with *too_large set once more than max_bytes bytes have come.
std::optional<std::string> ReadRegularFile(const std::u16string& path, std::size_t max_bytes,
                                           bool* too_large) {
  const UniqueFd fd = OpenRegularFile(path);
  if (!fd.valid())
    return std::nullopt;
  std::string content;
  char chunk[4096];
  for (;;) {
    const long got = ReadSome(fd, chunk, sizeof chunk);
    if (got < 0)
      return std::nullopt;
    if (got == 0)
      return content;
    content.append(chunk, static_cast<std::size_t>(got));
    if (content.size() > max_bytes) {
      *too_large = true;
      return std::nullopt;
    }
  }
}

// Length of the well-formed UTF-8 sequence at the start of bytes (no overlong
// forms, no surrogates, nothing above U+10FFFF); 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80)
    return 1;
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC2 || lead > 0xF4 || bytes.size() < length)
    return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80)
      return 0;
  }
  const unsigned char second = byte(1);
  if (lead == 0xE0 && second < 0xA0)
    return 0;  // overlong
  if (lead == 0xED && second > 0x9F)
    return 0;  // surrogate
  if (lead == 0xF0 && second < 0x90)
    return 0;  // overlong
  if (lead == 0xF4 && second > 0x8F)
    return 0;  // above U+10FFFF
  return length;
}

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0)
      return false;
    bytes.remove_prefix(length);
  }
  return true;
}

// Splits at "\r\n", "\n" and "\r".
template <typename Char>
std::vector<std::basic_string_view<Char>> SplitLines(std::basic_string_view<Char> text) {
  std::vector<std::basic_string_view<Char>> lines;
  while (!text.empty()) {
    std::size_t end = 0;
    while (end < text.size() && text[end] != Char('\n') && text[end] != Char('\r'))
      ++end;
    lines.push_back(text.substr(0, end));
    if (end < text.size() && text[end] == Char('\r')) {
      ++end;
      if (end < text.size() && text[end] == Char('\n'))
        ++end;
    } else if (end < text.size()) {
      ++end;
    }
    text.remove_prefix(end);
  }
  return lines;
}

// A file that starts with the UTF-16LE byte-order mark, as Windows editors
// save "Unicode" text. Each line ends at its first NUL.
std::vector<std::u16string> DecodeUtf16LeLines(std::string_view bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto low = static_cast<unsigned char>(bytes[2 * i]);
    const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<char16_t>(low | (high << 8));
  }
  std::vector<std::u16string> lines;
  for (std::u16string_view line : SplitLines(std::u16string_view(text))) {
    lines.emplace_back(line.substr(0, line.find(u'\0')));
  }
  return lines;
}

// The file's lines as UTF-16: UTF-16LE or UTF-8 after their byte-order mark,
// else UTF-8 when the whole file is valid UTF-8, else the ANSI code page.
std::vector<std::u16string> DecodeLines(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE"))
    return DecodeUtf16LeLines(bytes.substr(2));
  CodePage page = CodePage::kAnsi;
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    page = CodePage::kUtf8;
  } else if (IsValidUtf8(bytes)) {
    page = CodePage::kUtf8;
  }
  std::vector<std::u16string> lines;
  for (std::string_view line : SplitLines(bytes))
    lines.push_back(DecodeCodePage(line, page));
  return lines;
}

std::u16string_view Trim(std::u16string_view text) {
  const auto is_blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  while (!text.empty() && is_blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back()))
    text.remove_suffix(1);
  return text;
}

char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i]))
      return false;
  }
  return true;
}

std::u16string_view Unquote(std::u16string_view value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The value of key in the first section named section. Keys before the first
// section header belong to no section; a later section of the same name is
// not searched, as on Windows.
std::optional<std::u16string> FindValue(const std::vector<std::u16string>& lines,
                                        std::u16string_view section, std::u16string_view key) {
  bool in_section = false;
  for (const std::u16string& raw : lines) {
    const std::u16string_view line = Trim(raw);
    if (line.empty() || line.front() == u';')
      continue;
    if (line.front() == u'[') {
      if (in_section)
        return std::nullopt;
      const std::u16string_view name = line.substr(1, line.find(u']') - 1);
      in_section = EqualsIgnoreCase(Trim(name), section);
      continue;
    }
    const std::size_t equals = line.find(u'=');
    if (!in_section || equals == std::u16string_view::npos)
      continue;
    if (EqualsIgnoreCase(Trim(line.substr(0, equals)), key)) {
      return std::u16string(Unquote(Trim(line.substr(equals + 1))));
    }
  }
  return std::nullopt;
}

}  // namespace

ProfileValue ReadPrivateProfileValue(const std::u16string& section, const std::u16string& key,
                                     const std::u16string& default_value,
                                     const std::u16string& path, std::size_t max_length,
                                     std::size_t max_file_bytes) {
  bool too_large = false;
  const std::optional<std::string> content = ReadRegularFile(path, max_file_bytes, &too_large);
  std::optional<std::u16string> value;
  if (content)
    value = FindValue(DecodeLines(*content), section, key);
  if (too_large || !value)
    return {too_large ? ProfileStatus::kFileTooLarge : ProfileStatus::kMissing, default_value};
  value->resize(std::min(value->find(u'\0'), value->size()));
  if (value->size() > max_length)
    return {ProfileStatus::kTooLong, default_value};
  return {ProfileStatus::kFound, std::move(*value)};
}

}  // namespace brevalt
