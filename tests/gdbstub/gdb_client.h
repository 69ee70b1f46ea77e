// A minimal GDB-side client for the stub's tests: connects on loopback, sends
// framed packets, checks the stub's acknowledgements and checksums. Every
// wait is bounded; a timeout shows as an empty optional.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gdbstub/packet.h"

namespace hc11::test {

inline constexpr int kWaitMs = 5000;

class GdbClient {
 public:
  ~GdbClient() { Close(); }

  // Retries until the server accepts or `timeoutMs` passes; a connect that
  // the server's full backlog holds up counts against the same bound.
  bool Connect(std::uint16_t port, int timeoutMs = kWaitMs) {
    using namespace std::chrono;
    const auto until = steady_clock::now() + milliseconds(timeoutMs);
    while (steady_clock::now() < until) {
      fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      sockaddr_in addr{};
      addr.sin_family = AF_INET;
      addr.sin_port = htons(port);
      inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
      int rc = connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
      if (rc != 0 && errno == EINPROGRESS) {
        pollfd p{fd_, POLLOUT, 0};
        const auto left = duration_cast<milliseconds>(until - steady_clock::now()).count();
        int error = -1;
        socklen_t length = sizeof error;
        if (left > 0 && poll(&p, 1, static_cast<int>(left)) > 0)
          getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length);
        rc = error == 0 ? 0 : -1;
      }
      if (rc == 0) {
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL, 0) & ~O_NONBLOCK);
        const int one = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        return true;
      }
      Close();
      usleep(20000);
    }
    return false;
  }

  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    buffer_.clear();
  }

  bool SendRaw(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }

  // The next byte, or nullopt after `timeoutMs` or at the end of the stream.
  std::optional<char> ReadByte(int timeoutMs = kWaitMs) {
    if (buffer_.empty()) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, timeoutMs) <= 0) return std::nullopt;
      char chunk[4096];
      const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
      if (n <= 0) return std::nullopt;
      buffer_.append(chunk, static_cast<std::size_t>(n));
    }
    const char c = buffer_.front();
    buffer_.erase(0, 1);
    return c;
  }

  // True when the stub closed the connection within `timeoutMs`.
  bool ClosedByPeer(int timeoutMs = kWaitMs) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return false;
    char c;
    return recv(fd_, &c, 1, MSG_PEEK) <= 0;  // an end, or a reset for our unread "+"
  }

  // One "$...#cs" packet (escapes undone); acknowledged with "+" when acking.
  std::optional<std::string> ReadPacket(int timeoutMs = kWaitMs) {
    std::optional<char> c;
    do {
      c = ReadByte(timeoutMs);
      if (!c) return std::nullopt;
    } while (*c != '$');
    std::string raw;
    for (;;) {
      c = ReadByte(timeoutMs);
      if (!c) return std::nullopt;
      if (*c == '#') break;
      raw.push_back(*c);
    }
    std::string sum;
    for (int i = 0; i < 2; ++i) {
      c = ReadByte(timeoutMs);
      if (!c) return std::nullopt;
      sum.push_back(*c);
    }
    if (gdb::ParseHexNumber(sum) != gdb::Checksum(raw)) return std::nullopt;
    if (acking) SendRaw("+");
    std::string payload;
    if (!gdb::UnescapeBinary(raw, payload)) return std::nullopt;
    return payload;
  }

  // Sends a packet and returns the reply; with acknowledgements on, the
  // stub's "+" must come first.
  std::optional<std::string> Command(std::string_view payload, int timeoutMs = kWaitMs) {
    if (!SendRaw(gdb::FramePacket(payload))) return std::nullopt;
    if (acking && ReadByte(timeoutMs) != '+') return std::nullopt;
    return ReadPacket(timeoutMs);
  }

  bool acking = true;

 private:
  int fd_ = -1;
  std::string buffer_;
};

}  // namespace hc11::test
