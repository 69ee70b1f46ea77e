// The bundled demo loaded from a copy in a fresh folder, a serial link on
// its board, and a host program's end of the link with bounded waits. The
// simulation runs on the test's thread; the host program on another.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/run_engine.h"
#include "debugger/session.h"
#include "serial_link/serial_link.h"
#include "tests/support/recording.h"

namespace hc11::test {

using Bytes = std::vector<std::uint8_t>;

class YieldHooks : public RecordingHooks {
 public:
  void ProcessEvents() override {
    if (onYield) onYield();
  }
  std::function<void()> onYield;
};

class DemoLink {
 public:
  DemoLink() {
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("hc11_serial_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    for (const char* ext : {".lst", ".HEX"})
      std::filesystem::copy_file(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo" + ext,
                                 dir_ / (std::string("demo") + ext));
    session.SetUseWorkspace(false);
    session.Load((dir_ / "demo").string());
    link.OnEvent = [this](std::string_view e) { events.emplace_back(e); };
  }
  ~DemoLink() {
    link.Close();
    std::filesystem::remove_all(dir_);
  }

  // Runs the firmware with the link serviced at every yield until `done`
  // says so or `limit` passes. False on the time limit.
  bool RunUntil(const std::function<bool()>& done,
                std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    bool timedOut = false;
    Machine& m = session.machine();
    hooks.onYield = [&] {
      link.Poll();
      if (std::chrono::steady_clock::now() > end) timedOut = true;
      if (timedOut || done()) m.RunMode = kModeStop;
    };
    m.StepBudget = 0;
    RunCommand(m, kModeRun, false);
    hooks.onYield = nullptr;
    return !timedOut;
  }

  // Runs `steps` steps without the link.
  void RunSteps(std::uint64_t steps) {
    Machine& m = session.machine();
    m.StepBudget = steps;
    RunCommand(m, kModeRun, false);
    m.StepBudget = 0;
  }

  // The bytes transmitted since the panel memo was last cleared.
  Bytes MemoBytes() {
    Bytes out;
    for (const std::string& line : session.board().Memo1)
      if (line.starts_with("uart "))
        out.push_back(static_cast<std::uint8_t>(std::stoul(line.substr(5), nullptr, 16)));
    return out;
  }

  YieldHooks hooks;
  RecordingMessages messages;
  Session session{hooks, messages};
  serial::SerialLink link{session.board()};
  std::vector<std::string> events;

 private:
  std::filesystem::path dir_;
};

// The slave path of "pty /dev/pts/N".
inline std::string PtyPath(const serial::SerialLink& link) {
  return link.Name().substr(4);
}

// Reads until `idle` passes without a byte or `limit` in all.
inline Bytes ReadUntilIdle(int fd, std::chrono::milliseconds idle, std::chrono::milliseconds limit) {
  Bytes out;
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return out;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(std::min(left, idle).count())) <= 0) return out;
    std::uint8_t buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) return out;
    out.insert(out.end(), buffer, buffer + n);
  }
}

// Reads exactly `count` bytes unless `limit` passes first.
inline Bytes ReadCount(int fd, std::size_t count, std::chrono::milliseconds limit) {
  Bytes out;
  const auto end = std::chrono::steady_clock::now() + limit;
  while (out.size() < count) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    std::uint8_t buffer[4096];
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - out.size()));
    if (n <= 0) break;
    out.insert(out.end(), buffer, buffer + n);
  }
  return out;
}

inline bool WriteAll(int fd, const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, 2000) <= 0) return false;
      continue;
    }
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace hc11::test
