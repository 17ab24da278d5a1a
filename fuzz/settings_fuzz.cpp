// The settings file Setting.ini: every value the system reads from it.
#include <cstddef>
#include <cstdint>

#include "config/text_convert.h"
#include "fuzz/scratch_file.h"
#include "platform/private_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static brevalt::fuzz::ScratchFile file(".ini");
  if (!file.Write(data, size))
    return 0;
  const std::u16string path = brevalt::Utf8ToWide(file.path());
  brevalt::ReadPrivateProfileString(u"WorkingDir", u"path", u"/home/user/BidFiles/", path);
  brevalt::ReadPrivateProfileString(u"BidRuleFileURL", u"url", u"", path);
  const std::u16string urls = brevalt::ReadPrivateProfileString(u"TimeStampURL", u"url", u"", path);
  brevalt::SplitString(urls, u';');
  return 0;
}
