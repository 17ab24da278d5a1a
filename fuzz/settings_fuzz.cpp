// The settings file Setting.ini: every value the system reads from it.
#include <cstddef>
#include <cstdint>

#include "config/settings.h"
#include "config/text_convert.h"
#include "fuzz/scratch_file.h"
#include "platform/private_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static brevalt::fuzz::ScratchFile file(".ini");
  if (!file.Write(data, size))
    return 0;
  const std::u16string path = brevalt::Utf8ToWide(file.path());
  const auto read = [&](const char16_t* section, const char16_t* key, const char16_t* fallback) {
    return brevalt::ReadPrivateProfileValue(section, key, fallback, path,
                                            brevalt::kMaxSettingLength,
                                            brevalt::kMaxSettingsFileBytes)
        .text;
  };
  read(u"WorkingDir", u"path", u"/home/user/BidFiles/");
  read(u"BidRuleFileURL", u"url", u"");
  brevalt::SplitString(read(u"TimeStampURL", u"url", u""), u';');
  return 0;
}
