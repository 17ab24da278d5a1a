// A reader of Windows private-profile (INI) files.
#ifndef BREVALT_PLATFORM_PRIVATE_PROFILE_H
#define BREVALT_PLATFORM_PRIVATE_PROFILE_H

#include <cstddef>
#include <string>

namespace brevalt {

// Reads key in [section] of the INI file at path, the way Windows does:
// section and key names compare case-insensitively, the first matching
// section and key win, blanks around names and values are trimmed, a value
// in matching single or double quotes loses them, lines starting with ';'
// are comments. The file is UTF-16LE after its byte-order mark, UTF-8 (a BOM
// is skipped) or, when it is not valid UTF-8, the ANSI code page. Returns default_value when the file, section or
// key is missing. The result is cut to capacity - 1 characters (a buffer of
// capacity characters with its terminator) and ends at its first NUL.
std::u16string ReadPrivateProfileString(const std::u16string& section, const std::u16string& key,
                                        const std::u16string& default_value,
                                        const std::u16string& path, std::size_t capacity = 260);

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_PRIVATE_PROFILE_H
