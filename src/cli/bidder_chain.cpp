#include "cli/bidder_chain.h"

#include <string_view>
#include <vector>

#include "cli/failed_step.h"
#include "platform/base64.h"
#include "tavik/tavik_handles.h"
#include "tavik/tavik_secret_file.h"

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
  if (ContainerCodeOf(result) == TAVIK_SECRETFILE_ERR_SIGNER_NOT_TRUSTED)
    return std::string(TavikSecretFileChainStatusName(TAVIK_CHAIN_REFUSED));
  if (!result.BidderCert)
    return std::nullopt;
  const std::vector<unsigned char> der = CertificateDer(result.BidderCert.get());
  int status = TAVIK_CHAIN_REFUSED;
  if (TavikSecretFileCheckBidderChain(der.data(), static_cast<int>(der.size()), &status) != 0)
    status = TAVIK_CHAIN_REFUSED;
  return std::string(TavikSecretFileChainStatusName(status));
}

}  // namespace brevalt::cli
