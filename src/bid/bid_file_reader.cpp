#include "bid/bid_file_reader.h"

#include <cstring>
#include <new>
#include <string_view>

#include "config/text_convert.h"
#include "platform/plain_text.h"

namespace brevalt {
namespace {

// A zeroed buffer of length bytes; false when length is negative or the
// memory cannot be had.
bool AllocateZeroed(std::vector<unsigned char>& buffer, int length) {
  if (length < 0)
    return false;
  try {
    buffer.assign(static_cast<size_t>(length), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// A certificate string attribute as UTF-16; empty when absent.
std::u16string CertText(TAVIK_CERT_st* cert, int attribute) {
  char* raw = nullptr;
  if (TavikPKICertGetCertStringAttribute(cert, attribute, &raw) != 1)
    return {};
  UniqueLibBuffer<char> text(raw);
  return Utf8ToWide(text.get());
}

}  // namespace

CBidFileReader::~CBidFileReader() {
  m_pCustomData.clear();
  m_pSignerCert.reset();
  ClearOpenerCerts();
  Close();
}

int CBidFileReader::Open() {
  Close();
  if (m_strBidPath.empty() || m_strFolder.empty())
    return kReaderNoInput;
  CTavikFileDecryptor* handle = nullptr;
  int rc = TavikSecretFileDecryptorCreateHandle(&handle, WideToUtf8(m_strBidPath).c_str());
  m_hDecryptor.reset(handle);  // a handle handed out despite a failure is still ours
  if (rc != 0)
    return rc;
  return TavikSecretFileDecryptorSetFolder(m_hDecryptor.get(), WideToUtf8(m_strFolder).c_str());
}

int CBidFileReader::Close() {
  m_hDecryptor.reset();
  return 0;
}

int CBidFileReader::VerifyAndRead() {
  if (!m_hDecryptor)
    return kReaderNoInput;
  m_FileDigest.clear();
  int rc = TavikSecretFileDecryptorVerify(m_hDecryptor.get());
  if (rc != 0)
    return rc;
  ReadFileDigest();
  rc = ReadSignerCert();
  if (rc != 0)
    return rc;
  ReadBidderNames();
  rc = ReadCustomData();
  if (rc != 0)
    return rc;
  return ExtractRulesFile();
}

// A digest the library cannot give stays empty, which no code matches.
void CBidFileReader::ReadFileDigest() {
  int length = 0;
  if (TavikSecretFileDecryptorGetFileDigest(m_hDecryptor.get(), nullptr, &length) != 0 ||
      !AllocateZeroed(m_FileDigest, length) ||
      TavikSecretFileDecryptorGetFileDigest(m_hDecryptor.get(), m_FileDigest.data(), &length) !=
          0 ||
      length < 0 || static_cast<size_t>(length) != m_FileDigest.size())
    m_FileDigest.clear();
}

int CBidFileReader::ReadSignerCert() {
  int length = 0;
  if (TavikSecretFileDecryptorGetSignCert(m_hDecryptor.get(), nullptr, &length) != 0) {
    return kReaderSignerCert;
  }
  std::vector<unsigned char> buffer;
  if (!AllocateZeroed(buffer, length))
    return kReaderNoMemory;
  if (TavikSecretFileDecryptorGetSignCert(m_hDecryptor.get(), buffer.data(), &length) != 0) {
    return kReaderSignerCert;
  }
  // The second call may report fewer bytes than the first; never more.
  if (length < 0 || static_cast<size_t>(length) > buffer.size())
    return kReaderSignerCert;
  m_pSignerCert.reset(TavikPKICertNewCert(buffer.data(), length));
  return m_pSignerCert ? 0 : kReaderSignerCert;
}

// The names are shown and logged: a line break in a certificate's name must
// not start a line of the report.
void CBidFileReader::ReadBidderNames() {
  m_strBidderName = PlainText(CertText(m_pSignerCert.get(), TAVIK_CERT_ATTR_SUBJECT_NAME));
  m_strBidderUnit = PlainText(CertText(m_pSignerCert.get(), TAVIK_CERT_ATTR_SUBJECT_ORG));
  if (m_strBidderName.empty())
    m_strBidderName = m_strBidderUnit;
}

int CBidFileReader::ReadCustomData() {
  int length = 0;
  int rc = TavikSecretFileDecryptorGetCustomData(m_hDecryptor.get(), nullptr, &length);
  if (rc != 0)
    return rc;
  std::vector<unsigned char> buffer;
  if (!AllocateZeroed(buffer, length))
    return kReaderSignerCert;
  rc = TavikSecretFileDecryptorGetCustomData(m_hDecryptor.get(), buffer.data(), &length);
  if (rc != 0)
    return rc;
  // Only the bytes the library wrote count, and never more than were asked for.
  if (length >= 0 && static_cast<size_t>(length) < buffer.size())
    buffer.resize(length);
  m_pCustomData = std::move(buffer);
  m_nCustomDataLen = static_cast<int32_t>(m_pCustomData.size());
  m_pRulesData = nullptr;
  return 0;
}

int CBidFileReader::ExtractRulesFile() {
  const size_t size = m_pCustomData.size();
  if (size < static_cast<size_t>(kRulesHeaderSize))
    return 0;
  if (std::memcmp(m_pCustomData.data(), kRulesMagic, sizeof kRulesMagic) != 0)
    return 0;
  const unsigned char* p = m_pCustomData.data() + 4;
  m_nRulesDataLen = (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
  if (m_nRulesDataLen > size - kRulesHeaderSize)
    return kReaderRulesLength;
  m_pRulesData = m_pCustomData.data() + kRulesHeaderSize;
  // The text runs to the first NUL or the end of the block, whatever the header says.
  m_strRulesText = AnsiToWide(
      std::string_view(reinterpret_cast<const char*>(m_pRulesData), size - kRulesHeaderSize));
  return 0;
}

}  // namespace brevalt
