// One client's conversation: bytes in, framed replies out. Acknowledges each
// packet ("+"), asks for a resend of a damaged one ("-"), resends its last
// reply when the client asks, answers an oversized packet with an error, and
// stops acknowledging after QStartNoAckMode.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "gdbstub/dispatcher.h"
#include "gdbstub/packet.h"

namespace hc11::gdb {

class Connection {
 public:
  // `send` writes bytes to the client and returns false once it cannot.
  using Sender = std::function<bool(std::string_view)>;
  Connection(Dispatcher& dispatcher, Sender send);

  // Handles every complete packet in `bytes`; a partial one waits for more.
  // Bytes after a detach or a kill are ignored.
  void Feed(std::string_view bytes);

  // The client detached, killed, or can no longer be written to.
  bool Ended() const { return ended_; }
  bool Acknowledging() const { return ack_; }

 private:
  void Send(std::string_view bytes);

  Dispatcher& dispatcher_;
  Sender send_;
  PacketReader reader_;
  std::string lastReply_;
  bool ack_ = true;
  bool ended_ = false;
};

}  // namespace hc11::gdb
