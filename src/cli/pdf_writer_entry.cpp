// The entry point of brevalt-cli's PDF writer module (see pdf_writer_module.h).
#include "cli/pdf_writer_module.h"
#include "summary/pdf/summary_pdf.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) int brevalt_draw_summary_pdf(
    const brevalt::SummarySheet* sheet, std::size_t sheet_size, std::string* bytes) {
  if (sheet == nullptr || bytes == nullptr || sheet_size != sizeof(brevalt::SummarySheet))
    return 1;
  try {
    *bytes = brevalt::SummaryPdf(*sheet);
  } catch (...) {  // nothing may unwind into the caller's loader
    return 1;
  }
  return 0;
}

static_assert(std::is_same_v<decltype(brevalt_draw_summary_pdf), BrevaltDrawSummaryPdf>);
