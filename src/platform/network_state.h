// Whether this machine has a network connection.
#ifndef BREVALT_PLATFORM_NETWORK_STATE_H
#define BREVALT_PLATFORM_NETWORK_STATE_H

#include <vector>

namespace brevalt {

// What the connection decision needs of one interface address.
struct InterfaceState {
  bool up = false;           // administratively up
  bool running = false;      // has carrier: a cable is plugged in, a link is established
  bool loopback = false;     // the loopback interface
  bool has_address = false;  // carries an IPv4 or IPv6 address
};

// True when any interface other than loopback is up, running and has an
// address. An interface that is up with an address but has no carrier (an
// unplugged cable) does not count.
bool AnyInterfaceConnected(const std::vector<InterfaceState>& interfaces);

// The decision above over this machine's interfaces; false when they cannot
// be listed.
bool HasNetworkConnection();

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_NETWORK_STATE_H
