// Shows a time value the way the dialog and the log print it.
#ifndef BREVALT_ENGINE_LOCAL_TIME_H
#define BREVALT_ENGINE_LOCAL_TIME_H

#include <cstdint>
#include <string>

namespace brevalt {

// The time as local "%Y-%m-%d %H:%M:%S"; empty when it cannot be converted.
std::u16string FormatLocalTime(int64_t time);

}  // namespace brevalt

#endif  // BREVALT_ENGINE_LOCAL_TIME_H
