#include "summary/export_time.h"

#include "engine/local_time.h"
#include "timestamp/trusted_clock.h"

namespace brevalt {

std::u16string ExportTrustedTime(const std::vector<SummaryRow>& rows) {
  const SummaryRow* latest = nullptr;
  for (const SummaryRow& row : rows) {
    if (!row.trusted_time.empty() && (!latest || row.trusted_time > latest->trusted_time))
      latest = &row;  // the fixed-width text sorts as the time
  }
  CTrustedAnchor anchor = latest ? latest->anchor : CTrustedAnchor();
  int64_t now = 0;
  if (TrustedTimeNow(anchor, {}, &now) == 0)
    return {};
  return FormatLocalTime(now);
}

}  // namespace brevalt
