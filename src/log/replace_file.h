// Replacing a file's whole content without ever exposing a partial file.
#ifndef BREVALT_LOG_REPLACE_FILE_H
#define BREVALT_LOG_REPLACE_FILE_H

#include <string>
#include <string_view>

namespace brevalt {

// Writes bytes to a new temporary file beside path (created exclusively),
// then renames it onto path, replacing a file already there. Returns 0 on
// success; -1 on any failure, when the temporary file is removed and path is
// left as it was. Any thread.
int ReplaceFileContent(const std::u16string& path, std::string_view bytes);

}  // namespace brevalt

#endif  // BREVALT_LOG_REPLACE_FILE_H
