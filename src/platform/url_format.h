// A format-only URL test: no connection is made.
#ifndef BREVALT_PLATFORM_URL_FORMAT_H
#define BREVALT_PLATFORM_URL_FORMAT_H

#include <string>

namespace brevalt {

// True when the text starts with a scheme of two or more characters (a letter
// first, then letters, digits, '+', '-' or '.') followed by ':'.
bool IsUrlFormat(const std::u16string& text);

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_URL_FORMAT_H
