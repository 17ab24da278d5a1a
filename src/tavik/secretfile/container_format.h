// The byte layout of a sealed bid container (see docs/container.md).
//
//   header (44 bytes) | custom data | payload | certificate (DER)   <- signed
//   signature length (4 bytes) | signature (DER CMS SignedData)     <- not signed
//
// All integers are big-endian.
#ifndef BREVALT_PLATFORM_CONTAINER_CONTAINER_FORMAT_H
#define BREVALT_PLATFORM_CONTAINER_CONTAINER_FORMAT_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace brevalt::container {

inline constexpr std::array<unsigned char, 8> kMagic = {'B', 'I', 'D', 'X', 0x0D, 0x0A, 0x1A, 0x0A};
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::size_t kHeaderSize = 44;
inline constexpr std::size_t kSignatureLengthSize = 4;

// Limits on the blocks the reader keeps in memory; the payload has none.
inline constexpr std::uint64_t kMaxCustomData = 16u * 1024 * 1024;
inline constexpr std::uint64_t kMaxCertificate = 1024 * 1024;
inline constexpr std::uint64_t kMaxSignature = 1024 * 1024;

struct ContainerHeader {
  std::uint32_t version = kVersion;
  std::int32_t total_openers = 0;
  std::int32_t min_openers = 0;
  std::uint64_t custom_length = 0;
  std::uint64_t payload_length = 0;
  std::uint64_t cert_length = 0;
};

using HeaderBytes = std::array<unsigned char, kHeaderSize>;

// Writes the magic and the fields of `header` into the 44-byte header form.
HeaderBytes EncodeHeader(const ContainerHeader& header);

// Reads a header from the first `size` bytes of a file (`bytes` holds
// min(size, kHeaderSize) of them). Returns kOk, kNotAContainer (shorter than
// the magic, or another magic), kUnsupportedVersion, or kTruncated (the magic
// is right but the header is cut short). Lengths are not checked here.
int DecodeHeader(const unsigned char* bytes, std::size_t size, ContainerHeader* header);

// Big-endian helpers.
std::uint32_t LoadBigEndian32(const unsigned char* p);
std::uint64_t LoadBigEndian64(const unsigned char* p);
void StoreBigEndian32(std::uint32_t value, unsigned char* p);
void StoreBigEndian64(std::uint64_t value, unsigned char* p);

}  // namespace brevalt::container

#endif  // BREVALT_PLATFORM_CONTAINER_CONTAINER_FORMAT_H
