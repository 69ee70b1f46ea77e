// The GDB stub over loopback: the round trip of one "stepi" (median of
// 10,000), and "continue" to a breakpoint about 10^7 steps away, set beside
// the same run given straight to the engine (the stub must keep >= 90% of
// the engine's speed: it polls the client once every RefreshEvery + 1 steps).
// The runs are timed in CPU time of the whole process, since the run happens
// in the server's thread while the client waits.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <thread>
#include <vector>

#include "core/messages.h"
#include "core/run_engine.h"
#include "debugger/controller.h"
#include "gdbstub/controller_host.h"
#include "gdbstub/server.h"
#include "tests/gdbstub/gdb_client.h"

namespace {

using Clock = std::chrono::steady_clock;

// E000 ldB #76 / E002 ldX #0 / E005 inx / E006 bne E005 / E008 decB /
// E009 bne E002 / E00B: the breakpoint. 76 x (1 + 65536 x 2 + 2) + 1 steps.
constexpr std::uint16_t kBreakAt = 0xE00B;
constexpr std::int64_t kStepsToBreak = 76LL * (1 + 65536 * 2 + 2) + 1;

void LoadCounter(hc11::Machine& m) {
  std::uint16_t a = 0xE000;
  for (std::uint8_t b : {0xC6, 76, 0xCE, 0x00, 0x00, 0x08, 0x26, 0xFD, 0x5A, 0x26, 0xF7, 0x01, 0x20, 0xFE})
    m.Memory[a++] = b;
  m.CodeEnd = a;
  m.StartPC = 0xE000;
  m.ResetMachine();
}

class PollingHooks : public hc11::UiHooks {
 public:
  void ProcessEvents() override {
    if (server != nullptr) server->Poll();
  }
  hc11::gdb::Server* server = nullptr;
};

// A session with the counter loaded and a server polled by its own thread.
struct StubFixture {
  StubFixture() : controller(hooks, messages), host(controller), server(controller.session(), host) {
    LoadCounter(controller.machine());
    std::string error;
    if (!server.Listen(hc11::gdb::kLoopback, 0, error)) std::abort();
    hooks.server = &server;
    poller = std::thread([this] {
      while (!stop) server.WaitAndPoll(5);
    });
    if (!client.Connect(server.port())) std::abort();
    client.Command("QStartNoAckMode");
    client.acking = false;
  }
  ~StubFixture() {
    client.Command("D");
    stop = true;
    poller.join();
  }
  PollingHooks hooks;
  hc11::SilentMessages messages;
  hc11::Controller controller;
  hc11::gdb::ControllerHost host;
  hc11::gdb::Server server;
  std::thread poller;
  std::atomic<bool> stop = false;
  hc11::test::GdbClient client;
};

void BM_StepiRoundTrip(benchmark::State& state) {
  StubFixture f;
  std::vector<double> micros;
  for (auto _ : state) {
    micros.clear();
    for (int i = 0; i < 10000; ++i) {
      const auto start = Clock::now();
      if (f.client.Command("s") != "S05") state.SkipWithError("no stop reply");
      micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
  }
  std::nth_element(micros.begin(), micros.begin() + micros.size() / 2, micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
}
BENCHMARK(BM_StepiRoundTrip)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ContinueToBreakpointUnderStub(benchmark::State& state) {
  StubFixture f;
  f.client.Command("Z0,e00b,1");
  for (auto _ : state) {
    state.PauseTiming();
    f.client.Command("P4=e000");  // back to the start
    state.ResumeTiming();
    if (f.client.Command("c", 60000) != "T05swbreak:;") state.SkipWithError("no breakpoint stop");
  }
  state.SetItemsProcessed(state.iterations() * kStepsToBreak);
}
BENCHMARK(BM_ContinueToBreakpointUnderStub)
    ->Iterations(5)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

void BM_ContinueToBreakpointEngineAlone(benchmark::State& state) {
  hc11::UiHooks hooks;
  hc11::SilentMessages messages;
  hc11::Session session(hooks, messages);
  hc11::Machine& m = session.machine();
  LoadCounter(m);
  m.tInst[kBreakAt] = 2;
  for (auto _ : state) {
    m.cpu.PC = 0xE000;
    hc11::RunCommand(m, hc11::kModeRun, false);
    if (m.cpu.PC != kBreakAt) state.SkipWithError("no breakpoint stop");
  }
  state.SetItemsProcessed(state.iterations() * kStepsToBreak);
}
BENCHMARK(BM_ContinueToBreakpointEngineAlone)
    ->Iterations(5)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
