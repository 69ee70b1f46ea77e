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

  // Frames `bytes` as they come: each complete packet is answered at once, a
  // partial one waits in the reader (at most one packet's payload). A packet
  // that starts a run leaves the rest of its chunk here; the next Feed, made
  // from inside the run, takes that rest first, so a 0x03 sent right after
  // "$c#63" interrupts the run. Bytes after a detach or a kill are ignored.
  void Feed(std::string_view bytes);
  // Frames what is left of the chunk whose packet started the run going on.
  void FeedHeld() { Drain(); }

  // The client detached, killed, or can no longer be written to.
  bool Ended() const { return ended_; }
  bool Acknowledging() const { return ack_; }

 private:
  void Send(std::string_view bytes);
  void Drain();
  void Take(char byte);

  Dispatcher& dispatcher_;
  Sender send_;
  PacketReader reader_;
  std::string input_;  // the chunk being framed (one read at most)
  std::size_t next_ = 0;
  std::string lastReply_;
  bool ack_ = true;
  bool ended_ = false;
};

}  // namespace hc11::gdb
