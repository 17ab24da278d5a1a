// A reader of Windows private-profile (INI) files.
#ifndef BREVALT_PLATFORM_PRIVATE_PROFILE_H
#define BREVALT_PLATFORM_PRIVATE_PROFILE_H

#include <cstddef>
#include <string>

namespace brevalt {

// What reading one value gave.
enum class ProfileStatus {
  kFound,         // the key's value
  kMissing,       // no such file, section or key
  kTooLong,       // the key's value is longer than max_length characters
  kFileTooLarge,  // the file is larger than max_file_bytes; it was not read to its end
};

struct ProfileValue {
  ProfileStatus status = ProfileStatus::kMissing;
  // The value when found, up to its first NUL; otherwise the default. Never
  // part of a longer value: an over-long one is refused, not cut.
  std::u16string text;
};

// Reads key in [section] of the INI file at path, the way Windows does:
// section and key names compare case-insensitively, the first matching
// section and key win, blanks around names and values are trimmed, a value
// in matching single or double quotes loses them, lines starting with ';'
// are comments. The file is UTF-16LE after its byte-order mark, UTF-8 (a BOM
// is skipped) or, when it is not valid UTF-8, the ANSI code page. Unlike
// Windows, which cuts a value to its caller's buffer, a value of more than
// max_length characters (UTF-16 units, after trimming and unquoting, up to
// its first NUL) is kTooLong, and a file of more than max_file_bytes bytes is
// kFileTooLarge without being read whole.
ProfileValue ReadPrivateProfileValue(const std::u16string& section, const std::u16string& key,
                                     const std::u16string& default_value,
                                     const std::u16string& path, std::size_t max_length,
                                     std::size_t max_file_bytes);

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_PRIVATE_PROFILE_H
