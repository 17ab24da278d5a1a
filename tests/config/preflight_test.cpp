#include "config/preflight.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "config/settings.h"
#include "platform/memory_dialog.h"
#include "platform/network_state.h"
#include "record/message_catalogue.h"
#include "record/result_texts.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace brevalt {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;

constexpr char kSettingsFile[] = "config/TAVIK/qzv/Setting.ini";
constexpr char kGoodSettings[] =
    "[TimeStampURL]\nurl=http://127.0.0.1:1/tsp;https://127.0.0.1:2/tsp\n"
    "[BidRuleFileURL]\nurl=http://127.0.0.1:3/rules\n";

// Good addresses, more of them than one value may hold: cut, the last one
// would have become another address.
std::string LongUrlList() {
  std::string list = "http://127.0.0.1:1/tsa-endpoint-real";
  while (list.size() <= kMaxSettingLength)
    list += ";http://127.0.0.1:1/tsa-endpoint-real";
  return list;
}

class Preflight : public ::testing::Test {
 protected:
  void WriteSettings(const std::string& content) { folder_.Write(kSettingsFile, content); }

  TempFolder folder_;
  ScopedEnv config_home_{"XDG_CONFIG_HOME", folder_.path() + "/config"};
  CVerifyResult result_;
  MemoryDialog dialog_;
};

TEST_F(Preflight, EachFailureHasItsCodeTextsAndMark) {
  const struct {
    const char* name;
    std::optional<std::string> settings;  // nullopt: no Setting.ini at all
    int code;
    Message message;
  } rows[] = {
      {"no settings file", std::nullopt, 1, msg::kSettingsMissing},
      {"empty settings file", "", 2, msg::kNoTimestampUrl},
      {"empty time-stamp url", "[TimeStampURL]\nurl=\n", 2, msg::kNoTimestampUrl},
      {"only a separator", "[TimeStampURL]\nurl=;\n", 3, msg::kBadTimestampUrl},
      {"empty part between two good urls", "[TimeStampURL]\nurl=http://a;;http://b\n", 3,
       msg::kBadTimestampUrl},
      {"second url without scheme", "[TimeStampURL]\nurl=http://a;tsa.example\n", 3,
       msg::kBadTimestampUrl},
      {"bad time-stamp url before missing rules url", "[TimeStampURL]\nurl=tsa\n", 3,
       msg::kBadTimestampUrl},
      {"trailing separator passes, no rules url", "[TimeStampURL]\nurl=http://a;\n", 4,
       msg::kNoRulesUrl},
      {"empty rules url", "[TimeStampURL]\nurl=http://a\n[BidRuleFileURL]\nurl=\n", 4,
       msg::kNoRulesUrl},
      {"rules url without scheme", "[TimeStampURL]\nurl=http://a\n[BidRuleFileURL]\nurl=r/x\n", 5,
       msg::kBadRulesUrl},
      {"time-stamp urls over the length", "[TimeStampURL]\nurl=" + LongUrlList() + "\n", 3,
       msg::kBadTimestampUrl},
      {"rules url over the length",
       "[TimeStampURL]\nurl=http://a\n[BidRuleFileURL]\nurl=" + LongUrlList() + "\n", 5,
       msg::kBadRulesUrl},
      {"settings file over the cap", kGoodSettings + std::string(kMaxSettingsFileBytes, '\n'), 3,
       msg::kBadTimestampUrl},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(folder_.path() + "/" + kSettingsFile);
    if (row.settings)
      WriteSettings(*row.settings);
    CVerifyResult result;
    MemoryDialog dialog;
    dialog.SetChecked(kCheckVerifyRules, false);  // the rules url is checked all the same
    EXPECT_EQ(RunPreflightChecks(result, dialog), row.code);
    EXPECT_EQ(result.ErrorCategory, CategoryEnvironment);
    EXPECT_EQ(result.ErrorDetail, row.message.detail);
    EXPECT_EQ(result.ErrorAdvice, row.message.advice);
    EXPECT_EQ(dialog.GetControlText(kEditStepNetwork), kMarkFailed);
    EXPECT_EQ(result.StepNetwork, StepNotRun);  // the caller sets the step
  }
}

TEST_F(Preflight, SettingsPathThatIsAFolderCannotBeOpened) {
  std::filesystem::create_directories(folder_.path() + "/" + kSettingsFile);
  EXPECT_EQ(RunPreflightChecks(result_, dialog_), kPreflightNoSettingsFile);
  EXPECT_EQ(result_.ErrorDetail, msg::kSettingsMissing.detail);
}

// Every service on loopback: no other interface is needed for this to pass.
TEST_F(Preflight, AllGoodGivesZeroAndLeavesTheRecordAlone) {
  WriteSettings("[TimeStampURL]\nurl=;\n");
  ASSERT_EQ(RunPreflightChecks(result_, dialog_), kPreflightBadTimestampUrl);
  // The edited file counts at the next run, without a restart.
  WriteSettings(kGoodSettings);
  CVerifyResult result;
  MemoryDialog dialog;
  EXPECT_EQ(RunPreflightChecks(result, dialog), kPreflightOk);
  EXPECT_EQ(result.ErrorCategory, CategoryNone);
  EXPECT_EQ(result.ErrorDetail, u"");
  EXPECT_EQ(dialog.GetControlText(kEditStepNetwork), u"");
}

// Exit codes of the child that runs the checks without a network.
constexpr int kChildCannotUnshare = 100;  // plus errno
constexpr int kChildStillConnected = 90;
constexpr int kChildWrongMessage = 80;  // plus the code

// In a fresh network namespace the only interface is a loopback that is down.
int RunChecksWithoutNetwork() {
  if (unshare(CLONE_NEWNET) != 0)
    return kChildCannotUnshare + (errno & 0x3F);
  if (HasNetworkConnection())
    return kChildStillConnected;
  CVerifyResult result;
  MemoryDialog dialog;
  const int code = RunPreflightChecks(result, dialog);
  const bool reported = result.ErrorCategory == CategoryEnvironment &&
                        result.ErrorDetail == msg::kNoNetwork.detail &&
                        result.ErrorAdvice == msg::kNoNetwork.advice &&
                        dialog.GetControlText(kEditStepNetwork) == kMarkFailed;
  return reported ? code : kChildWrongMessage + code;
}

// The authorities on loopback do not help a rules service elsewhere.
TEST_F(Preflight, NoNetworkGivesCodeSix) {
  WriteSettings(
      "[TimeStampURL]\nurl=http://127.0.0.1:1/tsp\n[BidRuleFileURL]\nurl=http://rules.example/\n");
  const pid_t child = fork();
  ASSERT_GE(child, 0) << std::strerror(errno);
  if (child == 0)
    _exit(RunChecksWithoutNetwork());
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child did not exit normally";
  const int exit_code = WEXITSTATUS(status);
  if (exit_code >= kChildCannotUnshare) {
    GTEST_SKIP() << "cannot create a network namespace here (unshare: "
                 << std::strerror(exit_code - kChildCannotUnshare)
                 << "); running as root with CAP_SYS_ADMIN is needed";
  }
  ASSERT_NE(exit_code, kChildStillConnected) << "an interface is up inside an empty namespace";
  EXPECT_EQ(exit_code, kPreflightNoNetwork) << "80 + code means wrong texts or no mark";
}

}  // namespace
}  // namespace brevalt
