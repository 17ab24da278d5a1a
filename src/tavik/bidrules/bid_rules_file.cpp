// The rules-file library's C interface (tavik/tavik_bid_rules_file.h).
//
// Contract choices (docs/rules-service.md):
// - GetRules forgets any earlier rules file first, so a failed download never
//   leaves an old one to answer questions or comparisons.
// - A download that is not a bid environment document is still kept and
//   compared; only the questions about its content fail (kNotDocument).
// - One handle is used by one thread at a time; separate handles are
//   independent. Texts and URLs are bytes, never converted.
// No C++ exception leaves these functions.
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tavik/bidrules/rules_errors.h"
#include "tavik/bidrules/rules_file_document.h"
#include "tavik/bidrules/rules_http.h"
#include "tavik/guarded_call.h"
#include "tavik/tavik_bid_rules_file.h"

namespace rf = brevalt::rulesfile;

struct CTavikBidRulesFile {
  std::string url;
  long limit_ms = 0;  // 0: the library's own limits only
  bool downloaded = false;
  std::vector<unsigned char> rules;  // the downloaded rules file, as received
  rf::RulesFileDocument document;    // read from it at download
};

namespace {

// Runs `body`, turning an allocation failure into kOutOfMemory.
template <typename Body>
int Guarded(Body&& body) {
  return brevalt::GuardedCall(rf::kOutOfMemory, rf::kInvalidArgument, std::forward<Body>(body));
}

// The document of a handle's download, or null with *rc set.
const rf::RulesFileDocument* DocumentOf(const CTavikBidRulesFile* handle, int* rc) {
  if (handle == nullptr) {
    *rc = rf::kInvalidArgument;
    return nullptr;
  }
  if (!handle->downloaded) {
    *rc = rf::kNotDownloaded;
    return nullptr;
  }
  *rc = handle->document.valid ? rf::kOk : rf::kNotDocument;
  return handle->document.valid ? &handle->document : nullptr;
}

// The two-call protocol for a text: a null buffer asks for the length;
// otherwise *length is the buffer's capacity (the caller adds the terminator)
// and receives the number of bytes written.
int CopyText(const CTavikBidRulesFile* handle,
             std::optional<std::string> rf::RulesFileDocument::*field, char* buffer, int* length) {
  int rc = rf::kOk;
  const rf::RulesFileDocument* document = DocumentOf(handle, &rc);
  if (length == nullptr) {
    return rf::kInvalidArgument;
  }
  if (document == nullptr) {
    return rc;
  }
  const std::optional<std::string>& text = document->*field;
  if (!text) {
    return rf::kNoElement;
  }
  const int size = static_cast<int>(text->size());  // bounded by kMaxRulesFileBytes
  if (buffer != nullptr) {
    if (*length < size) {
      return rf::kBufferTooSmall;
    }
    std::memcpy(buffer, text->data(), text->size());
  }
  *length = size;
  return rf::kOk;
}

// The cert text of opener index, or null with *rc set.
const std::string* CertAt(const CTavikBidRulesFile* handle, int index, int* rc) {
  const rf::RulesFileDocument* document = DocumentOf(handle, rc);
  if (document == nullptr) {
    return nullptr;
  }
  if (index < 0 || static_cast<size_t>(index) >= document->certs.size()) {
    *rc = rf::kInvalidArgument;
    return nullptr;
  }
  const std::optional<std::string>& cert = document->certs[static_cast<size_t>(index)];
  *rc = cert ? rf::kOk : rf::kNoCertText;
  return cert ? &*cert : nullptr;
}

int Download(CTavikBidRulesFile* handle, std::string_view query) {
  handle->downloaded = false;
  handle->rules.clear();
  handle->document = {};
  if (handle->url.empty()) {
    return rf::kNoUrl;
  }
  std::vector<unsigned char> body;
  const int rc = rf::PostRulesQuery(handle->url, query, handle->limit_ms, &body);
  if (rc != rf::kOk) {
    return rc;
  }
  handle->document = rf::ReadRulesFileDocument(body);
  handle->rules = std::move(body);
  handle->downloaded = true;
  return rf::kOk;
}

}  // namespace

