// A throw-away folder for one test.
#ifndef BREVALT_TESTS_SUPPORT_TEMP_FOLDER_H
#define BREVALT_TESTS_SUPPORT_TEMP_FOLDER_H

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace brevalt::testing {

// A new empty folder under the temporary directory, removed with its content.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brevalt-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr)
      path_ = pattern;
    EXPECT_FALSE(path_.empty()) << "cannot create a temporary folder";
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty())
      std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }

  // Writes bytes to the file at relative (creating its folders); returns its
  // full path.
  std::string Write(const std::string& relative, std::string_view bytes) const {
    const std::filesystem::path full = std::filesystem::path(path_) / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
    return full.string();
  }

 private:
  std::string path_;
};

}  // namespace brevalt::testing

#endif  // BREVALT_TESTS_SUPPORT_TEMP_FOLDER_H
