// The settings file Setting.ini in the per-user data folder. Every value is
// read afresh at each call: an edited file takes effect at the next read.
// Nothing here writes the file or creates the folder.
#ifndef BREVALT_CONFIG_SETTINGS_H
#define BREVALT_CONFIG_SETTINGS_H

#include <cstddef>
#include <string>
#include <vector>

namespace brevalt {

// The per-user data folder (GetUserDataFolder in platform/user_folder.h), a
// separator unless it already ends in one, "Setting.ini".
std::u16string GetSettingsFilePath();

// The longest value that is used. A longer one is malformed and never used,
// not even in part (a cut address would send requests elsewhere).
inline constexpr std::size_t kMaxSettingLength = 4096;
// The largest settings file that is read. A larger one gives no value at all
// and every value is malformed (a real one holds a few hundred bytes).
inline constexpr std::size_t kMaxSettingsFileBytes = 1024 * 1024;

// One value as read afresh from the settings file.
struct SettingValue {
  std::u16string text;     // the value; the default when absent or malformed
  bool malformed = false;  // over kMaxSettingLength, or the file over kMaxSettingsFileBytes
};

// [WorkingDir] path; default (when absent): the BidFiles folder in the home
// folder, with a trailing separator. A malformed value gives no folder at
// all (malformed set, text empty), never the default, so that nothing goes
// to a folder the settings do not name.
SettingValue ReadWorkingDirSetting();
std::u16string ReadWorkingDir();  // its text
// [BidRuleFileURL] url; default empty.
SettingValue ReadBidRuleFileUrlSetting();
std::u16string ReadBidRuleFileUrl();  // its text
// [TimeStampURL] url, one or more URLs separated by ";"; default empty. A
// malformed value reads as empty with malformed set: the caller must refuse
// it rather than fall back to a default authority.
SettingValue ReadTimeStampUrlSetting();
std::u16string ReadTimeStampUrl();  // its text
// [TimeStampURL] hash: true when it says "SM3" (any case), so that time-stamp
// requests carry an SM3 imprint; anything else keeps SHA-256.
bool ReadTimeStampWantsSm3();
// The entries of a ";"-separated URL list, each without the blanks around it
// ("A; B" is A and B); an empty entry stays, and fails where it is used.
std::vector<std::u16string> SplitUrlList(const std::u16string& text);

}  // namespace brevalt

#endif  // BREVALT_CONFIG_SETTINGS_H
