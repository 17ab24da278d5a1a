#include "cli/cli_export.h"

#include <cstring>

#include "cli/pdf_writer_module.h"
#include "config/text_convert.h"
#include "log/verify_receipt.h"
#include "summary/summary_export.h"

namespace brevalt::cli {

SummaryRow CliSummaryRow(int number, const std::string& bid_path, bool verified,
                         const CVerifyResult& result, IDialogSeam& shown,
                         const std::optional<std::u16string>& log_file, bool log_wanted,
                         int receipt_rc) {
  SummaryRow row = PendingRow(number, Utf8ToWide(bid_path));
  if (!verified)
    return row;
  FillRowFromRun(row, result, shown);
  row.log = log_file ? LogState::kWritten : log_wanted ? LogState::kFailed : LogState::kNotWanted;
  if (log_file && receipt_rc >= 0)
    row.receipt = receipt_rc == kReceiptWritten ? ReceiptState::kWritten : ReceiptState::kFailed;
  return row;
}

bool ExportCliSummary(const std::string& file, const std::vector<SummaryRow>& rows, bool receipt,
                      std::ostream& out, std::ostream& err) {
  const std::string module = PdfWriterModulePath(BREVALT_PDF_WRITER_FROM_PROGRAM);
  const SummaryExport exported =
      ExportSummary(Utf8ToWide(file), rows, receipt,
                    [&module](const SummarySheet& sheet, std::string* bytes, std::string* why) {
                      return DrawWithPdfWriterModule(module, sheet, bytes, why);
                    });
  if (exported.written != kSummaryWritten) {
    err << "brevalt-cli: summary " << file << " not written: "
        << (exported.written == kSummaryUnknownFormat ? "the name must end in .csv or .pdf"
            : exported.written == kSummaryNoPdfWriter ? exported.why
                                                      : std::strerror(exported.error))
        << std::endl;
    return false;
  }
  out << "summary: " << file << "\n";
  if (exported.receipt > 0) {
    err << "brevalt-cli: no receipt for " << file << ": " << ReceiptFailureText(exported.receipt)
        << std::endl;
    return false;
  }
  return true;
}

}  // namespace brevalt::cli
