// Code-page conversions through the C library's iconv. The ANSI code page is
// CP936 (GBK): the documents and logs the system exchanges are GBK.
#include <errno.h>
#include <iconv.h>

#include <bit>
#include <cstring>
#include <memory>

#include "platform/code_page.h"

namespace brevalt {
namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using UniqueIconv = std::unique_ptr<void, IconvCloser>;

constexpr const char* kUtf16Name =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;

const char* CodePageName(CodePage page) {
  return page == CodePage::kAnsi ? "CP936" : "UTF-8";
}

// This thread's converter between UTF-16 and page (to_page: towards it),
// opened on first use and kept: opening one loads the C library's conversion
// module, which costs far more than a short conversion. Null when the C
// library does not know the code page. A converter is stateless between
// calls: every run starts in the initial shift state.
iconv_t Converter(CodePage page, bool to_page) {
  thread_local UniqueIconv converters[2][2];
  thread_local bool opened[2][2] = {};
  const int p = page == CodePage::kAnsi ? 0 : 1;
  const int d = to_page ? 1 : 0;
  if (!opened[p][d]) {
    opened[p][d] = true;
    const char* name = CodePageName(page);
    iconv_t cd = to_page ? iconv_open(name, kUtf16Name) : iconv_open(kUtf16Name, name);
    if (cd != reinterpret_cast<iconv_t>(-1))
      converters[p][d].reset(cd);
  }
  return static_cast<iconv_t>(converters[p][d].get());
}

// Runs the converter over the whole input and returns the output bytes. At
// every input position the converter rejects (an invalid sequence, a truncated
// one, a character the target cannot hold), on_reject(position, bytes_left,
// truncated, out) appends a replacement to out and returns how many input
// bytes to skip (at least one); truncated tells a sequence cut off by the end
// of the input.
template <typename OnReject>
std::string RunConverter(iconv_t cd, const char* input, std::size_t size, OnReject on_reject) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a kept converter starts afresh
  std::string out;
  char* src = const_cast<char*>(input);  // iconv does not write its input
  std::size_t src_left = size;
  char chunk[1024];
  while (src_left > 0) {
    char* dst = chunk;
    std::size_t dst_left = sizeof chunk;
    const std::size_t done = iconv(cd, &src, &src_left, &dst, &dst_left);
    const int error = errno;
    out.append(chunk, static_cast<std::size_t>(dst - chunk));
    if (done != static_cast<std::size_t>(-1) || error == E2BIG)
      continue;
    if (error != EILSEQ && error != EINVAL)
      break;  // no other error is documented
    const std::size_t skip = on_reject(src, src_left, error == EINVAL, out);
    src += skip;
    src_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  }
  return out;
}

void AppendUnit(std::string& out, char16_t unit) {
  char bytes[sizeof unit];
  std::memcpy(bytes, &unit, sizeof unit);
  out.append(bytes, sizeof unit);
}

char16_t UnitAt(const char* position) {
  char16_t unit;
  std::memcpy(&unit, position, sizeof unit);
  return unit;
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::u16string DecodeCodePage(std::string_view bytes, CodePage page) {
  bytes = bytes.substr(0, bytes.find('\0'));
  if (bytes.empty())
    return {};
  iconv_t cd = Converter(page, false);
  if (cd == nullptr)
    return {};
  // One U+FFFD per rejected byte; a sequence cut off by the end of the input
  // becomes a single U+FFFD.
  auto on_reject = [](const char*, std::size_t left, bool truncated,
                      std::string& out) -> std::size_t {
    AppendUnit(out, kReplacement);
    return truncated ? left : 1;
  };
  const std::string raw = RunConverter(cd, bytes.data(), bytes.size(), on_reject);
  std::u16string text(raw.size() / sizeof(char16_t), u'\0');
  std::memcpy(text.data(), raw.data(), text.size() * sizeof(char16_t));
  return text;
}

std::string EncodeCodePage(std::u16string_view text, CodePage page) {
  text = text.substr(0, text.find(u'\0'));
  if (text.empty())
    return {};
  iconv_t cd = Converter(page, true);
  if (cd == nullptr)
    return {};
  // One "?" per rejected character: a surrogate pair counts as one character,
  // a lone surrogate as one.
  auto on_reject = [](const char* position, std::size_t left, bool,
                      std::string& out) -> std::size_t {
    out.push_back('?');
    if (left < 2 * sizeof(char16_t))
      return left;
    const bool pair =
        IsHighSurrogate(UnitAt(position)) && IsLowSurrogate(UnitAt(position + sizeof(char16_t)));
    return pair ? 2 * sizeof(char16_t) : sizeof(char16_t);
  };
  return RunConverter(cd, reinterpret_cast<const char*>(text.data()),
                      text.size() * sizeof(char16_t), on_reject);
}

}  // namespace brevalt
