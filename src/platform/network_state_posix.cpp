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

bool IsConnectedInterface(const ifaddrs& entry) {
  if (entry.ifa_addr == nullptr)
    return false;
  const int family = entry.ifa_addr->sa_family;
  if (family != AF_INET && family != AF_INET6)
    return false;
  return (entry.ifa_flags & IFF_UP) != 0 && (entry.ifa_flags & IFF_LOOPBACK) == 0;
}

}  // namespace

bool HasNetworkConnection() {
  ifaddrs* raw = nullptr;
  if (getifaddrs(&raw) != 0)
    return false;
  const std::unique_ptr<ifaddrs, IfaddrsFreer> list(raw);
  for (const ifaddrs* entry = list.get(); entry != nullptr; entry = entry->ifa_next) {
    if (IsConnectedInterface(*entry))
      return true;
  }
  return false;
}

}  // namespace brevalt
