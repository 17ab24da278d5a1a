#include "cli/pdf_writer_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>

namespace brevalt::cli {
namespace {

struct ModuleClose {
  void operator()(void* handle) const { dlclose(handle); }
};
// RTLD_NODELETE keeps the code mapped after dlclose: Qt's objects made by the
// module are destroyed at exit, after this handle is released.
using ModuleHandle = std::unique_ptr<void, ModuleClose>;

std::string LoaderError() {
  const char* text = dlerror();
  return text != nullptr ? text : "unknown loader error";
}

}  // namespace

std::string PdfWriterModulePath(const std::string& relative_folder) {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return (program.parent_path() / relative_folder / kPdfWriterFileName).lexically_normal().string();
}

bool DrawWithPdfWriterModule(const std::string& module_path, const SummarySheet& sheet,
                             std::string* bytes, std::string* why) {
  static std::mutex mutex;
  static ModuleHandle module;
  static BrevaltDrawSummaryPdf* draw = nullptr;
  const std::lock_guard<std::mutex> lock(mutex);
  if (draw == nullptr) {
    ModuleHandle loaded(dlopen(module_path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!loaded) {
      *why = "the PDF writer could not be loaded: " + LoaderError();
      return false;
    }
    void* entry = dlsym(loaded.get(), kPdfWriterEntry);
    if (entry == nullptr) {
      *why = "the PDF writer " + module_path + " has no " + kPdfWriterEntry;
      return false;
    }
    draw = reinterpret_cast<BrevaltDrawSummaryPdf*>(entry);
    module = std::move(loaded);
  }
  bytes->clear();
  if (draw(&sheet, sizeof(SummarySheet), bytes) != 0 || bytes->empty()) {
    *why = "the PDF writer " + module_path + " drew nothing";
    return false;
  }
  return true;
}

}  // namespace brevalt::cli
