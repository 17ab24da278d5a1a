// The container library's C interface (tavik/tavik_secret_file.h).
//
// Contract choices (docs/container.md):
// - CreateHandle fails with kFileOpenFailed when the file cannot be opened for
//   reading or is not a regular file (checked without blocking, so a FIFO
//   fails at once); the file is closed again at once.
// - Verify opens the file read-only, reads it once and closes it before
//   returning; the handle never keeps the file open.
// - Verify also digests the whole file from the same reads (GetFileDigest), so
//   a caller can bind what it shows to exactly the bytes that were verified.
// - GetSignCert, GetCustomData, GetFileDigest, GetTotalNum and GetMinNum answer kNotVerified
//   until a Verify has succeeded; a failed Verify clears earlier results.
// - The working folder is stored only; nothing is written anywhere.
// - When the user keeps bidder trust anchors, Verify also requires the signer
//   certificate to chain to one of them (kSignerNotTrusted, bidder_trust.h).
// No C++ exception leaves these functions.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tavik/guarded_call.h"
#include "tavik/secretfile/bidder_trust.h"
#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/container_reader.h"
#include "tavik/secretfile/container_signature.h"
#include "tavik/tavik_secret_file.h"

namespace cnt = brevalt::container;

struct CTavikFileDecryptor {
  std::string path;
  std::string folder;
  bool verified = false;
  std::int32_t total_openers = 0;
  std::int32_t min_openers = 0;
  std::vector<unsigned char> custom_data;
  std::vector<unsigned char> certificate;
  std::vector<unsigned char> file_digest;
};

namespace {

// Runs `body`, turning an allocation failure into kOutOfMemory.
template <typename Body>
int Guarded(Body&& body) {
  return brevalt::GuardedCall(cnt::kOutOfMemory, cnt::kInvalidArgument, std::forward<Body>(body));
}

// The two-call protocol: a null buffer asks for the length; otherwise
// *length is the buffer's capacity and receives the bytes written.
int CopyOut(const std::vector<unsigned char>& bytes, unsigned char* buffer, int* length) {
  if (length == nullptr) {
    return cnt::kInvalidArgument;
  }
  const int size = static_cast<int>(bytes.size());  // bounded by the format's limits
  if (buffer != nullptr) {
    if (*length < size) {
      return cnt::kBufferTooSmall;
    }
    if (size > 0) {
      std::memcpy(buffer, bytes.data(), bytes.size());
    }
  }
  *length = size;
  return cnt::kOk;
}

int VerifyHandle(CTavikFileDecryptor* handle) {
  cnt::ContainerContents contents;
  int rc = cnt::ReadContainer(handle->path, &contents);
  // Parsed once for both checks: decoding a certificate's key is costly.
  cnt::UniqueX509 cert;
  if (rc == cnt::kOk) {
    cert = cnt::ParseCertificate(contents.certificate);
    rc = cnt::CheckSignature(contents, cert.get());
  }
  if (rc == cnt::kOk && cnt::CheckBidderChain(cert.get(), cnt::BidderTrustFolder()).status ==
                            cnt::ChainStatus::kRefused) {
    rc = cnt::kSignerNotTrusted;
  }
  if (rc != cnt::kOk) {
    return rc;
  }
  handle->total_openers = contents.header.total_openers;
  handle->min_openers = contents.header.min_openers;
  handle->custom_data = std::move(contents.custom_data);
  handle->certificate = std::move(contents.certificate);
  handle->file_digest.assign(contents.file_digest.begin(), contents.file_digest.end());
  handle->verified = true;
  return cnt::kOk;
}

}  // namespace

extern "C" {

int TavikSecretFileDecryptorCreateHandle(CTavikFileDecryptor** handle, const char* path) {
  if (handle == nullptr) {
    return cnt::kInvalidArgument;
  }
  *handle = nullptr;
  if (path == nullptr || *path == '\0') {
    return cnt::kInvalidArgument;
  }
  return Guarded([&] {
    if (int rc = cnt::CheckReadable(path); rc != cnt::kOk) {
      return rc;
    }
    auto* created = new (std::nothrow) CTavikFileDecryptor;
    if (created == nullptr) {
      return cnt::kOutOfMemory;
    }
    created->path = path;
    *handle = created;
    return cnt::kOk;
  });
}

int TavikSecretFileDecryptorSetFolder(CTavikFileDecryptor* handle, const char* folder) {
  if (handle == nullptr || folder == nullptr) {
    return cnt::kInvalidArgument;
  }
  return Guarded([&] {
    handle->folder = folder;
    return cnt::kOk;
  });
}

int TavikSecretFileDecryptorVerify(CTavikFileDecryptor* handle) {
  if (handle == nullptr) {
    return cnt::kInvalidArgument;
  }
  handle->verified = false;
  handle->custom_data.clear();
  handle->certificate.clear();
  handle->file_digest.clear();
  handle->total_openers = handle->min_openers = 0;
  return Guarded([&] { return VerifyHandle(handle); });
}

int TavikSecretFileDecryptorGetSignCert(CTavikFileDecryptor* handle, unsigned char* buffer,
                                        int* length) {
  if (handle == nullptr) {
    return cnt::kInvalidArgument;
  }
  return handle->verified ? CopyOut(handle->certificate, buffer, length) : cnt::kNotVerified;
}

int TavikSecretFileDecryptorGetCustomData(CTavikFileDecryptor* handle, unsigned char* buffer,
                                          int* length) {
  if (handle == nullptr) {
    return cnt::kInvalidArgument;
  }
  return handle->verified ? CopyOut(handle->custom_data, buffer, length) : cnt::kNotVerified;
}

int TavikSecretFileDecryptorGetFileDigest(CTavikFileDecryptor* handle, unsigned char* buffer,
                                          int* length) {
  if (handle == nullptr) {
    return cnt::kInvalidArgument;
  }
  return handle->verified ? CopyOut(handle->file_digest, buffer, length) : cnt::kNotVerified;
}

int TavikSecretFileDecryptorGetTotalNum(CTavikFileDecryptor* handle, int* count) {
  if (handle == nullptr || count == nullptr) {
    return cnt::kInvalidArgument;
  }
  if (!handle->verified) {
    return cnt::kNotVerified;
  }
  *count = handle->total_openers;
  return cnt::kOk;
}

int TavikSecretFileDecryptorGetMinNum(CTavikFileDecryptor* handle, int* count) {
  if (handle == nullptr || count == nullptr) {
    return cnt::kInvalidArgument;
  }
  if (!handle->verified) {
    return cnt::kNotVerified;
  }
  *count = handle->min_openers;
  return cnt::kOk;
}

int TavikSecretFileDecryptorReleaseHandle(CTavikFileDecryptor* handle) {
  delete handle;  // C boundary: the handle was made by CreateHandle
  return cnt::kOk;
}

}  // extern "C"
