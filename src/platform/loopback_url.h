// Whether a URL's host is this machine's loopback interface.
#ifndef BREVALT_PLATFORM_LOOPBACK_URL_H
#define BREVALT_PLATFORM_LOOPBACK_URL_H

#include <string_view>

namespace brevalt {

// True when url names a loopback host: "localhost" (any case), an IPv4
// address of 127.0.0.0/8 in dotted-decimal form, or the IPv6 address ::1 in
// brackets. Blanks (spaces, tabs) around url are ignored.
//
// The host is read from the authority after "scheme://", which ends at the
// first "/", "?" or "#"; a userinfo up to "@" and a port of digits after ":"
// are dropped. Whatever this reading cannot take apart cleanly is not
// loopback: no "//" after the scheme, more than one "@", a backslash, a
// port that is not digits, an unclosed "[", an empty host, a character
// outside ASCII. Pure; any thread.
bool NamesLoopbackHost(std::u16string_view url);

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_LOOPBACK_URL_H
