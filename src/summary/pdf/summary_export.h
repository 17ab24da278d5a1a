// Exporting the many-bids summary to a file of the record, and stamping it
// the way a verification log is stamped.
#ifndef BREVALT_SUMMARY_PDF_SUMMARY_EXPORT_H
#define BREVALT_SUMMARY_PDF_SUMMARY_EXPORT_H

#include <string>
#include <vector>

#include "summary/summary_row.h"

namespace brevalt {

// Results of ExportSummary's writing.
enum SummaryExportCode : int {
  kSummaryWritten = 0,
  kSummaryUnknownFormat = 1,  // the name ends neither in ".csv" nor in ".pdf"
  kSummaryWriteFailed = 2,    // the file could not be written; none is left at the path
};

struct SummaryExport {
  int written = kSummaryUnknownFormat;  // a SummaryExportCode
  int receipt = -1;                     // a VerifyReceiptCode once a receipt was asked for, else -1
  int error = 0;                        // errno of a failed write
};

// Writes rows to path, as CSV (SummaryCsv) or PDF (SummaryPdf) by the name's
// ending (any case), never as a partial file. An earlier receipt of path is
// removed first, so it can never pass for the new content. The summary
// records the trusted time of the export (ExportTrustedTime), which may ask
// an authority. When written and
// receipt is true, stamps the file as a log is stamped (WriteVerifyReceipt:
// "<path>.tsr"), which blocks up to the trusted-time budget. PDF: on the Qt
// application's thread only.
SummaryExport ExportSummary(const std::u16string& path, const std::vector<SummaryRow>& rows,
                            bool receipt);

// "CSV", "PDF", or empty when the name has neither ending.
std::string SummaryFormatOf(const std::u16string& path);

}  // namespace brevalt

#endif  // BREVALT_SUMMARY_PDF_SUMMARY_EXPORT_H
