// The many-bids summary as a printable PDF, drawn with Qt's own PDF writer.
#ifndef BREVALT_SUMMARY_PDF_SUMMARY_PDF_H
#define BREVALT_SUMMARY_PDF_SUMMARY_PDF_H

#include <string>

#include "summary/summary_sheet.h"

namespace brevalt {

// The PDF's bytes: A4 landscape pages headed by the project numbers, the
// export's and the run's trusted times and the totals; one line per row (number, file name,
// bidder, verdict in blue or red, the whole verification code, reason),
// texts too long for their column cut with "…" except the code; "第 N 页，
// 共 M 页" at the foot of each page. The document's XMP metadata, stored
// uncompressed, holds "时间戳时间：<stamped_at>" (the export's trusted time) in UTF-8, so the
// time a receipt is compared with can be found in the raw file. Needs a
// QGuiApplication; when no Qt application exists yet it makes one on the
// offscreen platform, which lives until the process ends. Interface thread of
// that application only.
std::string SummaryPdf(const SummarySheet& sheet);

}  // namespace brevalt

#endif  // BREVALT_SUMMARY_PDF_SUMMARY_PDF_H
