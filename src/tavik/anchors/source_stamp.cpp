#include "tavik/anchors/source_stamp.h"

#include <system_error>

namespace brevalt::anchors {

PathStamp StampPath(const std::string& native_path) {
  PathStamp stamp{native_path};
  if (native_path.empty())
    return stamp;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(native_path, error);
  if (error || !std::filesystem::exists(status))
    return stamp;
  stamp.modified = std::filesystem::last_write_time(native_path, error);
  if (error)
    return stamp;
  // A folder has no size of its own; its time tells that an entry changed.
  if (!std::filesystem::is_directory(status)) {
    stamp.size = std::filesystem::file_size(native_path, error);
    if (error)
      return {native_path};
  }
  stamp.present = true;
  return stamp;
}

}  // namespace brevalt::anchors
