#include "core/file_write.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace hc11 {

namespace {

constexpr int kMaxLinks = 40;      // as the kernel's own limit on nested links
constexpr int kMaxAttempts = 100;  // temporary names tried before giving up
constexpr int kStallMs = 5000;     // a reader that takes nothing for this long is given up

std::string Reason(int err) {
  return std::strerror(err);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Follows symlinks at `path` to the name that will really be written; the
// final name may not exist yet (a dangling link creates its target).
bool ResolveLinks(std::string& path, std::string& error) {
  for (int depth = 0; depth < kMaxLinks; ++depth) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0) {
      error = Reason(errno);
      return false;
    }
    target.resize(static_cast<std::size_t>(n));
    if (target.empty() || target.front() != '/') target = FolderOf(path) + "/" + target;
    path = std::move(target);
  }
  error = Reason(ELOOP);
  return false;
}

bool WriteAll(int fd, std::string_view content, std::string& error) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      error = Reason(errno);
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A FIFO or a device takes the bytes as they come: replacing its node with a
// regular file would break whatever reads it. It is opened non-blocking, so a
// FIFO nobody reads is refused at once instead of hanging, and a reader that
// stops taking bytes is given up after a while.
bool WriteInPlace(const std::string& path, std::string_view content, std::string& error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ENXIO ? std::string("no process reads this FIFO") : Reason(errno);
    return false;
  }
  // A reader that goes away mid-write must give EPIPE, not kill the program.
  sigset_t pipeSignal, previous;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  bool ok = true;
  while (ok && !content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n >= 0) {
      content.remove_prefix(static_cast<std::size_t>(n));
    } else if (errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      const int ready = ::poll(&p, 1, kStallMs);
      if (ready == 0) {
        error = Reason(ETIMEDOUT);
        ok = false;
      } else if (ready < 0 && errno != EINTR) {
        error = Reason(errno);
        ok = false;
      }
    } else if (errno != EINTR) {
      error = Reason(errno);
      ok = false;
    }
  }
  if (!ok && error == Reason(EPIPE)) {
    const timespec none{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &none) > 0) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (::close(fd) != 0 && ok) {
    error = Reason(errno);
    ok = false;
  }
  return ok;
}

std::string TemporaryName(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937_64 random{std::random_device{}() ^ static_cast<unsigned>(::getpid())};
  const std::string folder = FolderOf(path);
  const std::size_t slash = path.rfind('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%08llx%04x", static_cast<unsigned long long>(random() & 0xFFFFFFFFu),
                counter++ & 0xFFFFu);
  return folder + "/." + base + suffix + ".tmp";
}

// Creates the temporary file exclusively: an existing name, even a planted
// symlink, is never opened.
int CreateTemporary(const std::string& path, std::string& temp, std::string& error) {
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    temp = TemporaryName(path);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) {
      error = Reason(errno);
      return -1;
    }
  }
  error = Reason(EEXIST);
  return -1;
}

}  // namespace

bool WriteFileWhole(const std::string& path, std::string_view content, std::string& error) {
  error.clear();
  if (path.empty()) {
    error = Reason(ENOENT);
    return false;
  }
  std::string target = path;
  if (!ResolveLinks(target, error)) return false;

  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) {
    error = Reason(errno);
    return false;
  }
  if (exists && S_ISDIR(existing.st_mode)) {
    error = Reason(EISDIR);
    return false;
  }
  if (exists && !S_ISREG(existing.st_mode)) return WriteInPlace(target, content, error);

  std::string temp;
  const int fd = CreateTemporary(target, temp, error);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content, error);
  if (ok && exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
    error = Reason(errno);
    ok = false;
  }
  if (ok && ::fsync(fd) != 0) {
    error = Reason(errno);
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    error = Reason(errno);
    ok = false;
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    error = Reason(errno);
    ok = false;
  }
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace hc11
