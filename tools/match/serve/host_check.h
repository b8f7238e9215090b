#pragma once
// Which Host and Origin headers the page's server answers.
//
// A page of another site can reach a server on this machine through a name
// of its own that it makes resolve here (DNS rebinding); the browser then
// sends that name as Host. A name written as an address is never looked up,
// so it cannot be rebound. The server answers only these Hosts, each with
// an optional ":port" (1 to 65535):
//   - listening on loopback (localhost, 127.0.0.0/8, ::1): `localhost`, an
//     IPv4 address in 127.0.0.0/8 written as one, and `[::1]`;
//   - listening on every address (0.0.0.0, ::): those, and any IPv4 or
//     bracketed IPv6 address written as one;
//   - listening on another address or name: that one as it was given
//     (an IPv6 address in brackets), letter case aside.
//
// Origin: a browser names the page a request comes from. The page's own
// requests come from "http://" and the Host it was loaded from, so an
// Origin is accepted only when it is exactly that (a missing port meaning
// 80), and its host passes the check above. `Origin: null` (a sandboxed
// frame, a file, a redirect) is no page of ours.

#include <string>
#include <string_view>

namespace quorvex::match::serve {

class HostCheck {
 public:
  // `listenHost`: the address or name the server listens on.
  explicit HostCheck(std::string listenHost);

  bool AcceptsHost(std::string_view host) const;
  // `host` is the request's Host header, already accepted.
  bool AcceptsOrigin(std::string_view origin, std::string_view host) const;

 private:
  enum class Mode { Loopback, Everywhere, OneName };
  bool AcceptsName(std::string_view name) const;

  Mode mode_;
  std::string name_;  // Mode::OneName: the name a Host must give
};

}  // namespace quorvex::match::serve
