#include "config/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/user_folder.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace brevalt {
namespace {

using std::string_literals::operator""s;
using testing::ScopedEnv;
using testing::TempFolder;

std::u16string Wide(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

// Every test runs with its own configuration folder and home folder.
class Settings : public ::testing::Test {
 protected:
  void WriteSettings(const std::string& content) {
    folder_.Write("config/TAVIK/qzv/Setting.ini", content);
  }

  TempFolder folder_;
  ScopedEnv config_home_{"XDG_CONFIG_HOME", folder_.path() + "/config"};
  ScopedEnv home_{"HOME", folder_.path() + "/home"};
};

TEST_F(Settings, PathsUnderTheConfigurationFolder) {
  EXPECT_EQ(GetUserDataFolder(), Wide(folder_.path() + "/config/TAVIK/qzv"));
  EXPECT_EQ(GetSettingsFilePath(), Wide(folder_.path() + "/config/TAVIK/qzv/Setting.ini"));
}

TEST_F(Settings, NoSecondSeparatorBeforeTheFileName) {
  {
    const ScopedEnv config_home("XDG_CONFIG_HOME", folder_.path() + "/config/");
    EXPECT_EQ(GetSettingsFilePath(), Wide(folder_.path() + "/config/TAVIK/qzv/Setting.ini"));
  }
  {
    const ScopedEnv config_home("XDG_CONFIG_HOME", "/");
    EXPECT_EQ(GetSettingsFilePath(), u"/TAVIK/qzv/Setting.ini");
  }
  {
    // No folder known: the path degenerates to the file in the root.
    const ScopedEnv config_home("XDG_CONFIG_HOME", std::nullopt);
    const ScopedEnv home("HOME", std::nullopt);
    EXPECT_EQ(GetUserDataFolder(), u"");
    EXPECT_EQ(GetSettingsFilePath(), u"/Setting.ini");
  }
}

TEST_F(Settings, DefaultsWithoutFile) {
  EXPECT_EQ(ReadWorkingDir(), Wide(folder_.path() + "/home/BidFiles/"));
  EXPECT_EQ(ReadBidRuleFileUrl(), u"");
  EXPECT_EQ(ReadTimeStampUrl(), u"");
}

TEST_F(Settings, ReadsTheThreeValuesWithCaseInsensitiveNames) {
  WriteSettings(
      "[workingdir]\nPATH=/srv/bids/\n"
      "[BIDRULEFILEURL]\nUrl=http://rules.example/get\n"
      "[TimeStampURL]\nurl=http://a/tsp;http://b/tsp\nurl=http://ignored\n");
  EXPECT_EQ(ReadWorkingDir(), u"/srv/bids/");
  EXPECT_EQ(ReadBidRuleFileUrl(), u"http://rules.example/get");
  EXPECT_EQ(ReadTimeStampUrl(), u"http://a/tsp;http://b/tsp");
}

TEST_F(Settings, MissingSectionOrKeyGivesTheDefault) {
  WriteSettings("[WorkingDir]\nfolder=/wrong/key\n[TimeStampURL]\n[Other]\nurl=http://x\n");
  EXPECT_EQ(ReadWorkingDir(), Wide(folder_.path() + "/home/BidFiles/"));
  EXPECT_EQ(ReadTimeStampUrl(), u"");
  EXPECT_EQ(ReadBidRuleFileUrl(), u"");
}

// A value is used whole or not at all, never cut mid-address.
TEST_F(Settings, LongValueIsUsedWholeOrNotAtAll) {
  const std::string url = "http://" + std::string(kMaxSettingLength - 7, 'a');
  WriteSettings("[TimeStampURL]\nurl=" + url + "\n[BidRuleFileURL]\nurl=" + url + "b\n");
  EXPECT_EQ(ReadTimeStampUrl(), Wide(url));
  EXPECT_FALSE(ReadTimeStampUrlSetting().malformed);
  EXPECT_TRUE(ReadBidRuleFileUrlSetting().malformed);
  EXPECT_EQ(ReadBidRuleFileUrl(), u"");
  WriteSettings("[WorkingDir]\npath=/" + std::string(kMaxSettingLength, 'd') + "\n");
  EXPECT_EQ(ReadWorkingDir(), u"") << "never the default folder";
}

TEST_F(Settings, FileOverTheCapGivesNoValue) {
  WriteSettings("[WorkingDir]\npath=/srv/bids/\n[TimeStampURL]\nurl=http://a\n" +
                std::string(kMaxSettingsFileBytes, '\n'));
  EXPECT_EQ(ReadWorkingDir(), u"") << "never the default folder";
  EXPECT_TRUE(ReadWorkingDirSetting().malformed);
  EXPECT_TRUE(ReadTimeStampUrlSetting().malformed);
  EXPECT_EQ(ReadTimeStampUrl(), u"");
}

TEST_F(Settings, EditedFileIsReadAfresh) {
  WriteSettings("[BidRuleFileURL]\nurl=http://old\n");
  EXPECT_EQ(ReadBidRuleFileUrl(), u"http://old");
  WriteSettings("[BidRuleFileURL]\nurl=http://new\n");
  EXPECT_EQ(ReadBidRuleFileUrl(), u"http://new");
  WriteSettings("");
  EXPECT_EQ(ReadBidRuleFileUrl(), u"");
}

TEST_F(Settings, InvalidBytesInTheFileAreReadNotFatal) {
  WriteSettings("[WorkingDir]\npath=/bids/\xFF\xD6\n[TimeStampURL]\nurl=http://x\0y\n"s);
  EXPECT_EQ(ReadWorkingDir(), u"/bids/\xFFFD\xFFFD");
  EXPECT_EQ(ReadTimeStampUrl(), u"http://x");
  // A GBK file: the working folder keeps its Chinese name.
  WriteSettings("[WorkingDir]\npath=/\xB1\xEA\xCA\xE9/\n");
  EXPECT_EQ(ReadWorkingDir(), u"/标书/");
}

}  // namespace
}  // namespace brevalt
