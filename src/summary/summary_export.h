// Exporting the many-bids summary to a file of the record, and stamping it
// the way a verification log is stamped.
#ifndef BREVALT_SUMMARY_SUMMARY_EXPORT_H
#define BREVALT_SUMMARY_SUMMARY_EXPORT_H

#include <functional>
#include <string>
#include <vector>

#include "summary/summary_row.h"
#include "summary/summary_sheet.h"

namespace brevalt {

// Results of ExportSummary's writing.
enum SummaryExportCode : int {
  kSummaryWritten = 0,
  kSummaryUnknownFormat = 1,  // the name ends neither in ".csv" nor in ".pdf"
  kSummaryWriteFailed = 2,    // the file could not be written; none is left at the path
  kSummaryNoPdfWriter = 3,    // no PDF could be drawn here; why says why; nothing written
};

struct SummaryExport {
  int written = kSummaryUnknownFormat;  // a SummaryExportCode
  int receipt = -1;                     // a VerifyReceiptCode once a receipt was asked for, else -1
  int error = 0;                        // errno of a failed write
  std::string why;                      // the PDF writer's reason with kSummaryNoPdfWriter
};

// Draws a summary sheet as PDF bytes; false, with the reason in *why, when no
// PDF can be drawn. The dialog draws in its own process; brevalt-cli loads
// the drawing (and the GUI toolkit it needs) only when a PDF is asked for.
using SummaryPdfDrawer =
    std::function<bool(const SummarySheet& sheet, std::string* bytes, std::string* why)>;

// Writes rows to path, as CSV (SummaryCsv) or PDF (draw_pdf) by the name's
// ending (any case), never as a partial file. An earlier receipt of path is
// removed first, so it can never pass for the new content. The summary
// records the trusted time of the export (ExportTrustedTime), which may ask
// an authority. When written and receipt is true, stamps the file as a log
// is stamped (WriteVerifyReceipt: "<path>.tsr"), which blocks up to the
// trusted-time budget. draw_pdf is called on the calling thread.
SummaryExport ExportSummary(const std::u16string& path, const std::vector<SummaryRow>& rows,
                            bool receipt, const SummaryPdfDrawer& draw_pdf);

// "CSV", "PDF", or empty when the name has neither ending.
std::string SummaryFormatOf(const std::u16string& path);

}  // namespace brevalt

#endif  // BREVALT_SUMMARY_SUMMARY_EXPORT_H
