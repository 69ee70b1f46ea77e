#include "core/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace hc11 {

namespace {

constexpr const char* kNotRegular = "not a regular file";

bool Fail(ReadProblem& problem, int err) {
  problem.missing = err == ENOENT;
  problem.reason = std::strerror(err);
  return false;
}

}  // namespace

int OpenRegularFile(const std::string& path, ReadProblem& problem) {
  problem = {};
  // Non-blocking, so a FIFO without a writer cannot stop the open itself.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    Fail(problem, errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    Fail(problem, errno);
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    problem.reason = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : kNotRegular;
    ::close(fd);
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

bool ReadRegularFile(const std::string& path, std::string& content, ReadProblem& problem,
                     std::size_t maxBytes) {
  content.clear();
  const int fd = OpenRegularFile(path, problem);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && static_cast<std::size_t>(st.st_size) <= maxBytes)
    content.reserve(static_cast<std::size_t>(st.st_size));
  char chunk[1 << 16];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = Fail(problem, errno);
      break;
    }
    if (n == 0) break;
    if (content.size() + static_cast<std::size_t>(n) > maxBytes) {
      ok = Fail(problem, EFBIG);
      break;
    }
    content.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (!ok) content.clear();
  return ok;
}

BoundedLineFile::BoundedLineFile(const std::string& path, std::size_t maxLine) : maxLine_(maxLine) {
  fd_ = OpenRegularFile(path, problem_);
}

BoundedLineFile::~BoundedLineFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool BoundedLineFile::Fill() {
  if (eof_ || fd_ < 0) return false;
  for (;;) {
    const ssize_t n = ::read(fd_, buffer_, sizeof buffer_);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(problem_, errno);
    if (n <= 0) {
      eof_ = true;
      return false;
    }
    pos_ = 0;
    end_ = static_cast<std::size_t>(n);
    return true;
  }
}

bool BoundedLineFile::Next(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (pos_ == end_ && !Fill()) break;
    any = true;
    const char* start = buffer_ + pos_;
    const void* nl = std::memchr(start, '\n', end_ - pos_);
    const std::size_t take =
        nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - start) : end_ - pos_;
    if (line.size() < maxLine_) line.append(start, std::min(take, maxLine_ - line.size()));
    pos_ += take;
    if (nl != nullptr) {
      ++pos_;
      break;
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any && problem_.reason.empty();
}

}  // namespace hc11
