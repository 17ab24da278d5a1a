// The four text conversions over the platform's code pages, and SplitString.
#include "config/text_convert.h"

#include "platform/code_page.h"

namespace brevalt {

std::u16string AnsiToWide(const char* text) {
  return text == nullptr ? std::u16string() : AnsiToWide(std::string_view(text));
}

std::u16string AnsiToWide(std::string_view text) {
  return DecodeCodePage(text, CodePage::kAnsi);
}

std::string WideToAnsi(const char16_t* text) {
  return text == nullptr ? std::string() : WideToAnsi(std::u16string_view(text));
}

std::string WideToAnsi(std::u16string_view text) {
  return EncodeCodePage(text, CodePage::kAnsi);
}

std::u16string Utf8ToWide(const char* text) {
  return text == nullptr ? std::u16string() : Utf8ToWide(std::string_view(text));
}

std::u16string Utf8ToWide(std::string_view text) {
  return DecodeCodePage(text, CodePage::kUtf8);
}

std::string WideToUtf8(const char16_t* text) {
  return text == nullptr ? std::string() : WideToUtf8(std::u16string_view(text));
}

std::string WideToUtf8(std::u16string_view text) {
  return EncodeCodePage(text, CodePage::kUtf8);
}

std::vector<std::u16string> SplitString(const std::u16string& text, char16_t separator) {
  std::vector<std::u16string> parts;
  std::u16string_view rest = text;
  while (!rest.empty()) {
    const std::size_t at = rest.find(separator);
    if (at == std::u16string_view::npos) {
      parts.emplace_back(rest);
      break;
    }
    parts.emplace_back(rest.substr(0, at));
    rest.remove_prefix(at + 1);
  }
  return parts;
}

}  // namespace brevalt
