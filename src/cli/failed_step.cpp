#include "cli/failed_step.h"

#include <charconv>
#include <string>

#include "record/message_catalogue.h"
#include "tavik/tavik_secret_file.h"

namespace brevalt::cli {
namespace {

struct StepOfMessage {
  const Message* message;
  int step;
};

// Every message of a known step but the container's own row.
constexpr StepOfMessage kSteps[] = {
    {&msg::kSettingsMissing, 1},       {&msg::kNoTimestampUrl, 1},
    {&msg::kBadTimestampUrl, 1},       {&msg::kNoRulesUrl, 1},
    {&msg::kBadRulesUrl, 1},           {&msg::kNoNetwork, 1},
    {&msg::kTimestampFailed, 2},       {&msg::kClockWrong, 3},
    {&msg::kDownloadRulesFailed, 4},   {&msg::kGetOpenerCertsFailed, 4},
    {&msg::kNoOpenerCerts, 4},         {&msg::kBuildOpenerCertFailed, 4},
    {&msg::kRulesLengthMismatch, 4},   {&msg::kOpenerTotalBelowOne, 4},
    {&msg::kOpenerMinBelowOne, 4},     {&msg::kOpenerTotalBelowMin, 4},
    {&msg::kRulesDiffer, 4},           {&msg::kVerifyCodeFailed, 5},
    {&msg::kOpenBidFailed, 5},         {&msg::kGetSignerCertFailed, 6},
    {&msg::kBuildSignerCertFailed, 6},
};

}  // namespace

std::optional<int> ContainerCodeOf(const CVerifyResult& result) {
  const std::u16string prefix = msg::kVerifyFailedPrefix;
  const std::u16string& detail = result.ErrorDetail;
  if (detail.size() <= prefix.size() || detail.compare(0, prefix.size(), prefix) != 0)
    return std::nullopt;
  std::string digits;
  for (std::size_t i = prefix.size(); i < detail.size(); ++i) {
    if (detail[i] > 0x7f)
      return std::nullopt;
    digits.push_back(static_cast<char>(detail[i]));
  }
  int code = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
  if (error != std::errc() || end != digits.data() + digits.size())
    return std::nullopt;
  return code;
}

int FailedStep(const CVerifyResult& result) {
  if (result.ErrorCategory == CategoryNone)
    return 0;
  for (const StepOfMessage& known : kSteps) {
    if (result.ErrorDetail == known.message->detail)
      return known.step;
  }
  const std::optional<int> code = ContainerCodeOf(result);
  if (!code)
    return 0;
  if (*code >= TAVIK_SECRETFILE_ERR_FILE_OPEN && *code < TAVIK_SECRETFILE_ERR_CERT_MALFORMED)
    return 5;  // the file, or the container's structure
  if (*code >= TAVIK_SECRETFILE_ERR_CERT_MALFORMED && *code < TAVIK_SECRETFILE_ERR_FILE_WRITE)
    return 6;  // the certificate, the signature or the signer's chain
  return 0;
}

}  // namespace brevalt::cli
