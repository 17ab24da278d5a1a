// The texts the record's states and categories are shown as.
#ifndef BREVALT_RECORD_RESULT_TEXTS_H
#define BREVALT_RECORD_RESULT_TEXTS_H

#include <string>

#include "record/verify_result.h"

namespace brevalt {

// "√" for passed, "×" for failed, "未知" for unknown; empty for not run and
// for any value outside the enumeration.
std::u16string StepStateText(int32_t state);
// The message row's first column ("环境", "时间戳", ...); empty without a row.
std::u16string CategoryText(int32_t category);
// The message row's third column ("警告" or "严重错误"); empty without a row.
std::u16string NatureText(int32_t category);

inline constexpr char16_t kMarkPassed[] = u"√";  // U+221A
inline constexpr char16_t kMarkFailed[] = u"×";  // U+00D7
inline constexpr char16_t kVerdictPassed[] = u"通过";
inline constexpr char16_t kVerdictNotPassed[] = u"没通过";

}  // namespace brevalt

#endif  // BREVALT_RECORD_RESULT_TEXTS_H
