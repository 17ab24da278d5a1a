// Reads a sealed bid container from disk in one forward pass.
#ifndef BREVALT_PLATFORM_CONTAINER_CONTAINER_READER_H
#define BREVALT_PLATFORM_CONTAINER_CONTAINER_READER_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tavik/secretfile/container_format.h"

namespace brevalt::container {

inline constexpr std::size_t kSha256Size = 32;

// What a structurally sound container holds, except the payload, which is
// only digested.
struct ContainerContents {
  ContainerHeader header;
  std::vector<unsigned char> custom_data;
  std::vector<unsigned char> certificate;                  // DER as stored
  std::vector<unsigned char> signature;                    // DER CMS as stored
  std::uint64_t signed_length = 0;                         // bytes covered by the signature
  std::array<unsigned char, kSha256Size> signed_digest{};  // their SHA-256
  std::array<unsigned char, kSha256Size> file_digest{};    // SHA-256 of every byte read
  // Their SM3, computed only when the signature names SM3 (it costs several
  // times the SHA-256).
  std::optional<std::array<unsigned char, kSha256Size>> signed_sm3;
};

// Opens `path` read-only, checks the structure (magic, version, lengths
// against the file size and the format's limits) and, when it is sound,
// reads the file front to back with a fixed 64 KiB buffer: keeps the custom
// data, certificate and signature and computes the SHA-256 of the signed
// bytes and, from the same reads, the SHA-256 of the whole file (the signed
// bytes are its prefix, so one digest pass gives both). Memory does not
// depend on the payload size. The file is closed
// before returning. Returns kOk or a code of container_errors.h; on failure
// `*out` holds whatever had been read.
int ReadContainer(const std::string& path, ContainerContents* out);

// Opens `path` for reading and checks that it is a regular file; returns kOk
// or kFileOpenFailed. The file is closed again.
int CheckReadable(const std::string& path);

}  // namespace brevalt::container

#endif  // BREVALT_PLATFORM_CONTAINER_CONTAINER_READER_H
