// Whether this machine has a network connection.
#ifndef BREVALT_PLATFORM_NETWORK_STATE_H
#define BREVALT_PLATFORM_NETWORK_STATE_H

namespace brevalt {

// True when any interface other than loopback is up and has an address.
bool HasNetworkConnection();

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_NETWORK_STATE_H
