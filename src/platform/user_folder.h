// Where per-user application data lives, and how paths are spelled.
#ifndef BREVALT_PLATFORM_USER_FOLDER_H
#define BREVALT_PLATFORM_USER_FOLDER_H

#include <string>

namespace brevalt {

// The platform's path separator: '/' on POSIX, '\' on Windows.
#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// The user's roaming application-data folder: $XDG_CONFIG_HOME, else
// $HOME/.config on POSIX (%APPDATA% on Windows). Empty when neither is known.
// Never ends in a separator unless the folder is the root.
std::u16string GetAppDataFolder();

// The per-user data folder: the application-data folder followed by
// "/TAVIK/qzv" (Setting.ini, the Log folder and the trust folders live
// there); empty when the platform cannot name the application-data folder.
std::u16string GetUserDataFolder();

// The trust-anchor folder of one kind in the per-user data folder:
// <GetUserDataFolder()>/trust/<kind> ("tsa", "bidder"); empty when the
// per-user data folder is empty.
std::u16string GetTrustFolder(const std::u16string& kind);

// The user's home folder ($HOME); empty when unknown.
std::u16string GetHomeFolder();

// The path in the form the C library's file functions take (UTF-8 on POSIX).
std::string ToNativePath(const std::u16string& path);

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_USER_FOLDER_H
