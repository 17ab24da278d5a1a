// Whether a verified bid's signer chains to a bidder authority the user
// trusts, as the command line reports it.
#ifndef BREVALT_CLI_BIDDER_CHAIN_H
#define BREVALT_CLI_BIDDER_CHAIN_H

#include <optional>
#include <string>

#include "record/verify_result.h"

namespace brevalt::cli {

// "verified" or "unchecked" for the bidder certificate the check kept,
// "refused" when the container refused the signer as not chaining to a
// trusted anchor; nothing when the run never got as far as the signer.
std::optional<std::string> BidderChainOf(const CVerifyResult& result);

}  // namespace brevalt::cli

#endif  // BREVALT_CLI_BIDDER_CHAIN_H
