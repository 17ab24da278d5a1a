#include "tavik/anchors/pem_folder.h"

#include <openssl/err.h>
#include <openssl/pem.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/regular_file.h"

namespace brevalt::anchors {
namespace {

using BioPtr = std::unique_ptr<BIO, ReleaseWith<BIO_free>>;

// True for a name ending in ".pem", in any case.
bool IsPemName(const std::string& name) {
  if (name.size() < 4)
    return false;
  std::string suffix = name.substr(name.size() - 4);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return suffix == ".pem";
}

// The whole file when it is a regular file of at most kMaxPemFileBytes that
// reads without error; nothing otherwise. Never blocks on a FIFO.
std::optional<std::string> ReadSmallFile(const std::string& native_path) {
  UniqueFd fd = OpenRegularFileNative(native_path);
  if (!fd.valid())
    return std::nullopt;
  std::string bytes;
  char chunk[8192];
  long n = 0;
  while ((n = ReadSome(fd, chunk, sizeof chunk)) > 0) {
    bytes.append(chunk, static_cast<std::size_t>(n));
    if (bytes.size() > kMaxPemFileBytes)
      return std::nullopt;
  }
  if (n < 0)
    return std::nullopt;
  return bytes;
}

// Appends every "CERTIFICATE" block of text to out.
void AppendCertificates(const std::string& text, std::vector<X509Ptr>* out) {
  if (text.empty())
    return;
  BioPtr bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
  while (bio) {
    X509Ptr cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!cert)
      break;
    out->push_back(std::move(cert));
  }
}

}  // namespace

std::vector<std::filesystem::path> PemEntries(const std::string& folder, bool* unlistable) {
  std::vector<std::filesystem::path> entries;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::error_code type_error;
    if (IsPemName(it->path().filename().string()) && !it->is_directory(type_error))
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
  for (const std::filesystem::path& entry : PemEntries(native_folder, &result.unlistable)) {
    result.has_pem_file = true;
    if (const std::optional<std::string> text = ReadSmallFile(entry.string()))
      AppendCertificates(*text, &result.certificates);
  }
  ERR_clear_error();  // the reads that found no further block
  return result;
}

}  // namespace brevalt::anchors
