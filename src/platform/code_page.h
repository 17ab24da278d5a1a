// Conversions between UTF-16 and the two narrow code pages the system meets:
// the ANSI code page (CP936/GBK on POSIX, through iconv) and UTF-8.
#ifndef BREVALT_PLATFORM_CODE_PAGE_H
#define BREVALT_PLATFORM_CODE_PAGE_H

#include <string>
#include <string_view>

namespace brevalt {

enum class CodePage { kAnsi, kUtf8 };

// Decodes bytes of the code page. Input stops at the first NUL byte. An
// invalid byte sequence decodes to U+FFFD and decoding goes on after it.
std::u16string DecodeCodePage(std::string_view bytes, CodePage page);
// Encodes UTF-16 text. Input stops at the first NUL. A character the code page
// cannot represent (or a lone surrogate) becomes "?".
std::string EncodeCodePage(std::u16string_view text, CodePage page);

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_CODE_PAGE_H
