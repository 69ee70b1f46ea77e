// What the board's serial link is joined to on the host, as the user writes
// it: "pty" or "pty:LINK" (a new pseudo-terminal, LINK a symbolic link to
// it), "tcp:PORT" (a listening socket on 127.0.0.1), or a device path.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hc11::serial {

enum class LinkKind { Pty, Tcp, Device };

struct LinkAddress {
  LinkKind kind = LinkKind::Pty;
  std::string path;  // the pty's link (may be empty) or the device
  int port = 0;      // tcp; 0 lets the system choose
};

struct ParsedLinkAddress {
  std::optional<LinkAddress> address;
  std::string error;  // one line, set when address is empty
};

ParsedLinkAddress ParseLinkAddress(std::string_view text);

// The settings' "BaudRate": a positive decimal number up to 4,000,000.
std::optional<long> ParseBaudRate(std::string_view text);

// The address as the user would write it again.
std::string DescribeSpec(const LinkAddress& address);

}  // namespace hc11::serial
