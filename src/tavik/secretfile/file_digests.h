// The SHA-256 and the SM3 of a whole file, from one pass over it: the
// verification code and the digest that SM2 users cross-check with.
#ifndef BREVALT_TAVIK_SECRETFILE_FILE_DIGESTS_H
#define BREVALT_TAVIK_SECRETFILE_FILE_DIGESTS_H

#include <array>
#include <span>
#include <string>

namespace brevalt::container {

struct FileDigests {
  std::array<unsigned char, 32> sha256{};
  std::array<unsigned char, 32> sm3{};
};

// Reads the regular file at `path` front to back in 64 KiB chunks (never
// blocking on a FIFO) into both digests. False when it cannot be read.
bool DigestFile(const std::string& path, FileDigests* out);

// Upper-case hexadecimal, two digits a byte, as sha256sum prints in upper case.
std::string UpperHex(std::span<const unsigned char> bytes);

}  // namespace brevalt::container

#endif  // BREVALT_TAVIK_SECRETFILE_FILE_DIGESTS_H
