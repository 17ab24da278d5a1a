// Reading the open time of the downloaded rules file.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "config/text_convert.h"
#include "rules/open_time.h"

namespace brevalt {
namespace {

constexpr int kNoOpenTime = -1;

// The open-time text of the download (ANSI code page bytes) into *text; 0, or
// -1 without a handle or with an empty text, or the library's nonzero result.
int FetchOpenTime(const CRulesFileClient& client, std::string* text) {
  CTavikBidRulesFile* handle = client.m_hRulesFile.get();
  if (handle == nullptr)
    return kNoOpenTime;
  int length = 0;
  int rc = TavikBidRulesFileGetOpenTime(handle, nullptr, &length);
  if (rc != 0)
    return rc;
  if (length <= 0)
    return kNoOpenTime;
  std::vector<char> buffer;
  try {
    buffer.assign(static_cast<size_t>(length) + 1, '\0');
  } catch (const std::bad_alloc&) {
    return kNoOpenTime;
  }
  rc = TavikBidRulesFileGetOpenTime(handle, buffer.data(), &length);
  if (rc != 0)
    return rc;
  // The text ends after the length given back, and never past the buffer.
  const size_t end = std::min(static_cast<size_t>(std::max(length, 0)), buffer.size() - 1);
  text->assign(buffer.data(), strnlen(buffer.data(), end));
  return 0;
}

}  // namespace

int ReadOpenTimeNumeric(const CRulesFileClient& client, int64_t* time) {
  std::string text;
  const int rc = FetchOpenTime(client, &text);
  if (rc != 0)
    return rc;
  return ParseNumericTime(text, time) ? 0 : kNoOpenTime;
}

int ReadOpenTimeNormalized(const CRulesFileClient& client, int64_t* time) {
  std::string text;
  const int rc = FetchOpenTime(client, &text);
  if (rc != 0)
    return rc;
  const std::u16string normal = NormalizeOpenTime(AnsiToWide(text));
  if (normal.empty())
    return kNoOpenTime;
  const std::string ansi = WideToAnsi(normal);
  if (ansi.empty() || !ParseNumericTime(ansi, time))
    return kNoOpenTime;
  return 0;
}

}  // namespace brevalt
