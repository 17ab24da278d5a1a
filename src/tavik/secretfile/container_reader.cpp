#include "tavik/secretfile/container_reader.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstring>

#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/file_input.h"
#include "tavik/secretfile/signature_form.h"

namespace brevalt::container {

namespace {

struct Layout {
  ContainerHeader header;
  HeaderBytes header_bytes{};
  std::uint64_t signed_length = 0;
  std::uint32_t signature_length = 0;
  bool sm3 = false;  // the signature names SM3: digest the signed bytes with it too
};

// Checks the header and that the declared blocks exactly fill `size` bytes.
// Reads only the header and the signature length field.
int ReadLayout(std::FILE* file, std::uint64_t size, Layout* layout) {
  const std::size_t head = static_cast<std::size_t>(std::min<std::uint64_t>(size, kHeaderSize));
  if (!ReadExactly(file, layout->header_bytes.data(), head)) {
    return kFileReadFailed;
  }
  if (int rc = DecodeHeader(layout->header_bytes.data(), head, &layout->header); rc != kOk) {
    return rc;
  }
  const ContainerHeader& h = layout->header;
  if (h.custom_length > kMaxCustomData || h.cert_length > kMaxCertificate) {
    return kLengthOutOfRange;
  }
  // Both small blocks are bounded above, so this sum cannot overflow; the
  // payload is compared against what is left instead of being added.
  const std::uint64_t fixed = kHeaderSize + h.custom_length + h.cert_length + kSignatureLengthSize;
  if (fixed > size || h.payload_length > size - fixed) {
    return kTruncated;
  }
  layout->signed_length = fixed - kSignatureLengthSize + h.payload_length;
  unsigned char field[kSignatureLengthSize];
  if (!SeekTo(file, layout->signed_length) || !ReadExactly(file, field, sizeof field)) {
    return kFileReadFailed;
  }
  layout->signature_length = LoadBigEndian32(field);
  if (layout->signature_length > kMaxSignature) {
    return kLengthOutOfRange;
  }
  const std::uint64_t left = size - layout->signed_length - kSignatureLengthSize;
  if (layout->signature_length > left) {
    return kTruncated;
  }
  if (layout->signature_length < left) {
    return kTrailingBytes;
  }
  unsigned char start[kDigestNamePeek];
  const std::size_t peek = std::min<std::size_t>(layout->signature_length, sizeof start);
  if (!ReadExactly(file, start, peek)) {
    return kFileReadFailed;
  }
  layout->sm3 = NamesSm3Digest(start, peek);
  return kOk;
}

// The digests of the signed bytes: SHA-256, and SM3 when asked for.
struct Digests {
  UniqueMdCtx sha256, sm3;
  bool Update(const unsigned char* data, std::size_t n) const {
    return EVP_DigestUpdate(sha256.get(), data, n) == 1 &&
           (!sm3 || EVP_DigestUpdate(sm3.get(), data, n) == 1);
  }
};

// Reads `count` bytes into `block` and adds them to the digest.
bool ReadBlock(std::FILE* file, std::uint64_t count, const Digests& md,
               std::vector<unsigned char>* block) {
  block->resize(static_cast<std::size_t>(count));
  return ReadExactly(file, block->data(), block->size()) && md.Update(block->data(), block->size());
}

// The single forward pass over a file whose layout was checked.
int ReadBlocks(std::FILE* file, const Layout& layout, ContainerContents* out) {
  Digests md{UniqueMdCtx(EVP_MD_CTX_new()), UniqueMdCtx(layout.sm3 ? EVP_MD_CTX_new() : nullptr)};
  if (!md.sha256 || EVP_DigestInit_ex(md.sha256.get(), EVP_sha256(), nullptr) != 1 ||
      (layout.sm3 && (!md.sm3 || EVP_DigestInit_ex(md.sm3.get(), EVP_sm3(), nullptr) != 1)) ||
      !md.Update(layout.header_bytes.data(), kHeaderSize)) {
    return kOutOfMemory;
  }
  std::vector<unsigned char> buffer(kIoBufferSize);
  const auto digest = [&md](const unsigned char* data, std::size_t n) {
    return md.Update(data, n);
  };
  const ContainerHeader& h = layout.header;
  if (!SeekTo(file, kHeaderSize) || !ReadBlock(file, h.custom_length, md, &out->custom_data) ||
      !StreamBytes(file, h.payload_length, buffer, digest) ||
      !ReadBlock(file, h.cert_length, md, &out->certificate)) {
    return kFileReadFailed;
  }
  // The signed bytes end here: their digest is finished on a copy, and the
  // original goes on over the rest of the file for the whole file's digest.
  UniqueMdCtx signed_md(EVP_MD_CTX_new());
  unsigned int digest_size = 0;
  if (!signed_md || EVP_MD_CTX_copy_ex(signed_md.get(), md.sha256.get()) != 1 ||
      EVP_DigestFinal_ex(signed_md.get(), out->signed_digest.data(), &digest_size) != 1 ||
      (md.sm3 &&
       EVP_DigestFinal_ex(md.sm3.get(), out->signed_sm3.emplace().data(), &digest_size) != 1)) {
    return kOutOfMemory;
  }
  unsigned char field[kSignatureLengthSize];
  out->signature.resize(layout.signature_length);
  if (!ReadExactly(file, field, sizeof field) ||
      LoadBigEndian32(field) != layout.signature_length ||
      !ReadExactly(file, out->signature.data(), out->signature.size())) {
    return kFileReadFailed;
  }
  if (EVP_DigestUpdate(md.sha256.get(), field, sizeof field) != 1 ||
      EVP_DigestUpdate(md.sha256.get(), out->signature.data(), out->signature.size()) != 1 ||
      EVP_DigestFinal_ex(md.sha256.get(), out->file_digest.data(), &digest_size) != 1) {
    return kOutOfMemory;
  }
  return kOk;
}

}  // namespace

int CheckReadable(const std::string& path) {
  std::uint64_t size = 0;
  return OpenRegularFile(path, &size) ? kOk : kFileOpenFailed;
}

int ReadContainer(const std::string& path, ContainerContents* out) {
  std::uint64_t size = 0;
  UniqueFile file = OpenRegularFile(path, &size);
  if (!file) {
    return kFileOpenFailed;
  }
  Layout layout;
  if (int rc = ReadLayout(file.get(), size, &layout); rc != kOk) {
    return rc;
  }
  out->header = layout.header;
  out->signed_length = layout.signed_length;
  return ReadBlocks(file.get(), layout, out);
}

}  // namespace brevalt::container
