#include "platform/user_folder.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace brevalt {
namespace {

using testing::ScopedEnv;

TEST(UserFolder, AppDataFolderFromTheEnvironment) {
  const struct {
    const char* name;
    std::optional<std::string> config_home;
    std::optional<std::string> home;
    std::u16string expected;
  } rows[] = {
      {"config home wins", "/tmp/cfg", "/home/u", u"/tmp/cfg"},
      {"trailing separators dropped", "/tmp/cfg//", "/home/u", u"/tmp/cfg"},
      {"config home is the root", "/", "/home/u", u"/"},
      {"relative config home ignored", "rel/cfg", "/home/u", u"/home/u/.config"},
      {"empty config home ignored", "", "/home/u", u"/home/u/.config"},
      {"home with trailing separator", std::nullopt, "/home/u/", u"/home/u/.config"},
      {"home is the root", std::nullopt, "/", u"/.config"},
      {"utf-8 folder name", "/tmp/中文", std::nullopt, u"/tmp/中文"},
      {"nothing known", std::nullopt, std::nullopt, u""},
      {"empty home", std::nullopt, "", u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ScopedEnv config_home("XDG_CONFIG_HOME", row.config_home);
    const ScopedEnv home("HOME", row.home);
    EXPECT_EQ(GetAppDataFolder(), row.expected);
  }
}

TEST(UserFolder, DataAndTrustFoldersBelowTheAppDataFolder) {
  const struct {
    const char* name;
    std::optional<std::string> config_home;
    std::u16string data;
    std::u16string trust;
  } rows[] = {
      {"config home", "/tmp/cfg/", u"/tmp/cfg/TAVIK/qzv", u"/tmp/cfg/TAVIK/qzv/trust/tsa"},
      {"config home is the root", "/", u"/TAVIK/qzv", u"/TAVIK/qzv/trust/tsa"},
      {"nothing known", std::nullopt, u"", u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ScopedEnv config_home("XDG_CONFIG_HOME", row.config_home);
    const ScopedEnv home("HOME", std::nullopt);
    EXPECT_EQ(GetUserDataFolder(), row.data);
    EXPECT_EQ(GetTrustFolder(u"tsa"), row.trust);
  }
}

TEST(UserFolder, HomeFolderAndNativePath) {
  {
    const ScopedEnv home("HOME", "/home/张三");
    EXPECT_EQ(GetHomeFolder(), u"/home/张三");
  }
  {
    const ScopedEnv home("HOME", std::nullopt);
    EXPECT_EQ(GetHomeFolder(), u"");
  }
  EXPECT_EQ(ToNativePath(u"/tmp/标书.bidx"), "/tmp/\xE6\xA0\x87\xE4\xB9\xA6.bidx");
}

}  // namespace
}  // namespace brevalt
