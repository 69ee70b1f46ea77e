// The board's serial link joined to a host port. Bytes the firmware
// transmits go to the host as they come; host bytes are framed into
// messages and handed to the board through its public receive entry, one
// message at a time, once the firmware has read the previous one up.
//
// Nothing here runs by itself: the host calls Poll from its event loop and
// from the run loop's yields (every RefreshEvery + 1 steps).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"
#include "serial_link/host_port.h"
#include "serial_link/link_address.h"
#include "serial_link/message_framer.h"

namespace hc11::serial {

// Microseconds of a steady clock.
std::int64_t NowUs();

class SerialLink {
 public:
  explicit SerialLink(Board& board);
  ~SerialLink();
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // Opens the port; on failure the link stays closed and `error` says why.
  // `gapUs` 0: two character times at `baud`, at least 2 ms.
  bool Open(const LinkAddress& address, long baud, std::string& error, std::int64_t gapUs = 0);
  void Close();
  bool IsOpen() const { return port_ != nullptr; }
  bool Connected() const { return port_ != nullptr && port_->Connected(); }
  // "pty /dev/pts/3", "tcp 127.0.0.1:4000", the device path; empty when closed.
  std::string Name() const { return port_ ? port_->Name() : std::string(); }

  // Host side work: clients, host bytes, framing, the next message to the
  // board when its receive buffer is free, board bytes to the host.
  void Poll();
  // Sleeps at most `us`, waking early for host bytes (a message in progress
  // ends its gap sooner), then polls.
  void Wait(std::int64_t us);

  // When host bytes last arrived (NowUs), none before the first.
  std::optional<std::int64_t> LastReceiveUs() const { return lastReceiveUs_; }
  // Messages handed to the board since Open.
  std::uint64_t MessagesDelivered() const { return delivered_; }
  const MessageFramer& framer() const { return framer_; }

  // Every event (connected, disconnected, backlog, errors), one line without "serial: ".
  std::function<void(std::string_view)> OnEvent;

 private:
  void Report(std::vector<std::string>& events);

  Board& board_;
  std::unique_ptr<HostPort> port_;
  MessageFramer framer_;
  std::vector<std::uint8_t> in_, out_;
  std::vector<std::string> events_;
  std::optional<std::int64_t> lastReceiveUs_;
  std::uint64_t delivered_ = 0;
};

}  // namespace hc11::serial
