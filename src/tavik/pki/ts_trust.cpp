#include "tavik/pki/ts_trust.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/code_page.h"
#include "platform/regular_file.h"
#include "platform/user_folder.h"

namespace brevalt::pki {
namespace {

using BioPtr = std::unique_ptr<BIO, ReleaseWith<BIO_free>>;
using X509Ptr = std::unique_ptr<X509, ReleaseWith<X509_free>>;

// The whole file when it is a regular file of at most kMaxTrustFileBytes;
// empty otherwise. Never blocks on a FIFO.
std::string ReadSmallFile(const std::u16string& path) {
  UniqueFd fd = OpenRegularFile(path);
  if (!fd.valid())
    return {};
  std::string bytes;
  char chunk[8192];
  for (long n; (n = ReadSome(fd, chunk, sizeof chunk)) > 0;) {
    bytes.append(chunk, static_cast<size_t>(n));
    if (bytes.size() > kMaxTrustFileBytes)
      return {};
  }
  return bytes;
}

// Adds every "CERTIFICATE" PEM block of text to store.
void AddPemCertificates(const std::string& text, X509_STORE* store) {
  if (text.empty())
    return;
  BioPtr bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
  while (bio) {
    X509Ptr cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!cert)
      break;
    X509_STORE_add_cert(store, cert.get());  // takes its own reference
  }
  ERR_clear_error();  // the read that found no further block
}

// True for a name ending in ".pem", in any case.
bool IsPemName(const std::string& name) {
  if (name.size() < 4)
    return false;
  std::string suffix = name.substr(name.size() - 4);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return suffix == ".pem";
}

// The ".pem" entries of folder in name order (so that loading is
// repeatable); empty when the folder is missing or unreadable.
std::vector<std::filesystem::path> PemFiles(const std::u16string& folder) {
  std::vector<std::filesystem::path> entries;
  std::error_code error;
  std::filesystem::directory_iterator it(ToNativePath(folder), error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    if (IsPemName(it->path().filename().string()))
      entries.push_back(it->path());
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace

std::u16string TimeStampTrustFolder() {
  std::u16string folder = GetAppDataFolder();
  if (folder.empty())
    return {};
  for (const char16_t* part : {u"TAVIK", u"qzv", u"trust", u"tsa"}) {
    if (folder.back() != kPathSeparator)
      folder += kPathSeparator;
    folder += part;
  }
  return folder;
}

StorePtr LoadTimeStampTrust(const std::u16string& folder) {
  StorePtr store(X509_STORE_new());
  if (!store)
    return nullptr;
  X509_STORE_set_default_paths(store.get());  // a machine without a CA store still works
  // Whatever the user placed is an anchor, root or not: a chain may end at
  // the authority's issuing CA, or at the authority's own certificate.
  X509_STORE_set_flags(store.get(), X509_V_FLAG_PARTIAL_CHAIN);
  if (!folder.empty()) {
    for (const std::filesystem::path& entry : PemFiles(folder))
      AddPemCertificates(ReadSmallFile(DecodeCodePage(entry.string(), CodePage::kUtf8)),
                         store.get());
  }
  ERR_clear_error();
  return store;
}

}  // namespace brevalt::pki
