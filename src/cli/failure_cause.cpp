#include "cli/failure_cause.h"

#include "cli/failed_step.h"
#include "config/settings.h"
#include "config/text_convert.h"
#include "platform/plain_text.h"
#include "platform/regular_file.h"
#include "platform/user_folder.h"
#include "record/message_catalogue.h"
#include "rules/rules_file_client.h"
#include "tavik/tavik_bid_rules_file.h"
#include "tavik/tavik_secret_file.h"

namespace brevalt::cli {
namespace {

bool Is(const CVerifyResult& result, const Message& message) {
  return result.ErrorDetail == message.detail;
}

std::string SettingsPath() {
  return ToNativePath(GetSettingsFilePath());
}

// Why the bid file could not be read, looked at now.
std::string BidFileCause(const std::string& bid_path, const char* when_readable) {
  const std::string why = WhyNotReadable(bid_path);
  return why.empty() ? when_readable : "the bid file " + why;
}

// The rules service asked once more, with the query the check sent, so that
// the library names what went wrong.
std::string RulesDownloadCause(const CVerifyResult& result) {
  CRulesFileClient client;
  client.PrepareQuery(result.ProjectNumber);
  const int code = client.m_hRulesFile ? TavikBidRulesFileGetRules(
                                             client.m_hRulesFile.get(), client.m_strQuery.data(),
                                             static_cast<int>(client.m_strQuery.size()))
                                       : TAVIK_RULES_ERR_OUT_OF_MEMORY;
  const std::string service = "the rules service " + WideToUtf8(ReadBidRuleFileUrl());
  if (code == 0)
    return service + " gave no rules file, but gave one when asked again (a passing fault)";
  return service + ", asked again for project " + WideToUtf8(result.ProjectNumber) + ": " +
         TavikBidRulesFileErrorText(code) + " (rules-file code " + std::to_string(code) + ")";
}

// The container library's code in words; a file it could not open or read
// is looked at again to say why.
std::string ContainerCause(int code, const std::string& bid_path) {
  if (code == TAVIK_SECRETFILE_ERR_FILE_OPEN || code == TAVIK_SECRETFILE_ERR_FILE_READ) {
    const std::string why = WhyNotReadable(bid_path);
    if (!why.empty())
      return "the bid file " + why + " (container code " + std::to_string(code) + ")";
  }
  return std::string(TavikSecretFileErrorText(code)) + " (container code " + std::to_string(code) +
         ")";
}

// Step 2: what happened at each authority of the list.
std::string TimestampCause(const CVerifyResult& result) {
  std::string cause =
      "no time-stamp authority under [TimeStampURL] gave an answer this computer trusts";
  const char* separator = ": ";
  for (const std::string& failure : result.TimestampFailures) {
    cause += separator + failure;
    separator = "; ";
  }
  return cause;
}

// Step 1: what the pre-flight found, naming the settings file it read.
std::optional<std::string> SettingsCause(const CVerifyResult& result) {
  if (Is(result, msg::kSettingsMissing)) {
    std::string why = WhyNotReadable(SettingsPath());
    return SettingsPath() + " " + (why.empty() ? "could not be read" : why) +
           " (Setting.ini is read from the per-user folder, not the program's folder; a "
           "commented sample is " BREVALT_DOC_FOLDER "/examples/Setting.ini)";
  }
  if (Is(result, msg::kNoTimestampUrl))
    return "no url under [TimeStampURL] in " + SettingsPath();
  if (Is(result, msg::kBadTimestampUrl))
    return "a url under [TimeStampURL] in " + SettingsPath() + " is not well formed";
  if (Is(result, msg::kNoRulesUrl))
    return "no url under [BidRuleFileURL] in " + SettingsPath();
  if (Is(result, msg::kBadRulesUrl))
    return "the url under [BidRuleFileURL] in " + SettingsPath() + " is not well formed";
  if (Is(result, msg::kNoNetwork))
    return "no network interface other than loopback is up";
  return std::nullopt;
}

struct PlainCause {
  const Message* message;
  const char* cause;
};

// The rows whose cause needs nothing but the row.
constexpr PlainCause kPlainCauses[] = {
    {&msg::kClockWrong, "this computer's clock is 7 hours or more off the authority's time"},
    {&msg::kGetOpenerCertsFailed,
     "the opener certificates of the downloaded rules file could not be read"},
    {&msg::kNoOpenerCerts, "the downloaded rules file names no opener"},
    {&msg::kBuildOpenerCertFailed, "an opener certificate could not be copied (out of memory)"},
    {&msg::kRulesDiffer,
     "the rules file sealed into the bid differs from the one the rules service publishes"},
    {&msg::kGetSignerCertFailed, "the signer certificate sealed into the bid could not be read"},
    {&msg::kBuildSignerCertFailed, "the signer certificate could not be copied (out of memory)"},
    {&msg::kOutOfMemory, "out of memory"},
    {&msg::kRulesLengthMismatch,
     "the rules file sealed into the bid is shorter than its header declares"},
    {&msg::kOpenerTotalBelowOne, "the bid's opener total is below 1"},
    {&msg::kOpenerMinBelowOne, "the bid's opener minimum is below 1"},
    {&msg::kOpenerTotalBelowMin, "the bid's opener minimum is above its opener total"},
};

}  // namespace

std::optional<std::string> CauseOf(const CVerifyResult& result, const std::string& bid_path) {
  if (result.ErrorCategory == CategoryNone)
    return std::nullopt;
  if (std::optional<std::string> cause = SettingsCause(result))
    return cause;
  if (Is(result, msg::kTimestampFailed))
    return TimestampCause(result);
  for (const PlainCause& plain : kPlainCauses) {
    if (Is(result, *plain.message))
      return plain.cause;
  }
  if (Is(result, msg::kVerifyCodeFailed))
    return BidFileCause(bid_path, "the bid file could not be read to its end (a read error)");
  if (Is(result, msg::kOpenBidFailed) && ReadWorkingDirSetting().malformed)
    return "the [WorkingDir] path in " + SettingsPath() + " cannot be read (longer than " +
           std::to_string(kMaxSettingLength) +
           " characters, or the file too large), and no other folder is used instead";
  if (Is(result, msg::kOpenBidFailed))
    return BidFileCause(bid_path, "the container library could not open the bid file");
  if (Is(result, msg::kDownloadRulesFailed))
    return RulesDownloadCause(result);
  if (const std::optional<int> code = ContainerCodeOf(result))
    return ContainerCause(*code, bid_path);
  return std::nullopt;
}

}  // namespace brevalt::cli
