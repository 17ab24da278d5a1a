// The host of a URL, taken apart by hand and judged conservatively: a URL
// counts as loopback only when every reading of it reaches this machine.
#include "platform/loopback_url.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#endif

#include <algorithm>
#include <optional>
#include <string>

namespace brevalt {
namespace {

constexpr std::string_view::size_type npos = std::string_view::npos;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// url without surrounding blanks, as ASCII; nothing when it holds any other
// character (a host in another script is no loopback name).
std::optional<std::string> TrimmedAscii(std::u16string_view url) {
  while (!url.empty() && IsBlank(url.front()))
    url.remove_prefix(1);
  while (!url.empty() && IsBlank(url.back()))
    url.remove_suffix(1);
  std::string ascii;
  for (char16_t c : url) {
    if (c > 0x7F)
      return std::nullopt;
    ascii.push_back(static_cast<char>(c));
  }
  return ascii;
}

// Between "scheme://" and the first "/", "?" or "#"; nothing without "//".
std::optional<std::string_view> AuthorityOf(std::string_view url) {
  const auto colon = url.find(':');
  if (colon == npos || colon == 0 || url.substr(colon, 3) != "://")
    return std::nullopt;
  const std::string_view rest = url.substr(colon + 3);
  return rest.substr(0, rest.find_first_of("/?#"));
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The host of an authority without its userinfo and port ("[::1]" keeps its
// brackets); nothing when the authority cannot be taken apart cleanly.
std::optional<std::string_view> HostOf(std::string_view authority) {
  if (authority.find('\\') != npos)
    return std::nullopt;
  if (const auto at = authority.find('@'); at != npos) {
    if (authority.find('@', at + 1) != npos)
      return std::nullopt;
    authority.remove_prefix(at + 1);
  }
  auto host_end = authority.find(':');
  if (authority.starts_with('[')) {
    host_end = authority.find(']');
    if (host_end == npos)
      return std::nullopt;
    ++host_end;
  }
  const std::string_view host = authority.substr(0, host_end);
  std::string_view port = host_end == npos ? "" : authority.substr(host_end);
  if (!port.empty() && (port.front() != ':' || !AllDigits(port.substr(1))))
    return std::nullopt;
  if (host.empty())
    return std::nullopt;
  return host;
}

bool IsLocalhostName(std::string_view host) {
  constexpr std::string_view kName = "localhost";
  return host.size() == kName.size() &&
         std::equal(host.begin(), host.end(), kName.begin(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; });
}

bool IsLoopbackAddress(std::string_view host) {
  if (host.starts_with('[')) {
    const std::string literal(host.substr(1, host.size() - 2));
    in6_addr address{};
    return inet_pton(AF_INET6, literal.c_str(), &address) == 1 && IN6_IS_ADDR_LOOPBACK(&address);
  }
  const std::string literal(host);
  in_addr address{};
  return inet_pton(AF_INET, literal.c_str(), &address) == 1 && (ntohl(address.s_addr) >> 24) == 127;
}

}  // namespace

bool NamesLoopbackHost(std::u16string_view url) {
  const std::optional<std::string> ascii = TrimmedAscii(url);
  const std::optional<std::string_view> authority = ascii ? AuthorityOf(*ascii) : std::nullopt;
  const std::optional<std::string_view> host = authority ? HostOf(*authority) : std::nullopt;
  return host && (IsLocalhostName(*host) || IsLoopbackAddress(*host));
}

}  // namespace brevalt
