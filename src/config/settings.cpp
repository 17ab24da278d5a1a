// The settings file readers. Each call reads the file afresh.
#include "config/settings.h"

#include <utility>

#include "config/text_convert.h"

#include "platform/private_profile.h"
#include "platform/user_folder.h"

namespace brevalt {
namespace {

SettingValue ReadSetting(const char16_t* section, const char16_t* key,
                         const std::u16string& default_value) {
  ProfileValue value = ReadPrivateProfileValue(section, key, default_value, GetSettingsFilePath(),
                                               kMaxSettingLength, kMaxSettingsFileBytes);
  const bool malformed =
      value.status == ProfileStatus::kTooLong || value.status == ProfileStatus::kFileTooLarge;
  return {std::move(value.text), malformed};
}

}  // namespace

std::u16string GetSettingsFilePath() {
  std::u16string path = GetUserDataFolder();
  if (path.empty() || path.back() != kPathSeparator)
    path += kPathSeparator;
  return path + u"Setting.ini";
}

SettingValue ReadWorkingDirSetting() {
  std::u16string default_dir = GetHomeFolder();
  if (default_dir.empty() || default_dir.back() != kPathSeparator)
    default_dir += kPathSeparator;
  default_dir += u"BidFiles";
  default_dir += kPathSeparator;
  SettingValue value = ReadSetting(u"WorkingDir", u"path", default_dir);
  if (value.malformed)
    value.text.clear();
  return value;
}

std::u16string ReadWorkingDir() {
  return ReadWorkingDirSetting().text;
}

SettingValue ReadBidRuleFileUrlSetting() {
  return ReadSetting(u"BidRuleFileURL", u"url", u"");
}

std::u16string ReadBidRuleFileUrl() {
  return ReadBidRuleFileUrlSetting().text;
}

SettingValue ReadTimeStampUrlSetting() {
  return ReadSetting(u"TimeStampURL", u"url", u"");
}

std::u16string ReadTimeStampUrl() {
  return ReadTimeStampUrlSetting().text;
}

bool ReadTimeStampWantsSm3() {
  std::u16string value = ReadSetting(u"TimeStampURL", u"hash", u"").text;
  for (char16_t& c : value)
    c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
  return value == u"SM3";
}

std::vector<std::u16string> SplitUrlList(const std::u16string& text) {
  std::vector<std::u16string> entries = SplitString(text, u';');
  for (std::u16string& entry : entries) {
    const size_t first = entry.find_first_not_of(u" \t");
    const size_t last = entry.find_last_not_of(u" \t");
    entry =
        first == std::u16string::npos ? std::u16string() : entry.substr(first, last - first + 1);
  }
  return entries;
}

}  // namespace brevalt
