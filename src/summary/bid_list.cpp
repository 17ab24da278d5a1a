#include "summary/bid_list.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace brevalt {
namespace {

namespace fs = std::filesystem;

bool HasBidExtension(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".bidx";
}

// One spelling per file: symbolic links and "..", "." resolved where they can be.
std::string Identity(const fs::path& path) {
  std::error_code error;
  const fs::path canonical = fs::weakly_canonical(path, error);
  return (error ? fs::absolute(path, error) : canonical).lexically_normal().string();
}

std::vector<fs::path> FolderBids(const fs::path& folder) {
  std::vector<fs::path> bids;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    std::error_code type_error;
    if (entry.is_regular_file(type_error) && HasBidExtension(entry.path()))
      bids.push_back(entry.path());
  }
  std::sort(bids.begin(), bids.end(),
            [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
  return bids;
}

}  // namespace

std::vector<std::string> ListBidFiles(const std::vector<std::string>& names,
                                      const std::vector<std::string>& known) {
  std::set<std::string> seen;
  for (const std::string& name : known)
    seen.insert(Identity(name));
  std::vector<std::string> files;
  auto take = [&](const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error).lexically_normal();
    if (seen.insert(Identity(path)).second)
      files.push_back(error ? path.string() : absolute.string());
  };
  for (const std::string& name : names) {
    std::error_code error;
    const fs::file_status status = fs::status(name, error);
    if (fs::is_directory(status)) {
      for (const fs::path& bid : FolderBids(name))
        take(bid);
    } else if (fs::is_regular_file(status)) {
      take(name);
    }
  }
  return files;
}

}  // namespace brevalt
