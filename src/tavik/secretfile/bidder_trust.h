// Whether a bidder's certificate chains to a bidder certificate authority the
// user trusts.
//
// The anchors are the certificates in the PEM files (names ending in ".pem")
// of <per-user data folder>/trust/bidder/, read afresh at every check. With
// no such file the chain is not checked: the signature still proves which
// key sealed the bid, but anyone may have made that key's certificate. With
// at least one such file the signer certificate must chain to one of them,
// its key usage (when present) must allow digital signatures or
// non-repudiation, and validity periods are not judged (the bidder
// certificate's validity is shown on its own; an expired certificate must
// not change the verdict).
#ifndef BREVALT_TAVIK_SECRETFILE_BIDDER_TRUST_H
#define BREVALT_TAVIK_SECRETFILE_BIDDER_TRUST_H

#include <openssl/x509.h>

#include <string>
#include <vector>

namespace brevalt::container {

enum class ChainStatus {
  kVerified,   // chains to an anchor
  kUnchecked,  // no anchors: not checked
  kRefused,    // anchors present, and the certificate does not chain to one
};

struct BidderChain {
  ChainStatus status = ChainStatus::kUnchecked;
  // kVerified: the anchor's subject ("CN=…, O=…"); kRefused: why, in
  // English; kUnchecked: "no bidder trust anchors".
  std::string detail;
};

// <per-user data folder>/trust/bidder in the native path form; empty when no
// per-user folder is known (then nothing is checked).
std::string BidderTrustFolder();

// Checks `signer` against the anchors in `folder`.
BidderChain CheckBidderChain(X509* signer, const std::string& folder);

// Checks a DER certificate (as the container holds it) against the anchors in
// BidderTrustFolder(). A certificate that does not parse is refused.
BidderChain CheckBidderChain(const std::vector<unsigned char>& certificate_der);

// "verified", "unchecked" or "refused".
const char* ChainStatusName(ChainStatus status);

}  // namespace brevalt::container

#endif  // BREVALT_TAVIK_SECRETFILE_BIDDER_TRUST_H
