#include "gdbstub/server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace hc11::gdb {

namespace {

constexpr int kSendTimeoutMs = 5000;
constexpr std::size_t kReadChunk = 4096;
constexpr int kHangUpGraceMs = 50;  // how long a knock waits for the served client's hang-up
// Reads per Poll: a client that sends without pause cannot hold the host.
constexpr int kReadsPerPoll = 16;
// Waiting connections: a burst of connects is refused promptly, not left to
// the client's retry timer.
constexpr int kListenBacklog = 64;

void SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL, 0);
  if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

}  // namespace

Server::Server(Session& session, StubHost& host, ReverseExecution* reverse)
    : session_(session), host_(host), reverse_(reverse), monitor_(session, host) {}

Server::~Server() {
  Close();
}

bool Server::Listen(const std::string& address, std::uint16_t port, std::string& error) {
  Close();
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
    error = "not an IPv4 address: '" + address + "'";
    return false;
  }
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) {
    error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  const int one = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      listen(listener_, kListenBacklog) != 0) {
    error = address + ":" + std::to_string(port) + ": " + std::strerror(errno);
    Close();
    return false;
  }
  SetNonBlocking(listener_);
  socklen_t length = sizeof addr;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &length);
  port_ = ntohs(addr.sin_port);
  return true;
}

void Server::Close() {
  if (client_ >= 0) DropClient();
  if (listener_ >= 0) close(listener_);
  listener_ = -1;
  port_ = 0;
}

void Server::Accept() {
  if (listener_ < 0 || client_ >= 0) return;
  const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (fd < 0) return;
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  client_ = fd;
  hungUp_ = false;
  breaks_ = std::make_unique<GdbBreakpoints>(session_.machine(), session_.breakpoints());
  dispatcher_ = std::make_unique<Dispatcher>(session_, *breaks_, host_, reverse_);
  dispatcher_->SetMonitor(&monitor_);
  connection_ = std::make_unique<Connection>(*dispatcher_, [this](std::string_view b) { return SendAll(b); });
}

// While a client is served, every other one gets an error reply and is closed.
// A client that has closed its side holds nobody back: the one that came after
// it is kept for the next Accept. Its end of stream may reach the socket just
// after the newcomer's connection, so it is given a moment to show.
void Server::RefuseOthers() {
  if (listener_ < 0) return;
  pollfd knock{listener_, POLLIN, 0};
  if (poll(&knock, 1, 0) <= 0) return;
  pollfd gone{client_, POLLRDHUP, 0};
  if (poll(&gone, 1, kHangUpGraceMs) > 0 && (gone.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) return;
  static const std::string busy = FramePacket(kBusyReply);
  for (;;) {
    const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    send(fd, busy.data(), busy.size(), MSG_NOSIGNAL);  // one small write: it fits the fresh socket
    close(fd);
  }
}

void Server::DropClient() {
  connection_.reset();
  dispatcher_.reset();
  const bool hadBreaks = breaks_ != nullptr;
  breaks_.reset();  // its entries leave the list
  if (hadBreaks) host_.BreaksChanged();
  if (client_ >= 0) close(client_);
  client_ = -1;
  ++clientsEnded_;
}

bool Server::SendAll(std::string_view bytes) {
  while (!bytes.empty() && client_ >= 0) {
    const ssize_t n = send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd p{client_, POLLOUT, 0};
      if (poll(&p, 1, kSendTimeoutMs) > 0) continue;
    }
    hungUp_ = true;
    return false;
  }
  return bytes.empty();
}

// Reads what the client sent and frames it at once; inside a run the
// client started, a 0x03 interrupts it and a hang-up stops it.
void Server::ReadClient() {
  connection_->FeedHeld();
  char buffer[kReadChunk];
  for (int reads = 0; reads < kReadsPerPoll && !hungUp_ && !connection_->Ended(); ++reads) {
    const ssize_t n = recv(client_, buffer, sizeof buffer, 0);
    if (n > 0) {
      connection_->Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
      hungUp_ = true;
      dispatcher_->ClientGone();
    }
    return;
  }
}

void Server::Poll() {
  monitor_.Poll();
  if (client_ < 0) Accept();
  if (client_ < 0) return;
  if (polling_) {
    // Inside a run or replay this client asked for: watch it on.
    if (dispatcher_->Running()) ReadClient();
  } else if (session_.machine().Idle) {  // during the host's own run the client waits
    polling_ = true;
    ReadClient();
    polling_ = false;
    if (connection_->Ended() || hungUp_) {
      if (dispatcher_->end() == ClientEnd::Kill) killed_ = true;
      DropClient();
      Accept();
    }
  }
  // A client that has gone leaves the waiting ones for the next Accept.
  if (client_ >= 0 && !hungUp_ && !connection_->Ended()) RefuseOthers();
}

void Server::WaitAndPoll(int timeoutMs) {
  // The listener too while a client is served: another one is answered busy.
  pollfd p[2] = {{listener_, POLLIN, 0}, {client_, POLLIN, 0}};
  const nfds_t count = client_ >= 0 ? 2 : 1;
  if (listener_ >= 0 || client_ >= 0) poll(p, count, timeoutMs);
  Poll();
}

}  // namespace hc11::gdb
