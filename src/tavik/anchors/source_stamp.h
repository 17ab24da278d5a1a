// A cheap look at whether a trust source changed since it was last read:
// the names, sizes and modification times of the entries that a reader would
// read, without reading them. Lets a store built from them be kept until one
// of them changes.
#ifndef BREVALT_TAVIK_ANCHORS_SOURCE_STAMP_H
#define BREVALT_TAVIK_ANCHORS_SOURCE_STAMP_H

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brevalt::anchors {

// One path as seen now. A path that does not exist, or whose size or time
// cannot be read, has no size and no time: it still differs from one that has.
struct PathStamp {
  std::string path;
  bool present = false;
  std::uintmax_t size = 0;
  std::filesystem::file_time_type modified{};

  bool operator==(const PathStamp&) const = default;
};

// Stamps of the sources a store was built from, in a fixed order.
using SourceStamp = std::vector<PathStamp>;

// The path itself (a file, or a folder, whose time changes when entries are
// added, removed or renamed), symbolic links followed. An empty path is
// stamped as missing.
PathStamp StampPath(const std::string& native_path);

}  // namespace brevalt::anchors

#endif  // BREVALT_TAVIK_ANCHORS_SOURCE_STAMP_H
