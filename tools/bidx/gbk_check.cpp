#include "tools/bidx/gbk_check.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string_view>

namespace brevalt::bidx {

namespace {

// True when iconv converts all of `bytes` from `code_page` without error.
bool ConvertsFrom(const char* code_page, const std::vector<unsigned char>& bytes) {
  iconv_t cd = iconv_open("UTF-8", code_page);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return false;
  }
  char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
  std::size_t in_left = bytes.size();
  bool ok = true;
  while (ok && in_left > 0) {
    char chunk[1024];
    char* out = chunk;
    std::size_t out_left = sizeof chunk;
    ok =
        iconv(cd, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1) || errno == E2BIG;
  }
  iconv_close(cd);
  return ok;
}

// The encoding named by a leading XML declaration, upper-cased; empty when
// there is none.
std::string DeclaredEncoding(std::string_view text) {
  if (!text.starts_with("<?xml")) {
    return {};
  }
  const std::string_view declaration = text.substr(0, text.find("?>"));
  std::size_t at = declaration.find("encoding");
  at = declaration.find_first_of("\"'", at == std::string_view::npos ? at : at + 8);
  if (at == std::string_view::npos) {
    return {};
  }
  const std::size_t end = declaration.find(declaration[at], at + 1);
  std::string name(declaration.substr(at + 1, end == std::string_view::npos ? 0 : end - at - 1));
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return name;
}

}  // namespace

std::string WhyNotGbk(const std::vector<unsigned char>& document) {
  const std::string_view text(reinterpret_cast<const char*>(document.data()), document.size());
  if (text.starts_with("\xEF\xBB\xBF")) {
    return "it starts with a UTF-8 byte-order mark";
  }
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    return "it starts with a UTF-16 byte-order mark";
  }
  const std::string declared = DeclaredEncoding(text);
  if (!declared.empty() && declared != "GBK" && declared != "GB2312" && declared != "GB18030" &&
      declared != "CP936") {
    return "its XML declaration names the encoding " + declared;
  }
  if (!ConvertsFrom("CP936", document)) {
    return "it holds bytes that are not GBK";
  }
  const bool ascii =
      std::all_of(document.begin(), document.end(), [](unsigned char c) { return c < 0x80; });
  if (!ascii && ConvertsFrom("UTF-8", document)) {
    return "its text is valid UTF-8, so it is most likely UTF-8";
  }
  return {};
}

}  // namespace brevalt::bidx
