// The open-time texts the rules service supplies: the numeric form as it
// comes, and the long form the way the normalising reader takes it (decoded
// from the ANSI code page, rewritten, encoded again and read as numbers).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/text_convert.h"
#include "rules/open_time.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  int64_t time = 0;
  brevalt::ParseNumericTime(text, &time);
  const std::u16string normal = brevalt::NormalizeOpenTime(brevalt::AnsiToWide(text));
  if (!normal.empty())
    brevalt::ParseNumericTime(brevalt::WideToAnsi(normal), &time);
  return 0;
}
