#include "cli/bidder_chain.h"

#include <openssl/evp.h>

#include <vector>

#include "config/text_convert.h"
#include "record/message_catalogue.h"
#include "tavik/secretfile/bidder_trust.h"
#include "tavik/secretfile/container_errors.h"
#include "tavik/tavik_handles.h"

namespace brevalt::cli {
namespace {

// The DER bytes of a certificate; empty when the library gives none.
std::vector<unsigned char> CertificateDer(TAVIK_CERT_st* cert) {
  unsigned char* raw = nullptr;
  int length = 0;
  if (TavikPKICertGetCertEncode(cert, TAVIK_CERT_ENCODE_BASE64, &raw, &length) != 1)
    return {};
  UniqueLibBuffer<unsigned char> base64(raw);
  if (!base64 || length <= 0)
    return {};
  std::vector<unsigned char> der(static_cast<std::size_t>(length) / 4 * 3 + 3);
  int size = EVP_DecodeBlock(der.data(), base64.get(), length);
  // The decoder writes a zero byte for each "=" of padding; the DER ends before them.
  for (int i = length - 1; i >= 0 && base64.get()[i] == '=' && size > 0; --i)
    --size;
  if (size <= 0)
    return {};
  der.resize(static_cast<std::size_t>(size));
  return der;
}

}  // namespace

std::optional<std::string> BidderChainOf(const CVerifyResult& result) {
  const std::u16string refused =
      msg::kVerifyFailedPrefix + Utf8ToWide(std::to_string(container::kSignerNotTrusted));
  if (result.ErrorDetail == refused)
    return std::string(container::ChainStatusName(container::ChainStatus::kRefused));
  if (!result.BidderCert)
    return std::nullopt;
  return std::string(container::ChainStatusName(
      container::CheckBidderChain(CertificateDer(result.BidderCert.get())).status));
}

}  // namespace brevalt::cli
