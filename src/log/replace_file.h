// Replacing a file's whole content without ever exposing a partial file, and
// without letting the earlier content pass for the new one when the
// replacement fails.
#ifndef BREVALT_LOG_REPLACE_FILE_H
#define BREVALT_LOG_REPLACE_FILE_H

#include <string>
#include <string_view>

namespace brevalt {

// What became of the file at the path when its content could not be replaced.
enum EarlierFile : int {
  kNoEarlierFile = 0,       // nothing a reader could take for it (no file, a folder)
  kEarlierRemoved = 1,      // removed
  kEarlierOverwritten = 2,  // could not be removed; it now holds the notice only
  kEarlierKept = 3,         // could be neither removed nor overwritten
};

struct ReplaceFailure {
  int error = 0;  // errno of the failed replacement
  EarlierFile earlier = kNoEarlierFile;
  int earlier_error = 0;  // errno of the failed removal (overwritten or kept)
};

// Writes bytes to a new temporary file beside path and renames it onto path,
// replacing a file already there. The temporary file is created exclusively
// under a short name of its own (".~" and 16 hex digits) and is locked
// (flock) by its writer until it has been renamed or removed.
//
// Returns 0 on success. On failure returns -1, removes the temporary file and
// then the earlier file at path, or, when that cannot be removed (a folder
// that refuses changes), truncates it in place and writes notice into it;
// *failure (when not null) says why and which.
//
// Before it writes, it removes the temporary files that writers which died
// left in the same folder: names of that pattern, regular files, at least a
// minute old (a live writer renames its file moments after creating it) and
// not locked by anyone; where the file system has no locks, an hour old.
// Any thread.
int ReplaceFileContent(const std::u16string& path, std::string_view bytes, std::string_view notice,
                       ReplaceFailure* failure = nullptr);

}  // namespace brevalt

#endif  // BREVALT_LOG_REPLACE_FILE_H
