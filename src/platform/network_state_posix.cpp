// Network connection state from the interface list (getifaddrs).
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <memory>

#include "platform/network_state.h"

namespace brevalt {
namespace {

struct IfaddrsFreer {
  void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

// getifaddrs lists one entry per address, and one without an IP address for
// the link itself; the flags are the interface's.
InterfaceState StateOf(const ifaddrs& entry) {
  InterfaceState state;
  state.up = (entry.ifa_flags & IFF_UP) != 0;
  state.running = (entry.ifa_flags & IFF_RUNNING) != 0;
  state.loopback = (entry.ifa_flags & IFF_LOOPBACK) != 0;
  if (entry.ifa_addr != nullptr) {
    const int family = entry.ifa_addr->sa_family;
    state.has_address = family == AF_INET || family == AF_INET6;
  }
  return state;
}

}  // namespace

bool HasNetworkConnection() {
  ifaddrs* raw = nullptr;
  if (getifaddrs(&raw) != 0)
    return false;
  const std::unique_ptr<ifaddrs, IfaddrsFreer> list(raw);
  std::vector<InterfaceState> interfaces;
  for (const ifaddrs* entry = list.get(); entry != nullptr; entry = entry->ifa_next)
    interfaces.push_back(StateOf(*entry));
  return AnyInterfaceConnected(interfaces);
}

}  // namespace brevalt
