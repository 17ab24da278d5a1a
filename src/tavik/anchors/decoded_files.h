// The certificates of anchor files, decoded once per process for each
// content. Anchor folders are read at every use, so that a change is never
// missed, whatever the file system's clock; decoding is what costs (each
// certificate's key goes through OpenSSL's decoders), and that is done again
// only for bytes not seen before.
#ifndef BREVALT_TAVIK_ANCHORS_DECODED_FILES_H
#define BREVALT_TAVIK_ANCHORS_DECODED_FILES_H

#include <cstddef>
#include <string>
#include <vector>

#include "tavik/anchors/pem_folder.h"

namespace brevalt::anchors {

// How many file contents are kept decoded; the oldest goes first.
inline constexpr std::size_t kKeptAnchorFiles = 64;

// Appends every "CERTIFICATE" block of text to out; without one, the one DER
// certificate that text is in full (the usual form of a ".cer" file). The
// certificates appended for the same text are the same objects each time:
// shared, and never to be changed.
void AppendDecodedCertificates(const std::string& text, std::vector<X509Ptr>* out);

}  // namespace brevalt::anchors

#endif  // BREVALT_TAVIK_ANCHORS_DECODED_FILES_H
