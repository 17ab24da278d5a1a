// The settings file Setting.ini in the per-user data folder. Every value is
// read afresh at each call: an edited file takes effect at the next read.
// Nothing here writes the file or creates the folder.
#ifndef BREVALT_CONFIG_SETTINGS_H
#define BREVALT_CONFIG_SETTINGS_H

#include <string>

namespace brevalt {

// The per-user data folder (GetUserDataFolder in platform/user_folder.h), a
// separator unless it already ends in one, "Setting.ini".
std::u16string GetSettingsFilePath();

// [WorkingDir] path; default: the BidFiles folder in the home folder, with a
// trailing separator.
std::u16string ReadWorkingDir();
// [BidRuleFileURL] url; default empty.
std::u16string ReadBidRuleFileUrl();
// [TimeStampURL] url, one or more URLs separated by ";"; default empty.
std::u16string ReadTimeStampUrl();

// Values longer than this are cut to this many characters.
inline constexpr std::size_t kMaxSettingLength = 259;

}  // namespace brevalt

#endif  // BREVALT_CONFIG_SETTINGS_H
