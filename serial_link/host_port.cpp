#include "serial_link/host_port.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "serial_link/port_openers.h"

namespace hc11::serial {

namespace {

// Bytes for the host that wait for the system to take them.
constexpr std::size_t kOutLimit = 64 * 1024;

}  // namespace

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

void HostPort::Send(std::span<const std::uint8_t> bytes, std::vector<std::string>& events) {
  if (!Connected() || bytes.empty()) return;
  const std::size_t room = kOutLimit - std::min(out_.size(), kOutLimit);
  if (bytes.size() > room && !outOverflowReported_) {
    events.push_back("the host program does not read: board bytes are dropped");
    outOverflowReported_ = true;
  }
  out_.insert(out_.end(), bytes.begin(),
              bytes.begin() + static_cast<std::ptrdiff_t>(std::min(room, bytes.size())));
  FlushOut(events);
}

long HostPort::WriteSome(const std::uint8_t* data, std::size_t size) {
  return ::write(DataFd(), data, size);
}

void HostPort::FlushOut(std::vector<std::string>& events) {
  if (DataFd() < 0 || out_.empty()) return;
  std::size_t done = 0;
  std::string why;
  while (done < out_.size()) {
    const ssize_t n = WriteSome(out_.data() + done, out_.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      if (n == 0 || errno != EAGAIN) why = n == 0 ? "closed" : std::strerror(errno);
      break;
    }
  }
  out_.erase(out_.begin(), out_.begin() + static_cast<std::ptrdiff_t>(done));
  if (out_.empty()) outOverflowReported_ = false;
  if (!why.empty()) Lost(events, why);
}

bool HostPort::ReadAll(int fd, std::vector<std::uint8_t>& in, std::string& why) {
  std::uint8_t buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      in.insert(in.end(), buffer, buffer + n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return true;
    why = n == 0 ? "closed" : std::strerror(errno);
    return false;
  }
}

void HostPort::Wait(std::int64_t us) const {
  if (us <= 0) return;
  us = std::min<std::int64_t>(us, 1'000'000);
  const timespec ts{static_cast<time_t>(us / 1'000'000), static_cast<long>(us % 1'000'000) * 1000};
  pollfd p{WaitFd(), POLLIN, 0};
  ::ppoll(p.fd < 0 ? nullptr : &p, p.fd < 0 ? 0 : 1, &ts, nullptr);
}

std::unique_ptr<HostPort> OpenHostPort(const LinkAddress& address, long baud, std::string& error) {
  switch (address.kind) {
    case LinkKind::Pty:
      return OpenPtyPort(address.path, error);
    case LinkKind::Tcp:
      return OpenTcpPort(address.port, error);
    case LinkKind::Device:
      return OpenDevicePort(address.path, baud, error);
  }
  return nullptr;
}

}  // namespace hc11::serial
