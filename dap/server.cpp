#include "dap/server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "dap/adapter.h"

namespace hc11::dap {

namespace {

struct Incoming {
  ReadItem item;
  bool closed = false;  // the client's side ended
};

// What the reader thread hands over, in order.
class Inbox {
 public:
  void Put(Incoming in) {
    {
      std::lock_guard lock(mutex_);
      items_.push_back(std::move(in));
    }
    ready_.notify_one();
  }
  Incoming Wait() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return !items_.empty(); });
    return Take();
  }
  bool TryTake(Incoming& out) {
    std::lock_guard lock(mutex_);
    if (items_.empty()) return false;
    out = Take();
    return true;
  }

 private:
  Incoming Take() {
    Incoming in = std::move(items_.front());
    items_.pop_front();
    return in;
  }
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Incoming> items_;
};

void ReadClient(int inFd, int wakeFd, Inbox& inbox) {
  MessageReader reader;
  char buffer[65536];
  for (;;) {
    pollfd fds[2] = {{inFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents != 0) return;  // the adapter is done
    const ssize_t n = ::read(inFd, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;
    reader.Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
    while (auto item = reader.Next()) inbox.Put({std::move(*item), false});
  }
  inbox.Put({{}, true});
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

void Serve(int inFd, int outFd) {
  int wake[2];
  if (::pipe(wake) != 0) return;
  Inbox inbox;
  std::thread reader(ReadClient, inFd, wake[0], std::ref(inbox));
  bool writable = true;
  Adapter adapter([&](const Json& m) { writable = writable && WriteAll(outFd, Frame(m)); });
  std::deque<Incoming> waiting;  // requests that came during a run, answered after it
  bool closed = false;
  adapter.OnYield = [&] {
    Incoming in;
    while (inbox.TryTake(in)) {
      if (in.closed) {
        closed = true;
        if (adapter.controller() != nullptr) adapter.controller()->Stop();
      } else if (in.item.fault != ReadFault::None) {
        adapter.Refuse(in.item);
      } else if (!adapter.HandleDuringRun(in.item.message)) {
        waiting.push_back(std::move(in));
      }
    }
  };
  while (!adapter.Ended() && writable) {
    Incoming in;
    if (!waiting.empty()) {
      in = std::move(waiting.front());
      waiting.pop_front();
    } else if (closed) {
      break;
    } else {
      in = inbox.Wait();
    }
    if (in.closed) break;
    if (in.item.fault != ReadFault::None) {
      adapter.Refuse(in.item);
    } else {
      adapter.Handle(in.item.message);
    }
  }
  const char byte = 0;
  (void)!::write(wake[1], &byte, 1);
  reader.join();
  ::close(wake[0]);
  ::close(wake[1]);
}

int ListenTcp(const std::string& address, std::uint16_t& port, std::string& error) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  if (::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
    error = "'" + address + "' is not an IPv4 address";
    return -1;
  }
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = std::string("socket: ") + std::strerror(errno);
    return -1;
  }
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 1) != 0) {
    error = address + ":" + std::to_string(port) + ": " + std::strerror(errno);
    ::close(fd);
    return -1;
  }
  socklen_t len = sizeof addr;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) port = ntohs(addr.sin_port);
  return fd;
}

int AcceptClient(int listener) {
  for (;;) {
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0 || errno != EINTR) return fd;
  }
}

}  // namespace hc11::dap
