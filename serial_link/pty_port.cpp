// A new pseudo-terminal: the host program opens its slave side. No slave
// descriptor is kept here, so the master reports a hang-up while no program
// has the slave open: that is how a client's coming and going is seen.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string_view>

#include "serial_link/port_openers.h"

namespace hc11::serial {

namespace {

constexpr int kTemporaryNames = 100;  // tried before giving up

std::string ReadLink(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

// A link text naming a pseudo-terminal's slave: "/dev/pts/N" exactly, and
// when that name exists, a character device. A link left by an earlier run
// may name a pty that is gone; a text that merely starts with "/dev/pts/"
// ("/dev/pts/../../home/x") is anything but.
bool NamesPseudoTerminal(const std::string& text) {
  constexpr std::string_view kPts = "/dev/pts/";
  if (!text.starts_with(kPts) || text.size() == kPts.size()) return false;
  for (std::size_t i = kPts.size(); i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  struct stat st {};
  if (::stat(text.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISCHR(st.st_mode);
}

class PtyPort final : public HostPort {
 public:
  PtyPort(int master, std::string slave) : master_(master), slave_(std::move(slave)) {}
  ~PtyPort() override {
    // The link goes only while it still points to this pty.
    if (!link_.empty() && ReadLink(link_) == slave_) ::unlink(link_.c_str());
    ::close(master_);
  }

  // Points `link` at the slave; an existing file is replaced only when it is
  // a symbolic link to a pseudo-terminal (one left by an earlier run).
  bool MakeLink(const std::string& link, std::string& error) {
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0 && (!S_ISLNK(st.st_mode) || !NamesPseudoTerminal(ReadLink(link)))) {
      error = link + ": exists and is not a link to a pseudo-terminal; left as it is";
      return false;
    }
    // symlink(2) never replaces a name: a file already there under the
    // temporary name is someone else's and is left alone.
    const std::string stem = link + ".tmp-" + std::to_string(::getpid());
    std::string temporary = stem;
    bool made = false;
    for (int n = 0; n < kTemporaryNames && !made; ++n) {
      if (n > 0) temporary = stem + "-" + std::to_string(n);
      made = ::symlink(slave_.c_str(), temporary.c_str()) == 0;
      if (!made && errno != EEXIST) break;
    }
    if (!made) {
      error = SystemError(link);
      return false;
    }
    if (::rename(temporary.c_str(), link.c_str()) != 0) {
      error = SystemError(link);
      ::unlink(temporary.c_str());
      return false;
    }
    link_ = link;
    return true;
  }

  std::string Name() const override { return "pty " + slave_; }
  bool Connected() const override { return connected_; }

  void Service(std::vector<std::uint8_t>& in, std::vector<std::string>& events) override {
    pollfd p{master_, POLLIN, 0};
    ::poll(&p, 1, 0);
    // Bytes a client wrote just before closing are still read.
    if (p.revents & POLLIN) {
      std::string why;
      ReadAll(master_, in, why);
    }
    const bool now = (p.revents & POLLHUP) == 0;
    if (now != connected_) {
      connected_ = now;
      if (now) {
        events.push_back("client connected");
      } else {
        DiscardUnread();
        events.push_back("client disconnected");
      }
    }
    if (connected_) FlushOut(events);
  }

 protected:
  // While no client has the slave open the master is always "ready" (hung
  // up), so sleeping on it would not sleep.
  int WaitFd() const override { return connected_ ? master_ : -1; }
  int DataFd() const override { return master_; }
  void Lost(std::vector<std::string>& events, const std::string& why) override {
    (void)why;
    DiscardUnread();
    if (connected_) events.push_back("client disconnected");
    connected_ = false;
  }

 private:
  // What the client left unread stays in the slave's input queue, which the
  // next program to open the slave would read first: the queue is emptied
  // from the slave side (flushing the master does not reach it), as a
  // closed TCP connection takes its unread bytes with it.
  void DiscardUnread() {
    ForgetOut();
    const int fd = ::open(slave_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    ::tcflush(fd, TCIFLUSH);
    ::close(fd);
  }

  int master_;
  std::string slave_;
  std::string link_;
  bool connected_ = false;
};

}  // namespace

std::unique_ptr<HostPort> OpenPtyPort(const std::string& link, std::string& error) {
  int master = -1, slave = -1;
  char name[PATH_MAX];
  termios raw{};
  ::cfmakeraw(&raw);
  raw.c_cflag |= CLOCAL | CREAD;
  if (::openpty(&master, &slave, name, &raw, nullptr) != 0) {
    error = SystemError("openpty");
    return nullptr;
  }
  ::close(slave);
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  auto port = std::make_unique<PtyPort>(master, name);
  if (!link.empty() && !port->MakeLink(link, error)) return nullptr;
  return port;
}

}  // namespace hc11::serial
