// The system's view of one sealed bid file, read through the container
// library: the bidder's signing certificate, its two display texts, and the
// custom data that carries the embedded rules file (the bid environment
// document).
//
// One reader lives for one check on the verification worker and is never
// shared. Calling order: SetBidPath, SetFolder, Open, VerifyAndRead, (the
// caller may ask the container for its opener counts through m_hDecryptor),
// Close, LoadEnvironment, accessors. Destruction releases everything held.
#ifndef BREVALT_BID_BID_FILE_READER_H
#define BREVALT_BID_BID_FILE_READER_H

#include <cstdint>
#include <string>
#include <vector>

#include "tavik/tavik_handles.h"

namespace brevalt {

// Results of Open and VerifyAndRead besides 0 and the library's own codes.
enum BidReaderCode : int {
  kReaderNoInput = -1,      // Open: empty path or folder; VerifyAndRead: not open
  kReaderSignerCert = -2,   // the signing certificate cannot be read or built
  kReaderNoMemory = -3,     // the certificate buffer cannot be allocated
  kReaderRulesLength = -4,  // the rules header's length exceeds the bytes after it
};

// Magic of the custom-data header that marks an embedded rules file.
inline constexpr unsigned char kRulesMagic[4] = {'R', 'U', 'L', 'F'};
inline constexpr int kRulesHeaderSize = 8;

class CBidFileReader {
 public:
  CBidFileReader() = default;
  ~CBidFileReader();
  CBidFileReader(const CBidFileReader&) = delete;
  CBidFileReader& operator=(const CBidFileReader&) = delete;

  void SetBidPath(const std::u16string& path) { m_strBidPath = path; }
  void SetFolder(const std::u16string& folder) { m_strFolder = folder; }

  // Creates the container handle (releasing an earlier one first) and hands
  // it the folder. 0 on success, -1 when path or folder is empty (the library
  // is not called), else the library's code. A handle created before a
  // failing SetFolder stays held until Close.
  int Open();
  // Verifies the container, then reads the digest of the bytes it verified
  // (left empty when the library gives none), the signing certificate, its
  // names and the custom data. 0 on success (a block without a rules file is success),
  // else -1..-4 above or the library's code unchanged. What was read before a
  // failure stays in the reader.
  int VerifyAndRead();
  // Releases the container handle if one is held. Always 0.
  int Close();
  // Reads the embedded environment document into the project and opener
  // fields. 0 on success; 1 without a document; the parser's code; 100 when
  // an opener certificate is not accepted, 101 when one is empty.
  int LoadEnvironment();
  void ClearOpenerCerts() { m_arrOpenerCerts.clear(); }

  std::u16string GetBidderName() const { return m_strBidderName; }
  std::u16string GetBidderUnit() const { return m_strBidderUnit; }
  std::u16string GetTenderOrg() const { return m_strTenderOrg; }
  std::u16string GetOpenTime() const { return m_strOpenTime; }
  std::u16string GetProjectName() const { return m_strProjectName; }

  // Read directly by the checks.
  std::u16string m_strBidPath;
  std::u16string m_strFolder;
  std::u16string m_strBidderUnit;
  std::u16string m_strBidderName;
  std::u16string m_strTenderOrg;
  std::u16string m_strOpenTime;
  std::vector<unsigned char> m_pCustomData;  // the custom data exactly as returned
  int32_t m_nCustomDataLen = 0;
  const unsigned char* m_pRulesData = nullptr;  // into m_pCustomData; null without rules
  uint32_t m_nRulesDataLen = 0;                 // from the header; 0 without rules
  std::u16string m_strRulesText;                // the rules file decoded as ANSI text
  std::vector<unsigned char> m_FileDigest;      // the verified bytes' digest; empty if not given
  std::u16string m_strProjectName;
  int32_t m_nTotalOpeners = 0;
  int32_t m_nMinOpeners = 0;
  UniqueDecryptor m_hDecryptor;  // the open container; null when closed
  UniqueCert m_pSignerCert;
  std::vector<UniqueCert> m_arrOpenerCerts;  // in document order

 private:
  void ReadFileDigest();
  int ReadSignerCert();
  void ReadBidderNames();
  int ReadCustomData();
  int ExtractRulesFile();
};

}  // namespace brevalt

#endif  // BREVALT_BID_BID_FILE_READER_H
