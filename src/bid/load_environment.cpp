// CBidFileReader::LoadEnvironment: from the embedded rules text to the
// reader's project and opener fields.
#include "bid/bid_env_document.h"
#include "bid/bid_file_reader.h"
#include "config/text_convert.h"
#include "platform/plain_text.h"

namespace brevalt {

int CBidFileReader::LoadEnvironment() {
  if (m_strRulesText.empty())
    return kEnvNoDocument;
  CBidEnvDocument document;
  document.SetText(m_strRulesText);
  int rc = document.Parse();
  if (rc != 0)
    return rc;
  // Shown and logged as they are, so without control characters.
  m_strTenderOrg = PlainText(AnsiToWide(document.m_strOrganization));
  m_strOpenTime = PlainText(AnsiToWide(document.m_strOpenTime));
  m_strProjectName = PlainText(AnsiToWide(document.m_strProjectName));
  m_nTotalOpeners = document.m_pOpenerRule->nTotal;
  m_nMinOpeners = document.m_pOpenerRule->nMin;
  ClearOpenerCerts();
  // Every opener's certificate is built, whether or not the opener takes part.
  for (const OPENER_ENTRY& entry : document.m_pOpenerRule->entries) {
    if (entry.pCert.empty())
      return kEnvNullCert;
    UniqueCert cert(TavikPKICertNewCert(reinterpret_cast<const unsigned char*>(entry.pCert.data()),
                                        static_cast<int>(entry.pCert.size())));
    if (!cert)
      return kEnvBadCert;
    m_arrOpenerCerts.push_back(std::move(cert));
  }
  return 0;
}

}  // namespace brevalt
