// The settings file readers. Each call reads the file afresh.
#include "config/settings.h"

#include "platform/private_profile.h"
#include "platform/user_folder.h"

namespace brevalt {
namespace {

// A buffer of this many characters with its terminator holds kMaxSettingLength.
constexpr std::size_t kValueCapacity = kMaxSettingLength + 1;

std::u16string ReadSetting(const char16_t* section, const char16_t* key,
                           const std::u16string& default_value) {
  return ReadPrivateProfileString(section, key, default_value, GetSettingsFilePath(),
                                  kValueCapacity);
}

}  // namespace

std::u16string GetSettingsFilePath() {
  std::u16string path = GetUserDataFolder();
  if (path.empty() || path.back() != kPathSeparator)
    path += kPathSeparator;
  return path + u"Setting.ini";
}

std::u16string ReadWorkingDir() {
  std::u16string default_dir = GetHomeFolder();
  if (default_dir.empty() || default_dir.back() != kPathSeparator)
    default_dir += kPathSeparator;
  default_dir += u"BidFiles";
  default_dir += kPathSeparator;
  return ReadSetting(u"WorkingDir", u"path", default_dir);
}

std::u16string ReadBidRuleFileUrl() {
  return ReadSetting(u"BidRuleFileURL", u"url", u"");
}

std::u16string ReadTimeStampUrl() {
  return ReadSetting(u"TimeStampURL", u"url", u"");
}

}  // namespace brevalt