extern "C" {

int TavikBidRulesFileCreateHandle(CTavikBidRulesFile** handle) {
  if (handle == nullptr) {
    return rf::kInvalidArgument;
  }
  *handle = new (std::nothrow) CTavikBidRulesFile();
  return *handle != nullptr ? rf::kOk : rf::kOutOfMemory;
}

int TavikBidRulesFileSetTargetUrl(CTavikBidRulesFile* handle, const char* url) {
  if (handle == nullptr || url == nullptr) {
    return rf::kInvalidArgument;
  }
  return Guarded([&] {
    handle->url = url;
    return rf::kOk;
  });
}

int TavikBidRulesFileSetTimeout(CTavikBidRulesFile* handle, int milliseconds) {
  if (handle == nullptr || milliseconds <= 0) {
    return rf::kInvalidArgument;
  }
  handle->limit_ms = milliseconds;
  return rf::kOk;
}

int TavikBidRulesFileGetRules(CTavikBidRulesFile* handle, const char* query, int length) {
  if (handle == nullptr || query == nullptr || length <= 0) {
    return rf::kInvalidArgument;
  }
  return Guarded(
      [&] { return Download(handle, std::string_view(query, static_cast<size_t>(length))); });
}

int TavikBidRulesFileCompareFile(CTavikBidRulesFile* handle, const unsigned char* data,
                                 int length) {
  if (handle == nullptr || length < 0 || (data == nullptr && length > 0)) {
    return rf::kInvalidArgument;
  }
  if (!handle->downloaded) {
    return rf::kNotDownloaded;
  }
  const auto size = static_cast<size_t>(length);
  const bool same = size == handle->rules.size() &&
                    (size == 0 || std::memcmp(data, handle->rules.data(), size) == 0);
  return same ? rf::kOk : rf::kDifferent;
}

int TavikBidRulesFileGetOpenOrg(CTavikBidRulesFile* handle, char* buffer, int* length) {
  return CopyText(handle, &rf::RulesFileDocument::organization, buffer, length);
}

int TavikBidRulesFileGetOpenTime(CTavikBidRulesFile* handle, char* buffer, int* length) {
  return CopyText(handle, &rf::RulesFileDocument::open_time, buffer, length);
}

int TavikBidRulesFileGetCertCount(CTavikBidRulesFile* handle, int* count) {
  int rc = rf::kOk;
  const rf::RulesFileDocument* document = DocumentOf(handle, &rc);
  if (count == nullptr) {
    return rf::kInvalidArgument;
  }
  if (document != nullptr) {
    *count = static_cast<int>(document->certs.size());
  }
  return rc;
}

int TavikBidRulesFileGetCertLen(CTavikBidRulesFile* handle, int index, int* length) {
  int rc = rf::kOk;
  const std::string* cert = CertAt(handle, index, &rc);
  if (length == nullptr) {
    return rf::kInvalidArgument;
  }
  if (cert != nullptr) {
    *length = static_cast<int>(cert->size());
  }
  return rc;
}

int TavikBidRulesFileGetCert(CTavikBidRulesFile* handle, int index, unsigned char* buffer,
                             int* length) {
  int rc = rf::kOk;
  const std::string* cert = CertAt(handle, index, &rc);
  if (buffer == nullptr || length == nullptr) {
    return rf::kInvalidArgument;
  }
  if (cert != nullptr) {
    std::memcpy(buffer, cert->data(), cert->size());
    *length = static_cast<int>(cert->size());
  }
  return rc;
}

int TavikBidRulesFileReleaseHandle(CTavikBidRulesFile* handle) {
  delete handle;
  return rf::kOk;
}

const char* TavikBidRulesFileErrorText(int code) {
  return rf::ErrorText(code);
}

}  // extern "C"
