#include "tools/match/serve/host_check.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <optional>

namespace quorvex::match::serve {

namespace {

struct Authority {
  std::string_view name;  // an IPv6 address keeps its brackets
  int port = 80;
};

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

// "name", "name:port", "[v6]" or "[v6]:port"; the port 1..65535.
std::optional<Authority> SplitAuthority(std::string_view text) {
  Authority out;
  std::string_view rest;
  if (text.starts_with('[')) {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    out.name = text.substr(0, close + 1);
    rest = text.substr(close + 1);
  } else {
    const size_t colon = text.find(':');
    out.name = text.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon);
  }
  if (out.name.empty()) return std::nullopt;
  if (rest.empty()) return out;
  const std::string_view port = rest.substr(1);
  if (rest[0] != ':' || port.empty() || port.size() > 5 ||
      !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  std::from_chars(port.data(), port.data() + port.size(), out.port);
  if (out.port < 1 || out.port > 65535) return std::nullopt;
  return out;
}

// An IPv4 address in dotted decimal, as inet_pton reads it: no other forms
// ("127.1", "0x7f.0.0.1") and nothing after it.
std::optional<in_addr> Ipv4(std::string_view name) {
  in_addr address{};
  if (inet_pton(AF_INET, std::string(name).c_str(), &address) != 1) return std::nullopt;
  return address;
}

std::optional<in6_addr> Ipv6(std::string_view name) {
  in6_addr address{};
  if (inet_pton(AF_INET6, std::string(name).c_str(), &address) != 1) return std::nullopt;
  return address;
}

std::optional<in6_addr> BracketedIpv6(std::string_view name) {
  if (name.size() < 2 || name.front() != '[' || name.back() != ']') return std::nullopt;
  return Ipv6(name.substr(1, name.size() - 2));
}

bool IsLoopbackIpv4(const in_addr& address) { return (ntohl(address.s_addr) >> 24) == 127; }

bool IsLoopbackName(std::string_view name) {
  if (EqualsNoCase(name, "localhost")) return true;
  if (const auto v4 = Ipv4(name)) return IsLoopbackIpv4(*v4);
  if (const auto v6 = BracketedIpv6(name)) return IN6_IS_ADDR_LOOPBACK(&*v6);
  return false;
}

}  // namespace

HostCheck::HostCheck(std::string listenHost) : mode_(Mode::OneName) {
  if (EqualsNoCase(listenHost, "localhost")) {
    mode_ = Mode::Loopback;
  } else if (const auto v4 = Ipv4(listenHost)) {
    mode_ = IsLoopbackIpv4(*v4)        ? Mode::Loopback
            : v4->s_addr == INADDR_ANY ? Mode::Everywhere
                                       : Mode::OneName;
  } else if (const auto v6 = Ipv6(listenHost)) {
    mode_ = IN6_IS_ADDR_LOOPBACK(&*v6)      ? Mode::Loopback
            : IN6_IS_ADDR_UNSPECIFIED(&*v6) ? Mode::Everywhere
                                            : Mode::OneName;
    listenHost = "[" + listenHost + "]";
  }
  name_ = std::move(listenHost);
}

bool HostCheck::AcceptsName(std::string_view name) const {
  switch (mode_) {
    case Mode::Loopback:
      return IsLoopbackName(name);
    case Mode::Everywhere:
      return IsLoopbackName(name) || Ipv4(name) || BracketedIpv6(name);
    case Mode::OneName:
      break;
  }
  return EqualsNoCase(name, name_);
}

bool HostCheck::AcceptsHost(std::string_view host) const {
  const auto authority = SplitAuthority(host);
  return authority && AcceptsName(authority->name);
}

bool HostCheck::AcceptsOrigin(std::string_view origin, std::string_view host) const {
  constexpr std::string_view kScheme = "http://";
  if (!origin.starts_with(kScheme)) return false;
  const auto from = SplitAuthority(origin.substr(kScheme.size()));
  const auto to = SplitAuthority(host);
  return from && to && AcceptsName(from->name) && EqualsNoCase(from->name, to->name) &&
         from->port == to->port;
}

}  // namespace quorvex::match::serve
