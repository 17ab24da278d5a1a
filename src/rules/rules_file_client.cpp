#include "rules/rules_file_client.h"

#include <cstring>
#include <new>
#include <optional>

#include "config/settings.h"
#include "config/text_convert.h"
#include "platform/plain_text.h"

namespace brevalt {
namespace {

// A zeroed buffer of length bytes; false when the memory cannot be had.
bool AllocateZeroed(std::vector<unsigned char>& buffer, size_t length) {
  try {
    buffer.assign(length, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// The service address of the settings, in the ANSI code page.
std::string ServiceAddress() {
  return WideToAnsi(ReadBidRuleFileUrl());
}

}  // namespace

CRulesFileClient::CRulesFileClient() {
  CTavikBidRulesFile* handle = nullptr;
  TavikBidRulesFileCreateHandle(&handle);  // a null handle fails every later use
  m_hRulesFile.reset(handle);
}

CRulesFileClient::~CRulesFileClient() {
  m_hRulesFile.reset();
  ClearOpenerCerts();
}

int CRulesFileClient::PrepareQuery(const std::u16string& project_number) {
  int rc = kRulesNoHandle;
  if (m_hRulesFile)
    rc = TavikBidRulesFileSetTargetUrl(m_hRulesFile.get(), ServiceAddress().c_str());
  m_strQuery = WideToAnsi(u"projectid=" + project_number);
  return rc;
}

int CRulesFileClient::SendQuery(const char* query, int length) {
  if (query == nullptr || length <= 0 || !m_hRulesFile)
    return kRulesNotSent;
  TavikBidRulesFileSetTargetUrl(m_hRulesFile.get(), ServiceAddress().c_str());
  return TavikBidRulesFileGetRules(m_hRulesFile.get(), query, length);
}

int CRulesFileClient::LoadOpenerCerts() {
  if (!m_hRulesFile)
    return 0;
  int count = 0;
  if (TavikBidRulesFileGetCertCount(m_hRulesFile.get(), &count) != 0)
    return kRulesCertsFailed;
  if (count <= 0)
    return 0;
  ClearOpenerCerts();
  int out_length = 0;  // written by the library only; it carries no capacity
  for (int i = 0; i < count; ++i) {
    const int rc = LoadOpenerCert(i, &out_length);
    if (rc != 0 || m_arrOpenerCerts.size() != static_cast<size_t>(i) + 1) {
      ClearOpenerCerts();
      return rc;
    }
  }
  return 0;
}

// Appends certificate `index`. Returns 0 with nothing appended when its length
// is 0 or below or its buffer cannot be had (the caller then stops with an
// empty array and 0), -1 when the PKI library refuses it, else the library's
// code.
int CRulesFileClient::LoadOpenerCert(int index, int* out_length) {
  int length = 0;
  const int rc = TavikBidRulesFileGetCertLen(m_hRulesFile.get(), index, &length);
  if (rc != 0 || length <= 0)
    return rc;
  std::vector<unsigned char> buffer;
  if (!AllocateZeroed(buffer, static_cast<size_t>(length)))
    return 0;
  const int fill = TavikBidRulesFileGetCert(m_hRulesFile.get(), index, buffer.data(), out_length);
  if (fill != 0)
    return fill;
  UniqueCert cert(TavikPKICertNewCert(buffer.data(), length));
  if (!cert)
    return kRulesCertsFailed;
  m_arrOpenerCerts.push_back(std::move(cert));
  return 0;
}

std::u16string CRulesFileClient::GetOpenOrg() const {
  if (!m_hRulesFile)
    return {};
  int length = 0;
  if (TavikBidRulesFileGetOpenOrg(m_hRulesFile.get(), nullptr, &length) != 0 || length < 0)
    return {};
  std::vector<unsigned char> buffer;
  if (!AllocateZeroed(buffer, static_cast<size_t>(length) + 1))
    return {};
  char* text = reinterpret_cast<char*>(buffer.data());
  if (TavikBidRulesFileGetOpenOrg(m_hRulesFile.get(), text, &length) != 0)
    return {};
  // Up to the first NUL, and never past the buffer whatever the library wrote;
  // shown and logged, so without control characters.
  return PlainText(AnsiToWide(std::string_view(text, strnlen(text, buffer.size()))));
}

}  // namespace brevalt
