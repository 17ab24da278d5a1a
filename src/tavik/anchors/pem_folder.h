// Reading the certificates of the anchor files in a trust-anchor folder. The
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

// Anchor files larger than this are not read.
inline constexpr std::size_t kMaxPemFileBytes = 1024 * 1024;

// One entry with an anchor file name, and what became of it.
struct AnchorFile {
  std::string name;              // the entry's name in the folder
  std::size_t certificates = 0;  // certificates taken from it
  // Why none was taken, as a phrase that follows the name ("holds no
  // certificate", "is larger than 1 MiB", "cannot be read (...)"); empty
  // when it was read.
  std::string refused;
};

struct PemFolder {
  // Every certificate of every anchor file that could be read, files in
  // name order, certificates in file order.
  std::vector<X509Ptr> certificates;
  // At least one entry with an anchor file name that is not a folder,
  // whether or not it could be read (a FIFO, a device, a file beyond
  // kMaxPemFileBytes, an unreadable file or one without a certificate all
  // count).
  bool has_pem_file = false;
  // The folder exists but could not be listed, wholly or in part. A missing
  // folder is not unlistable.
  bool unlistable = false;
  // Every entry that counts for has_pem_file, in name order.
  std::vector<AnchorFile> files;
};

// True for a name ending in ".pem", ".crt" or ".cer", in any case.
bool IsAnchorFileName(const std::string& name);

// The entries of folder (a native path) that ReadPemFolder reads: anchor file
// names (IsAnchorFileName) that are not folders, in name order (so that
// loading is repeatable). Sets *unlistable when listing failed for another
// reason than a missing folder.
std::vector<std::filesystem::path> AnchorEntries(const std::string& native_folder,
                                                 bool* unlistable);

// Reads the folder (a native path) afresh. Entries that are folders or whose
// names IsAnchorFileName refuses are ignored; subfolders are not entered; a
// FIFO never blocks the read. A file holds its certificates as PEM
// "CERTIFICATE" blocks (other blocks are skipped) or, without any, as one
// DER certificate. An empty path reads as a missing folder. Leaves
// OpenSSL's error queue empty.
PemFolder ReadPemFolder(const std::string& native_folder);

// The files of found for people: "none", or each file with its count or
// why it was refused ("ca.pem: 2 certificates; old.crt: refused, holds no
// certificate"), and a note when the folder could not be listed.
std::string AnchorFilesText(const PemFolder& found);

}  // namespace brevalt::anchors

#endif  // BREVALT_TAVIK_ANCHORS_PEM_FOLDER_H
