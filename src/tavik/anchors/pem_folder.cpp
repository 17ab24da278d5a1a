#include "tavik/anchors/pem_folder.h"

#include <openssl/err.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <system_error>

#include "platform/regular_file.h"
#include "tavik/anchors/decoded_files.h"

namespace brevalt::anchors {
namespace {

// The whole file when it is a regular file of at most kMaxPemFileBytes that
// reads without error; false with the reason in *why otherwise. Never blocks
// on a FIFO.
bool ReadSmallFile(const std::string& native_path, std::string* bytes, std::string* why) {
  UniqueFd fd = OpenRegularFileNative(native_path);
  if (!fd.valid()) {
    *why = WhyNotReadable(native_path);
    if (why->empty())
      *why = "cannot be read";  // it changed between the two looks
    return false;
  }
  char chunk[8192];
  long n = 0;
  while ((n = ReadSome(fd, chunk, sizeof chunk)) > 0) {
    bytes->append(chunk, static_cast<std::size_t>(n));
    if (bytes->size() > kMaxPemFileBytes) {
      *why = "is larger than 1 MiB";
      return false;
    }
  }
  if (n < 0) {
    *why = "cannot be read (read error)";
    return false;
  }
  return true;
}

// A file name as people may see it: control characters become "?".
std::string Printable(std::string name) {
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      c = '?';
  }
  return name;
}

}  // namespace

bool IsAnchorFileName(const std::string& name) {
  if (name.size() < 4)
    return false;
  std::string suffix = name.substr(name.size() - 4);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return suffix == ".pem" || suffix == ".crt" || suffix == ".cer";
}

std::vector<std::filesystem::path> AnchorEntries(const std::string& folder, bool* unlistable) {
  std::vector<std::filesystem::path> entries;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::error_code type_error;
    if (IsAnchorFileName(it->path().filename().string()) && !it->is_directory(type_error))
      entries.push_back(it->path());
  }
  *unlistable = error && error != std::errc::no_such_file_or_directory;
  std::sort(entries.begin(), entries.end());
  return entries;
}

PemFolder ReadPemFolder(const std::string& native_folder) {
  PemFolder result;
  if (native_folder.empty())
    return result;
  for (const std::filesystem::path& entry : AnchorEntries(native_folder, &result.unlistable)) {
    result.has_pem_file = true;
    AnchorFile file{entry.filename().string(), 0, {}};
    std::string text;
    if (ReadSmallFile(entry.string(), &text, &file.refused)) {
      const std::size_t before = result.certificates.size();
      AppendDecodedCertificates(text, &result.certificates);
      file.certificates = result.certificates.size() - before;
      if (file.certificates == 0)
        file.refused = "holds no certificate";
    }
    result.files.push_back(std::move(file));
  }
  ERR_clear_error();  // the reads that found no further block
  return result;
}

std::string AnchorFilesText(const PemFolder& found) {
  std::string text;
  for (const AnchorFile& file : found.files) {
    text += text.empty() ? "" : "; ";
    if (!file.refused.empty())
      text += Printable(file.name) + ": refused, " + file.refused;
    else
      text += Printable(file.name) + ": " + std::to_string(file.certificates) +
              (file.certificates == 1 ? " certificate" : " certificates");
  }
  if (found.unlistable)
    text += std::string(text.empty() ? "" : "; ") + "the folder could not be listed in full";
  return text.empty() ? "none" : text;
}

}  // namespace brevalt::anchors
