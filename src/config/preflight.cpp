// Step 1 of a verification: the settings file, its URLs and the network.
#include "config/preflight.h"

#include <algorithm>

#include "config/settings.h"
#include "config/text_convert.h"
#include "platform/loopback_url.h"
#include "platform/network_state.h"
#include "platform/regular_file.h"
#include "platform/url_format.h"
#include "platform/user_folder.h"
#include "record/message_catalogue.h"
#include "record/result_texts.h"

namespace brevalt {
namespace {

// True when the file exists and can be opened for reading; it is closed again
// at once. A folder or a device does not count: only a regular file can be
// read as settings (and opening a FIFO must not block the interface thread).
bool CanOpenForReading(const std::u16string& path) {
  return OpenRegularFile(path).valid();
}

// 0, or the code of the first time-stamp URL problem. An empty part between
// two separators is a part and fails the format test; so does a value too
// long to be used, or a settings file too large to be read (the first check
// that reads a value reports it).
int CheckTimestampUrls(const SettingValue& setting) {
  if (setting.malformed)
    return kPreflightBadTimestampUrl;
  const std::vector<std::u16string> urls = SplitUrlList(setting.text);
  if (urls.empty())
    return kPreflightNoTimestampUrl;
  for (const std::u16string& url : urls) {
    if (!IsUrlFormat(url))
      return kPreflightBadTimestampUrl;
  }
  return kPreflightOk;
}

int CheckRulesUrl(const SettingValue& setting) {
  if (setting.malformed)
    return kPreflightBadRulesUrl;
  if (setting.text.empty())
    return kPreflightNoRulesUrl;
  return IsUrlFormat(setting.text) ? kPreflightOk : kPreflightBadRulesUrl;
}

// True when every authority and the rules service name a loopback host:
// then this machine reaches them without any other network interface. An
// empty authority list means the built-in default authority, which is not.
bool OnlyLoopbackServices(const std::vector<std::u16string>& authorities,
                          const std::u16string& rules_url) {
  return !authorities.empty() &&
         std::all_of(authorities.begin(), authorities.end(),
                     [](const std::u16string& url) { return NamesLoopbackHost(url); }) &&
         NamesLoopbackHost(rules_url);
}

// The checks in order; the first failure's code, or 0. Each setting is read
// once, so every check judges the same text.
int FirstFailure() {
  if (!CanOpenForReading(GetSettingsFilePath()))
    return kPreflightNoSettingsFile;
  const SettingValue authorities = ReadTimeStampUrlSetting();
  if (const int code = CheckTimestampUrls(authorities); code != kPreflightOk)
    return code;
  const SettingValue rules_url = ReadBidRuleFileUrlSetting();
  if (const int code = CheckRulesUrl(rules_url); code != kPreflightOk)
    return code;
  if (!OnlyLoopbackServices(SplitUrlList(authorities.text), rules_url.text) &&
      !HasNetworkConnection())
    return kPreflightNoNetwork;
  return kPreflightOk;
}

const Message& MessageFor(int code) {
  switch (code) {
    case kPreflightNoSettingsFile:
      return msg::kSettingsMissing;
    case kPreflightNoTimestampUrl:
      return msg::kNoTimestampUrl;
    case kPreflightBadTimestampUrl:
      return msg::kBadTimestampUrl;
    case kPreflightNoRulesUrl:
      return msg::kNoRulesUrl;
    case kPreflightBadRulesUrl:
      return msg::kBadRulesUrl;
    default:
      return msg::kNoNetwork;
  }
}

}  // namespace

int RunPreflightChecks(CVerifyResult& result, IDialogSeam& dialog) {
  const int code = FirstFailure();
  if (code != kPreflightOk) {
    SetMessage(result, CategoryEnvironment, MessageFor(code));
    dialog.SetControlText(kEditStepNetwork, kMarkFailed);
  }
  return code;
}

}  // namespace brevalt
