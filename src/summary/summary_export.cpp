#include "summary/summary_export.h"

#include <algorithm>
#include <filesystem>

#include "config/text_convert.h"
#include "log/replace_file.h"
#include "log/verify_receipt.h"
#include "summary/export_time.h"
#include "summary/summary_csv.h"

namespace brevalt {

std::string SummaryFormatOf(const std::u16string& path) {
  std::string extension = std::filesystem::path(WideToUtf8(path)).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension == ".CSV" || extension == ".PDF" ? extension.substr(1) : std::string();
}

SummaryExport ExportSummary(const std::u16string& path, const std::vector<SummaryRow>& rows,
                            bool receipt, const SummaryPdfDrawer& draw_pdf) {
  SummaryExport result;
  const std::string format = SummaryFormatOf(path);
  if (format.empty())
    return result;
  std::error_code ignored;
  std::filesystem::remove(WideToUtf8(ReceiptPathOf(path)), ignored);
  const std::u16string stamped_at = ExportTrustedTime(rows);
  std::string bytes;
  if (format == "CSV") {
    bytes = SummaryCsv(rows, stamped_at);
  } else if (!draw_pdf || !draw_pdf(SummarySheetOf(rows, stamped_at), &bytes, &result.why)) {
    result.written = kSummaryNoPdfWriter;
    return result;
  }
  ReplaceFailure failure;
  if (ReplaceFileContent(path, bytes, "", &failure) != 0) {
    result.written = kSummaryWriteFailed;
    result.error = failure.error;
    return result;
  }
  result.written = kSummaryWritten;
  if (receipt)
    result.receipt = WriteVerifyReceipt(path);
  return result;
}

}  // namespace brevalt
