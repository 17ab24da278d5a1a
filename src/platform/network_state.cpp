// The connection decision, the same on every platform.
#include "platform/network_state.h"

namespace brevalt {

bool AnyInterfaceConnected(const std::vector<InterfaceState>& interfaces) {
  for (const InterfaceState& state : interfaces) {
    if (state.up && state.running && !state.loopback && state.has_address)
      return true;
  }
  return false;
}

}  // namespace brevalt
