// The system's view of the rules service, through the rules-file library: the
// service address from the settings, the download query for a project, the
// opener certificates and the opening organisation of the downloaded rules
// file, and the query that names the bidder after a verification.
//
// One client lives for one check (or one bidder query) on the verification
// worker and is never shared. Calling order in the check with rules file:
// construct, PrepareQuery, TavikBidRulesFileGetRules(m_hRulesFile, m_strQuery)
// by the caller, LoadOpenerCerts, TavikBidRulesFileCompareFile by the caller,
// the open time (rules/open_time.h), GetOpenOrg, destroy. Every query reads
// the service address afresh from Setting.ini.
#ifndef BREVALT_RULES_RULES_FILE_CLIENT_H
#define BREVALT_RULES_RULES_FILE_CLIENT_H

#include <chrono>
#include <string>
#include <vector>

#include "tavik/tavik_handles.h"

namespace brevalt {

// Results of the client besides 0 and the library's own codes.
enum RulesClientCode : int {
  kRulesNoHandle = -1,     // PrepareQuery: no library handle (the query is still built)
  kRulesCertsFailed = -1,  // LoadOpenerCerts: count not read, or a certificate refused
  kRulesNotSent = 1,       // SendQuery: null bytes, zero length or no handle
};

class CRulesFileClient {
 public:
  // Creates the library handle; m_hRulesFile stays null when that fails.
  CRulesFileClient();
  // Releases the handle, then the opener certificates.
  ~CRulesFileClient();
  CRulesFileClient(const CRulesFileClient&) = delete;
  CRulesFileClient& operator=(const CRulesFileClient&) = delete;

  // Points the library at the service address of the settings and builds
  // m_strQuery: "projectid=" and the project number, in the ANSI code page,
  // whatever the address gave. Returns the library's result for the address,
  // -1 without a handle.
  int PrepareQuery(const std::u16string& project_number);
  // Points the library at the service address (its result ignored) and sends
  // length bytes of query. 1 without sending when query is null, length is
  // 0 or below, or there is no handle; else the library's download result.
  int SendQuery(const char* query, int length);
  // Replaces m_arrOpenerCerts with the downloaded file's opener certificates,
  // in the library's index order. 0 on success, and also without a handle or
  // with a count of 0 or below (array untouched) or a certificate length of 0
  // or below (array emptied); -1 when the count cannot be read (array
  // untouched) or a certificate is refused; a library code unchanged. The
  // array is empty after every failure but the count's.
  int LoadOpenerCerts();
  // The downloaded file's opening organisation, control characters
  // replaced (PlainText); empty when unavailable.
  std::u16string GetOpenOrg() const;
  void ClearOpenerCerts() { m_arrOpenerCerts.clear(); }

  // Read directly by the check and the open-time readers.
  std::string m_strQuery;        // ANSI code page bytes, no terminator counted
  UniqueRulesFile m_hRulesFile;  // null when the library gave none
  std::vector<UniqueCert> m_arrOpenerCerts;

 private:
  int LoadOpenerCert(int index, int* out_length);
};

// The bidder query, sent after a verification on a client of its own:
// "projectid=" + project number + "&cert=" + the bidder certificate's base64
// text (encode form 2; nothing when the library cannot encode it). Returns 1
// when the service answered 0, 2 when it answered 26 (no rules file for this
// query), 0 for any other answer and when nothing could be sent, including a
// query that would not fit 2048 bytes with its terminator (never cut: a cut
// certificate is worthless to the service). Without a certificate: 1, and no
// request at all. The exchange ends within kBidderQueryWait. Nobody relies on
// the result.
int QueryRulesWithBidderCert(const std::u16string& project_number, TAVIK_CERT_st* bidder_cert);

// The longest bidder query that is sent, terminator included.
inline constexpr std::size_t kBidderQueryCapacity = 2048;
// The bidder query's whole exchange, connecting included, ends within this
// (a download of the rules file has 30 s): its answer is not used.
inline constexpr std::chrono::milliseconds kBidderQueryWait{5'000};

}  // namespace brevalt

#endif  // BREVALT_RULES_RULES_FILE_CLIENT_H
