// The serial link's cost: the round trip of one command from a host program
// on a pseudo-terminal (bytes written until the answer's last byte is read,
// real time off), and the demo's run speed with an idle link against none.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "board/panel_tables.h"
#include "core/run_engine.h"
#include "debugger/session.h"
#include "serial_link/serial_link.h"

namespace {

using Clock = std::chrono::steady_clock;

class YieldHooks : public hc11::UiHooks {
 public:
  void ProcessEvents() override {
    if (onYield) onYield();
  }
  std::function<void()> onYield;
};

// The demo, copied to a temporary folder (the load writes beside the listing).
struct Demo {
  Demo() {
    dir = std::filesystem::temp_directory_path() / ("hc11_serial_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (const char* ext : {".lst", ".HEX"})
      std::filesystem::copy_file(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo" + ext,
                                 dir / (std::string("demo") + ext),
                                 std::filesystem::copy_options::overwrite_existing);
    session.SetUseWorkspace(false);
    session.Load((dir / "demo").string());
  }
  ~Demo() { std::filesystem::remove_all(dir); }

  std::filesystem::path dir;
  YieldHooks hooks;
  hc11::SilentMessages messages;
  hc11::Session session{hooks, messages};
};

bool ReadCount(int fd, std::size_t count) {
  std::uint8_t buffer[256];
  while (count > 0) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 2000) <= 0) return false;
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count));
    if (n <= 0) return false;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

void Drain(int fd) {
  std::uint8_t buffer[4096];
  pollfd p{fd, POLLIN, 0};
  while (::poll(&p, 1, 200) > 0 && ::read(fd, buffer, sizeof buffer) > 0) {
  }
}

void BM_PtyRoundTrip(benchmark::State& state) {
  Demo demo;
  hc11::Machine& m = demo.session.machine();
  hc11::serial::SerialLink link(demo.session.board());
  std::string error;
  if (!link.Open({hc11::serial::LinkKind::Pty, "", 0}, 9600, error, state.range(0))) {
    state.SkipWithError(error.c_str());
    return;
  }
  const int fd = ::open(link.Name().substr(4).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  link.Poll();
  std::atomic<bool> stop{false};
  demo.hooks.onYield = [&] {
    link.Poll();
    if (stop) m.RunMode = hc11::kModeStop;
  };
  std::thread simulation([&] { hc11::RunCommand(m, hc11::kModeRun, false); });
  Drain(fd);  // the start-up text
  const auto command = hc11::CommandMessage(hc11::BoardCommand::LecE2P);
  const std::vector<std::uint8_t> message(command.begin(), command.end());
  (void)!::write(fd, message.data(), message.size());
  std::size_t answer = 0;
  {
    std::uint8_t buffer[256];
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, 300) > 0) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n <= 0) break;
      answer += static_cast<std::size_t>(n);
    }
  }
  std::vector<double> samples;
  for (auto _ : state) {
    const auto start = Clock::now();
    (void)!::write(fd, message.data(), message.size());
    if (!ReadCount(fd, answer)) {
      state.SkipWithError("no answer");
      break;
    }
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    samples.push_back(us);
    state.SetIterationTime(us / 1e6);
  }
  stop = true;
  simulation.join();
  ::close(fd);
  if (!samples.empty()) {
    std::sort(samples.begin(), samples.end());
    state.counters["median_us"] = samples[samples.size() / 2];
    state.counters["p90_us"] = samples[samples.size() * 9 / 10];
  }
}
// Arg: the idle gap in microseconds, 0 for the default (2.08 ms at 9600 baud).
BENCHMARK(BM_PtyRoundTrip)
    ->Arg(0)
    ->Arg(500)
    ->Iterations(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The demo run 20 million steps, with a pty link open and nobody on it (arg
// 1) or with no link (arg 0); items_per_second is simulated steps per second.
void BM_DemoRunSpeed(benchmark::State& state) {
  Demo demo;
  hc11::Machine& m = demo.session.machine();
  hc11::serial::SerialLink link(demo.session.board());
  std::string error;
  if (state.range(0) != 0) {
    link.Open({hc11::serial::LinkKind::Pty, "", 0}, 9600, error);
    demo.hooks.onYield = [&] { link.Poll(); };
  }
  constexpr std::uint64_t kSteps = 20'000'000;
  for (auto _ : state) {
    m.StepBudget = kSteps;
    hc11::RunCommand(m, hc11::kModeRun, false);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kSteps));
}
BENCHMARK(BM_DemoRunSpeed)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
