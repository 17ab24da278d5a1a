// brevalt-cli's PDF writer: Qt's PDF writer lives in a module beside the
// program, loaded the first time a summary is exported as PDF, so that no
// other run of brevalt-cli loads Qt and the dozens of libraries under it.
#ifndef BREVALT_CLI_PDF_WRITER_MODULE_H
#define BREVALT_CLI_PDF_WRITER_MODULE_H

#include <cstddef>
#include <string>

#include "summary/summary_sheet.h"

// The module's one entry point. sheet_size is sizeof(SummarySheet) as the
// caller was built, so that a module of another build refuses instead of
// misreading; 0 with *bytes filled, else nonzero (its own failure, or a
// size that differs).
extern "C" {
using BrevaltDrawSummaryPdf = int(const brevalt::SummarySheet* sheet, std::size_t sheet_size,
                                  std::string* bytes);
}
inline constexpr char kPdfWriterEntry[] = "brevalt_draw_summary_pdf";
inline constexpr char kPdfWriterFileName[] = "brevalt-summary-pdf.so";

namespace brevalt::cli {

// The module's path: kPdfWriterFileName in the folder that relative_folder
// names from the folder of the running program (its /proc/self/exe).
std::string PdfWriterModulePath(const std::string& relative_folder);

// Draws sheet with the module at module_path, loaded once per process and
// kept to the end (a Qt application cannot be unloaded). False with *why
// (the path and the loader's reason) when it cannot be loaded or draws
// nothing; the next call tries again.
bool DrawWithPdfWriterModule(const std::string& module_path, const SummarySheet& sheet,
                             std::string* bytes, std::string* why);

}  // namespace brevalt::cli

#endif  // BREVALT_CLI_PDF_WRITER_MODULE_H
