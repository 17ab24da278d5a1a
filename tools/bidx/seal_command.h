// `bidx seal`: builds a sealed bid from a payload, a rules file or raw custom
// data, and the signer's certificate and key.
#ifndef BREVALT_TOOLS_BIDX_SEAL_COMMAND_H
#define BREVALT_TOOLS_BIDX_SEAL_COMMAND_H

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace brevalt::bidx {

struct SealOptions {
  std::string out_path;
  std::string cert_path;         // PEM or DER
  std::string key_path;          // PEM or DER
  std::string payload_path;      // optional
  std::string rules_path;        // optional: wrapped in the RULF header
  std::string custom_data_path;  // optional: stored verbatim
  std::optional<std::int32_t> total;
  std::optional<std::int32_t> min;
};

// Seals as asked. Odd but storable inputs (counts of 0 or below, a minimum
// above the total, a rules file that is no valid document) are sealed as
// given with a warning on `err`. Returns 0 on success, 1 on failure (with
// the reason on `err`).
int RunSeal(const SealOptions& options, std::ostream& err);

}  // namespace brevalt::bidx

#endif  // BREVALT_TOOLS_BIDX_SEAL_COMMAND_H
