// The host end of the board's serial link: a pseudo-terminal, a TCP listener
// on 127.0.0.1 or a serial device, all non-blocking. The owner services the
// port from its own loop (nothing here waits, except Wait, which sleeps).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "serial_link/link_address.h"

namespace hc11::serial {

class HostPort {
 public:
  virtual ~HostPort() = default;

  // What the user is told to connect to ("pty /dev/pts/3", "tcp 127.0.0.1:4000").
  virtual std::string Name() const = 0;
  // Notices clients coming and going and appends the bytes waiting to `in`;
  // what happened goes to `events`, one line each.
  virtual void Service(std::vector<std::uint8_t>& in, std::vector<std::string>& events) = 0;
  // A host program is at the other end.
  virtual bool Connected() const = 0;
  // Sends bytes; what the system cannot take at once is kept and sent by
  // the next Service. Without a client the bytes are lost, as a serial line
  // with nobody listening loses them.
  void Send(std::span<const std::uint8_t> bytes, std::vector<std::string>& events);
  // Sleeps at most `us` microseconds, waking when host bytes or a client arrive.
  void Wait(std::int64_t us) const;

 protected:
  // The descriptor whose readiness ends Wait, -1 for none.
  virtual int WaitFd() const = 0;
  virtual int DataFd() const = 0;
  // The client is gone (or the device failed): forget it.
  virtual void Lost(std::vector<std::string>& events, const std::string& why) = 0;
  // Reads everything waiting on `fd`; false when the other end is gone.
  bool ReadAll(int fd, std::vector<std::uint8_t>& in, std::string& why);
  // One write of pending bytes to DataFd(), as write(2) answers.
  virtual long WriteSome(const std::uint8_t* data, std::size_t size);
  void FlushOut(std::vector<std::string>& events);
  void ForgetOut() { out_.clear(); }

 private:
  std::vector<std::uint8_t> out_;
  bool outOverflowReported_ = false;
};

// Opens the port the address names; null with `error` (the system's reason) on failure.
std::unique_ptr<HostPort> OpenHostPort(const LinkAddress& address, long baud, std::string& error);

}  // namespace hc11::serial
