// The container library's additions for callers outside it: its error texts,
// the bidder chain of a certificate and the description of an anchor folder,
// all through the C interface (tavik/tavik_secret_file.h), so that nothing
// outside the library includes its headers. No C++ exception leaves these
// functions.
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "tavik/anchors/pem_folder.h"
#include "tavik/secretfile/bidder_trust.h"
#include "tavik/secretfile/container_errors.h"
#include "tavik/tavik_secret_file.h"

namespace cnt = brevalt::container;

namespace {

// The status values of the C interface, in the order of cnt::ChainStatus.
int ChainStatusCode(cnt::ChainStatus status) {
  switch (status) {
    case cnt::ChainStatus::kVerified:
      return TAVIK_CHAIN_VERIFIED;
    case cnt::ChainStatus::kUnchecked:
      return TAVIK_CHAIN_UNCHECKED;
    case cnt::ChainStatus::kRefused:
      break;
  }
  return TAVIK_CHAIN_REFUSED;
}

}  // namespace

extern "C" {

const char* TavikSecretFileErrorText(int code) {
  return cnt::ErrorText(code);
}

int TavikSecretFileCheckBidderChain(const unsigned char* der, int length, int* status) {
  if (status == nullptr || length < 0 || (der == nullptr && length > 0)) {
    return cnt::kInvalidArgument;
  }
  try {
    const std::vector<unsigned char> bytes(der, der + length);
    *status = ChainStatusCode(cnt::CheckBidderChain(bytes).status);
  } catch (const std::bad_alloc&) {
    return cnt::kOutOfMemory;
  }
  return cnt::kOk;
}

const char* TavikSecretFileChainStatusName(int status) {
  switch (status) {
    case TAVIK_CHAIN_VERIFIED:
      return cnt::ChainStatusName(cnt::ChainStatus::kVerified);
    case TAVIK_CHAIN_UNCHECKED:
      return cnt::ChainStatusName(cnt::ChainStatus::kUnchecked);
    case TAVIK_CHAIN_REFUSED:
      return cnt::ChainStatusName(cnt::ChainStatus::kRefused);
    default:
      return "unknown";
  }
}

int TavikSecretFileDescribeAnchorFolder(const char* folder, char* buffer, int* length) {
  if (length == nullptr) {
    return cnt::kInvalidArgument;
  }
  try {
    const std::string text = brevalt::anchors::AnchorFilesText(
        brevalt::anchors::ReadPemFolder(folder == nullptr ? std::string() : folder));
    const int size = static_cast<int>(text.size());
    if (buffer != nullptr) {
      if (*length < size + 1) {
        return cnt::kBufferTooSmall;
      }
      std::memcpy(buffer, text.c_str(), text.size() + 1);
    }
    *length = size;
  } catch (const std::bad_alloc&) {
    return cnt::kOutOfMemory;
  }
  return cnt::kOk;
}

}  // extern "C"
