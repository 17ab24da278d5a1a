// `bidx inspect --extract DIR`: the parts of a sealed bid as separate files.
#ifndef BREVALT_TOOLS_BIDX_EXTRACT_FILES_H
#define BREVALT_TOOLS_BIDX_EXTRACT_FILES_H

#include <ostream>
#include <string>

#include "tavik/secretfile/container_reader.h"

namespace brevalt::bidx {

// Writes into `dir` (created when missing) signed.bin (the signed bytes),
// sig.der (the CMS signature), signer.pem (the embedded certificate) and
// payload.bin (the bid documents), copying the large parts from the bid at
// `path` in fixed chunks. Prints a line to `out` for every file written.
// False, with the file and the cause on `err`, when one cannot be written.
bool ExtractContainer(const std::string& path, const container::ContainerContents& contents,
                      const std::string& dir, std::ostream& out, std::ostream& err);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_EXTRACT_FILES_H
