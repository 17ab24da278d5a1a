// Anchor folders read once per process: the trust store, the bidder chain
// check and the reports all look at the same folders, and reading one parses
// every certificate in it. A folder is read again when its entries change.
#ifndef BREVALT_TAVIK_ANCHORS_SHARED_PEM_FOLDER_H
#define BREVALT_TAVIK_ANCHORS_SHARED_PEM_FOLDER_H

#include <memory>
#include <string>

#include "tavik/anchors/pem_folder.h"

namespace brevalt::anchors {

// What ReadPemFolder(native_folder) returns now, kept from an earlier read
// while the folder and its anchor files have the same names, sizes and
// modification times (AppendPemFolderStamp). Safe from any thread; the
// certificates are shared and must not be changed.
std::shared_ptr<const PemFolder> SharedPemFolder(const std::string& native_folder);

}  // namespace brevalt::anchors

#endif  // BREVALT_TAVIK_ANCHORS_SHARED_PEM_FOLDER_H
