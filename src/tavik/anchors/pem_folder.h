// Reading the certificates of the PEM files in a trust-anchor folder. The
// reader only reports what it found; each caller decides what a missing,
// unreadable or unlistable file or folder means for its trust decision.
#ifndef BREVALT_TAVIK_ANCHORS_PEM_FOLDER_H
#define BREVALT_TAVIK_ANCHORS_PEM_FOLDER_H

#include <openssl/x509.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/release_with.h"

namespace brevalt::anchors {

using X509Ptr = std::unique_ptr<X509, ReleaseWith<X509_free>>;

// PEM files larger than this are not read.
inline constexpr std::size_t kMaxPemFileBytes = 1024 * 1024;

struct PemFolder {
  // Every "CERTIFICATE" block of every PEM file that could be read, files in
  // name order, blocks in file order. Other PEM blocks are skipped.
  std::vector<X509Ptr> certificates;
  // At least one entry named "*.pem" (any case) that is not a folder, whether
  // or not it could be read (a FIFO, a device, a file beyond kMaxPemFileBytes,
  // an unreadable file or one without a certificate all count).
  bool has_pem_file = false;
  // The folder exists but could not be listed, wholly or in part. A missing
  // folder is not unlistable.
  bool unlistable = false;
};

// The entries of folder (a native path) that ReadPemFolder reads: names
// ending in ".pem" (any case) that are not folders, in name order (so that
// loading is repeatable). Sets *unlistable when listing failed for another
// reason than a missing folder.
std::vector<std::filesystem::path> PemEntries(const std::string& native_folder, bool* unlistable);

// Reads the folder (a native path) afresh. Entries that are folders or whose
// names do not end in ".pem" (any case) are ignored; subfolders are not
// entered; a FIFO never blocks the read. An empty path reads as a missing
// folder. Leaves OpenSSL's error queue empty.
PemFolder ReadPemFolder(const std::string& native_folder);

}  // namespace brevalt::anchors

#endif  // BREVALT_TAVIK_ANCHORS_PEM_FOLDER_H
