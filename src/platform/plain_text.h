// Outside text made fit for a line-based report: names from certificates,
// texts of rules documents and file names end up in the log, the command
// line's report and JSON, and on screen, where a line break or a direction
// override inside one of them could make a line look like one of ours.
#ifndef BREVALT_PLATFORM_PLAIN_TEXT_H
#define BREVALT_PLATFORM_PLAIN_TEXT_H

#include <string>
#include <string_view>

namespace brevalt {

// What stands for each character PlainText replaces: visible, and one code
// point, so column layouts keep their widths.
inline constexpr char16_t kHiddenCharStandIn = u'\uFFFD';

// The text with every control character (C0 with tab and line feed, DEL,
// C1), the line and paragraph separators (U+2028, U+2029) and every
// bidirectional mark, embedding, override and isolate replaced by
// kHiddenCharStandIn; every other character is kept as it is.
std::u16string PlainText(std::u16string_view text);

// The same for UTF-8 text; a NUL byte and every byte of an invalid sequence
// also become the stand-in, so the result is valid UTF-8.
std::string PlainTextUtf8(std::string_view text);

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_PLAIN_TEXT_H
