#include "timestamp/may_open.h"

#include "config/text_convert.h"

namespace brevalt {

bool ReadOpenTimeFields(std::string_view text, CalendarFields* fields) {
  return ReadNumericTimeFields(text, fields);
}

StepState JudgeMayOpen(const std::u16string& open_time, int64_t trusted) {
  if (open_time.empty())
    return StepUnknown;
  const std::string ansi = WideToAnsi(open_time);
  if (ansi.empty())
    return StepUnknown;
  CalendarFields fields;
  int64_t open = 0;
  if (!ReadOpenTimeFields(ansi, &fields) || !LocalFieldsToTime(fields, &open))
    return StepUnknown;
  return trusted < open ? StepFailed : StepPassed;
}

StepState DecideMayOpen(CVerifyResult& result, const BeforeRequest& before_request) {
  int64_t trusted = 0;
  StepState state = StepUnknown;
  // Without an open time the answer is "未知" whatever the authority says, so
  // it is not asked: a display refresh on the interface thread without an
  // anchor (at start-up, after a failed step 2) would otherwise wait for the
  // network for nothing.
  if (!result.OpenTime.empty() &&
      TrustedTimeNow(result.TrustedAnchor, before_request, &trusted) != 0)
    state = JudgeMayOpen(result.OpenTime, trusted);
  result.MayOpen = state;
  return state;
}

}  // namespace brevalt
