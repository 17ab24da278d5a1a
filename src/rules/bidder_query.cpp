// QueryRulesWithBidderCert: tells the rules service which bidder verified a
// bid of the project. Its outcome does not affect the verification.
#include <cstring>

#include "config/text_convert.h"
#include "rules/rules_file_client.h"

namespace brevalt {
namespace {

constexpr int kEncodeBase64 = 2;  // form 2 of TavikPKICertGetCertEncode

// The query bytes: the ANSI text, then the certificate's encoding byte for
// byte (nothing after "&cert=" when the certificate cannot be encoded).
std::string BuildBidderQuery(const std::u16string& project_number, TAVIK_CERT_st* cert) {
  std::string query = WideToAnsi(u"projectid=" + project_number + u"&cert=");
  unsigned char* encoded = nullptr;
  int length = 0;
  if (TavikPKICertGetCertEncode(cert, kEncodeBase64, &encoded, &length) == 1) {
    UniqueLibBuffer<unsigned char> owner(encoded);
    if (encoded != nullptr && length > 0)
      query.append(reinterpret_cast<const char*>(encoded), static_cast<size_t>(length));
  }
  return query;
}

}  // namespace

int QueryRulesWithBidderCert(const std::u16string& project_number, TAVIK_CERT_st* bidder_cert) {
  if (bidder_cert == nullptr)
    return 1;
  const std::string query = BuildBidderQuery(project_number, bidder_cert);
  if (query.size() + 1 > kBidderQueryCapacity)
    return 0;  // not sent: the service could do nothing with a cut certificate
  // The query ends at its first NUL, as a zero-terminated text would.
  const size_t length = strnlen(query.c_str(), query.size());
  CRulesFileClient client;
  // Nobody waits for the answer, so a silent service must not hold up the
  // run's end; when the limit cannot be set the library's own still holds.
  if (client.m_hRulesFile) {
    TavikBidRulesFileSetTimeout(client.m_hRulesFile.get(),
                                static_cast<int>(kBidderQueryWait.count()));
  }
  const int rc = client.SendQuery(query.c_str(), static_cast<int>(length));
  if (rc == 0)
    return 1;
  // 26: the service has no rules file for this query.
  return rc == TAVIK_RULES_ERR_SPECIAL ? 2 : 0;
}

}  // namespace brevalt
