#include "tavik/secretfile/container_format.h"

#include <algorithm>

#include "tavik/secretfile/container_errors.h"

namespace brevalt::container {

namespace {
constexpr std::size_t kVersionOffset = 8;
constexpr std::size_t kTotalOffset = 12;
constexpr std::size_t kMinOffset = 16;
constexpr std::size_t kCustomOffset = 20;
constexpr std::size_t kPayloadOffset = 28;
constexpr std::size_t kCertOffset = 36;
}  // namespace

std::uint32_t LoadBigEndian32(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

std::uint64_t LoadBigEndian64(const unsigned char* p) {
  return (std::uint64_t{LoadBigEndian32(p)} << 32) | LoadBigEndian32(p + 4);
}

void StoreBigEndian32(std::uint32_t value, unsigned char* p) {
  for (int i = 3; i >= 0; --i) {
    p[i] = static_cast<unsigned char>(value & 0xFF);
    value >>= 8;
  }
}

void StoreBigEndian64(std::uint64_t value, unsigned char* p) {
  StoreBigEndian32(static_cast<std::uint32_t>(value >> 32), p);
  StoreBigEndian32(static_cast<std::uint32_t>(value), p + 4);
}

HeaderBytes EncodeHeader(const ContainerHeader& header) {
  HeaderBytes bytes{};
  std::copy(kMagic.begin(), kMagic.end(), bytes.begin());
  StoreBigEndian32(header.version, bytes.data() + kVersionOffset);
  StoreBigEndian32(static_cast<std::uint32_t>(header.total_openers), bytes.data() + kTotalOffset);
  StoreBigEndian32(static_cast<std::uint32_t>(header.min_openers), bytes.data() + kMinOffset);
  StoreBigEndian64(header.custom_length, bytes.data() + kCustomOffset);
  StoreBigEndian64(header.payload_length, bytes.data() + kPayloadOffset);
  StoreBigEndian64(header.cert_length, bytes.data() + kCertOffset);
  return bytes;
}

int DecodeHeader(const unsigned char* bytes, std::size_t size, ContainerHeader* header) {
  if (size < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), bytes)) {
    return kNotAContainer;
  }
  if (size < kTotalOffset) {
    return kTruncated;
  }
  header->version = LoadBigEndian32(bytes + kVersionOffset);
  if (header->version != kVersion) {
    return kUnsupportedVersion;
  }
  if (size < kHeaderSize) {
    return kTruncated;
  }
  header->total_openers = static_cast<std::int32_t>(LoadBigEndian32(bytes + kTotalOffset));
  header->min_openers = static_cast<std::int32_t>(LoadBigEndian32(bytes + kMinOffset));
  header->custom_length = LoadBigEndian64(bytes + kCustomOffset);
  header->payload_length = LoadBigEndian64(bytes + kPayloadOffset);
  header->cert_length = LoadBigEndian64(bytes + kCertOffset);
  return kOk;
}

}  // namespace brevalt::container
