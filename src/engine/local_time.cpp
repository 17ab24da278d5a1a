#include "engine/local_time.h"

#include "config/text_convert.h"
#include "platform/time_convert.h"

namespace brevalt {

std::u16string FormatLocalTime(int64_t time) {
  return AnsiToWide(FormatLocal(time, "%Y-%m-%d %H:%M:%S"));
}

}  // namespace brevalt
