#include "log/replace_file.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include "platform/release_with.h"
#include "platform/user_folder.h"

namespace brevalt {
namespace {

using UniqueFile = std::unique_ptr<std::FILE, ReleaseWith<std::fclose>>;

// A short name in target's folder that no other writer is likely to pick.
// It does not grow with target's name: a target whose name is near the file
// system's limit must still get its temporary file.
std::string TemporaryNameFor(const std::string& target) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  char name[24];
  std::snprintf(name, sizeof name, ".~%016llx", static_cast<unsigned long long>(random()));
  return (std::filesystem::path(target).parent_path() / name).string();
}

// Creates a file that did not exist (mode "x"), so an existing file or a
// link planted under the temporary name is never written through.
UniqueFile CreateExclusive(const std::string& target, std::string* name) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    *name = TemporaryNameFor(target);
    if (UniqueFile file{std::fopen(name->c_str(), "wbx")})
      return file;
  }
  return nullptr;
}

bool WriteAndClose(UniqueFile file, std::string_view bytes) {
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  return std::fclose(file.release()) == 0 && written;
}

}  // namespace

int ReplaceFileContent(const std::u16string& path, std::string_view bytes) {
  const std::string target = ToNativePath(path);
  std::string temporary;
  UniqueFile file = CreateExclusive(target, &temporary);
  if (!file)
    return -1;
  std::error_code error;
  if (WriteAndClose(std::move(file), bytes)) {
    std::filesystem::rename(temporary, target, error);
    if (!error)
      return 0;
  }
  std::filesystem::remove(temporary, error);
  return -1;
}

}  // namespace brevalt
