// The text conversions used wherever text changes encoding: UTF-16 (the
// system's own text) to and from the ANSI code page (GBK) and UTF-8.
// Each takes zero-terminated input (a null pointer reads as empty text),
// stops at the first NUL and never fails: a character the target cannot
// represent becomes "?", an invalid input sequence becomes U+FFFD.
#ifndef BREVALT_CONFIG_TEXT_CONVERT_H
#define BREVALT_CONFIG_TEXT_CONVERT_H

#include <string>
#include <string_view>
#include <vector>

namespace brevalt {

std::u16string AnsiToWide(const char* text);
std::u16string AnsiToWide(std::string_view text);
std::string WideToAnsi(const char16_t* text);
std::string WideToAnsi(std::u16string_view text);
std::u16string Utf8ToWide(const char* text);
std::u16string Utf8ToWide(std::string_view text);
std::string WideToUtf8(const char16_t* text);
std::string WideToUtf8(std::u16string_view text);

// Splits text at every occurrence of the one-character separator. Leading and
// interior empty parts are kept; a trailing empty part is not; an empty text
// gives no part.
std::vector<std::u16string> SplitString(const std::u16string& text, char16_t separator);

}  // namespace brevalt

#endif  // BREVALT_CONFIG_TEXT_CONVERT_H
