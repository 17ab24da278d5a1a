// The folders of this application inside the user's application-data folder,
// the same on every platform.
#include "platform/user_folder.h"

namespace brevalt {
namespace {

// folder, a separator unless it already ends in one (the root does), part.
std::u16string Join(std::u16string folder, const std::u16string& part) {
  if (folder.empty() || folder.back() != kPathSeparator)
    folder += kPathSeparator;
  return folder + part;
}

}  // namespace

std::u16string GetUserDataFolder() {
  const std::u16string app_data = GetAppDataFolder();
  if (app_data.empty())
    return {};
  return Join(Join(app_data, u"TAVIK"), u"qzv");
}

std::u16string GetTrustFolder(const std::u16string& kind) {
  const std::u16string data = GetUserDataFolder();
  if (data.empty())
    return {};
  return Join(Join(data, u"trust"), kind);
}

}  // namespace brevalt
