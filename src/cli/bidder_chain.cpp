#include "cli/bidder_chain.h"

#include <string_view>
#include <vector>

#include "cli/failed_step.h"
#include "platform/base64.h"
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
  return DecodeBase64(std::string_view(reinterpret_cast<const char*>(base64.get()),
                                       static_cast<std::size_t>(length)))
      .value_or(std::vector<unsigned char>());
}

}  // namespace

std::optional<std::string> BidderChainOf(const CVerifyResult& result) {
  if (ContainerCodeOf(result) == container::kSignerNotTrusted)
    return std::string(container::ChainStatusName(container::ChainStatus::kRefused));
  if (!result.BidderCert)
    return std::nullopt;
  return std::string(container::ChainStatusName(
      container::CheckBidderChain(CertificateDer(result.BidderCert.get())).status));
}

}  // namespace brevalt::cli
