#include "tavik/pki/system_anchors.h"

#include <openssl/err.h>
#include <openssl/x509_vfy.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace brevalt::pki {
namespace {

// The environment's choice when set, else OpenSSL's built-in path.
std::string DefaultPath(const char* environment_name, const char* built_in) {
  const char* chosen = std::getenv(environment_name);
  return chosen != nullptr ? chosen : built_in;
}

// How SSL_CERT_DIR separates its folders, as OpenSSL reads it.
#ifdef _WIN32
constexpr char kFolderSeparator = ';';
#else
constexpr char kFolderSeparator = ':';
#endif

std::vector<std::string> CaFolders() {
  const std::string list =
      DefaultPath(X509_get_default_cert_dir_env(), X509_get_default_cert_dir());
  std::vector<std::string> folders;
  std::size_t start = 0;
  for (std::size_t colon; (colon = list.find(kFolderSeparator, start)) != std::string::npos;
       start = colon + 1)
    folders.push_back(list.substr(start, colon - start));
  folders.push_back(list.substr(start));
  return folders;
}

// "<8 hex digits>.<digits>": a name OpenSSL's lookup by subject hash opens.
bool IsHashedName(const std::string& name) {
  if (name.size() < 10 || name[8] != '.')
    return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (i != 8 && !(i < 8 ? std::isxdigit(c) : std::isdigit(c)))
      return false;
  }
  return true;
}

bool HoldsHashedCertificates(const std::string& folder) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    if (IsHashedName(it->path().filename().string()))
      return true;
  }
  return false;
}

bool AnyFolderHashed() {
  for (const std::string& folder : CaFolders()) {
    if (!folder.empty() && HoldsHashedCertificates(folder))
      return true;
  }
  return false;
}

// SSL_CERT_FILE names a bundle other than the built-in one (many setups set
// it to the very file the built-in path leads to).
bool ChosenBundle() {
  const char* chosen = std::getenv(X509_get_default_cert_file_env());
  if (chosen == nullptr)
    return false;
  std::error_code error;
  return !std::filesystem::equivalent(chosen, X509_get_default_cert_file(), error) || error;
}

}  // namespace

void AddSystemAnchors(X509_STORE* store) {
  // X509_FILETYPE_DEFAULT: SSL_CERT_DIR, else the built-in folder.
  X509_LOOKUP* folders = X509_STORE_add_lookup(store, X509_LOOKUP_hash_dir());
  if (folders != nullptr)
    X509_LOOKUP_add_dir(folders, nullptr, X509_FILETYPE_DEFAULT);
  if (ChosenBundle() || !AnyFolderHashed()) {
    X509_LOOKUP* bundle = X509_STORE_add_lookup(store, X509_LOOKUP_file());
    if (bundle != nullptr)
      X509_LOOKUP_load_file(bundle, nullptr, X509_FILETYPE_DEFAULT);
  }
  ERR_clear_error();  // a machine without a CA store still works
}

void AppendSystemAnchorStamp(anchors::SourceStamp* out) {
  out->push_back(anchors::StampPath(
      DefaultPath(X509_get_default_cert_file_env(), X509_get_default_cert_file())));
  for (const std::string& folder : CaFolders())
    out->push_back(anchors::StampPath(folder));
}

}  // namespace brevalt::pki
