// A listening socket on 127.0.0.1 with one client at a time: a second
// client is told the link is busy and closed; when the client leaves, the
// next one is accepted.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "serial_link/port_openers.h"

namespace hc11::serial {

namespace {

constexpr char kBusyLine[] = "hc11flow: serial link busy, one client at a time\r\n";

std::string PeerName(const sockaddr_in& a) {
  char text[INET_ADDRSTRLEN] = "?";
  ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(a.sin_port));
}

class TcpPort final : public HostPort {
 public:
  TcpPort(int listener, int port) : listener_(listener), port_(port) {}
  ~TcpPort() override {
    if (client_ >= 0) ::close(client_);
    ::close(listener_);
  }

  std::string Name() const override { return "tcp 127.0.0.1:" + std::to_string(port_); }
  bool Connected() const override { return client_ >= 0; }

  void Service(std::vector<std::uint8_t>& in, std::vector<std::string>& events) override {
    if (client_ >= 0) {
      std::string why;
      if (!ReadAll(client_, in, why)) Lost(events, why);
    }
    Accept(events);
    if (client_ >= 0) FlushOut(events);
  }

 protected:
  int WaitFd() const override { return client_ >= 0 ? client_ : listener_; }
  int DataFd() const override { return client_; }
  long WriteSome(const std::uint8_t* data, std::size_t size) override {
    return ::send(client_, data, size, MSG_NOSIGNAL);
  }
  void Lost(std::vector<std::string>& events, const std::string& why) override {
    if (client_ < 0) return;
    ::close(client_);
    client_ = -1;
    ForgetOut();
    events.push_back("client " + peer_ + " disconnected (" + why + ")");
  }

 private:
  void Accept(std::vector<std::string>& events) {
    for (;;) {
      sockaddr_in peer{};
      socklen_t size = sizeof peer;
      const int fd =
          ::accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) {
        if (errno != EAGAIN && errno != EINTR && errno != ECONNABORTED)
          events.push_back(SystemError("accept"));
        return;
      }
      if (client_ >= 0) {
        (void)!::send(fd, kBusyLine, sizeof kBusyLine - 1, MSG_NOSIGNAL);
        ::close(fd);
        events.push_back("client " + PeerName(peer) + " refused: the link is busy");
        continue;
      }
      const int one = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      client_ = fd;
      peer_ = PeerName(peer);
      events.push_back("client " + peer_ + " connected");
    }
  }

  int listener_;
  int port_;
  int client_ = -1;
  std::string peer_;
};

}  // namespace

std::unique_ptr<HostPort> OpenTcpPort(int port, std::string& error) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = SystemError("socket");
    return nullptr;
  }
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0) {
    error = SystemError("tcp 127.0.0.1:" + std::to_string(port));
    ::close(fd);
    return nullptr;
  }
  socklen_t size = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  return std::make_unique<TcpPort>(fd, ntohs(address.sin_port));
}

}  // namespace hc11::serial
