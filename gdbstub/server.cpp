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

void SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL, 0);
  if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

}  // namespace

Server::Server(Session& session, StubHost& host, ReverseExecution* reverse)
    : session_(session), host_(host), reverse_(reverse) {}

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
  if (bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listener_, 1) != 0) {
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
  pending_.clear();
  breaks_ = std::make_unique<GdbBreakpoints>(session_.machine(), session_.breakpoints());
  dispatcher_ = std::make_unique<Dispatcher>(session_, *breaks_, host_, reverse_);
  connection_ = std::make_unique<Connection>(*dispatcher_, [this](std::string_view b) { return SendAll(b); });
}

void Server::DropClient() {
  connection_.reset();
  dispatcher_.reset();
  const bool hadBreaks = breaks_ != nullptr;
  breaks_.reset();  // its entries leave the list
  if (hadBreaks) host_.BreaksChanged();
  if (client_ >= 0) close(client_);
  client_ = -1;
  pending_.clear();
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

// Inside a run: a 0x03 interrupts it, a hang-up stops it, anything else waits.
void Server::ReadWhileRunning() {
  char buffer[kReadChunk];
  for (;;) {
    const ssize_t n = recv(client_, buffer, sizeof buffer, 0);
    if (n > 0) {
      for (ssize_t i = 0; i < n; ++i) {
        if (buffer[i] == '\x03' && dispatcher_->Running()) {
          dispatcher_->Interrupt();
        } else {
          pending_.push_back(buffer[i]);
        }
      }
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
  if (client_ < 0) Accept();
  if (client_ < 0) return;
  // A run started by this client (or by the window) is going on: watch only.
  if (polling_ || !session_.machine().Idle) {
    if (!hungUp_) ReadWhileRunning();
    return;
  }
  polling_ = true;
  ReadWhileRunning();  // nothing runs: every byte goes to pending_
  while (!pending_.empty() && !connection_->Ended()) {
    const std::string bytes = std::move(pending_);
    pending_.clear();
    connection_->Feed(bytes);
  }
  polling_ = false;
  if (connection_->Ended() || hungUp_) {
    if (dispatcher_->end() == ClientEnd::Kill) killed_ = true;
    DropClient();
  }
}

void Server::WaitAndPoll(int timeoutMs) {
  pollfd p{client_ >= 0 ? client_ : listener_, POLLIN, 0};
  if (p.fd >= 0) poll(&p, 1, timeoutMs);
  Poll();
}

}  // namespace hc11::gdb
