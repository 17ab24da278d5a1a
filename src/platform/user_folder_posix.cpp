// The per-user folders on POSIX, after the XDG base-directory rules.
#include <cstdlib>

#include "platform/code_page.h"
#include "platform/user_folder.h"

namespace brevalt {
namespace {

// The variable's value as UTF-16; empty when it is unset or empty.
std::u16string ReadVariable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::u16string() : DecodeCodePage(value, CodePage::kUtf8);
}

// Drops trailing separators but keeps a lone root separator.
std::u16string WithoutTrailingSeparators(std::u16string path) {
  while (path.size() > 1 && path.back() == kPathSeparator)
    path.pop_back();
  return path;
}

bool IsAbsolute(const std::u16string& path) {
  return !path.empty() && path[0] == kPathSeparator;
}

}  // namespace

std::u16string GetAppDataFolder() {
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say:
  // it would name a different folder for every working directory.
  const std::u16string config_home = ReadVariable("XDG_CONFIG_HOME");
  if (IsAbsolute(config_home))
    return WithoutTrailingSeparators(config_home);
  const std::u16string home = GetHomeFolder();
  if (home.empty())
    return {};
  std::u16string folder = home;
  if (folder.back() != kPathSeparator)
    folder += kPathSeparator;
  return folder + u".config";
}

std::u16string GetHomeFolder() {
  return ReadVariable("HOME");
}

std::string ToNativePath(const std::u16string& path) {
  return EncodeCodePage(path, CodePage::kUtf8);
}

}  // namespace brevalt
