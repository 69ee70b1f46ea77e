// A session replayed against a plain run of the same simulated length: the
// demo's committed session given to the demo, and the demo run as long
// without recorder or replayer, its start-up inputs given by hand. Both
// report simulated steps per second; the replay must keep at least 80% of
// the plain run's speed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/messages.h"
#include "core/ui_hooks.h"
#include "debugger/controller.h"
#include "recording/replayer.h"
#include "recording/session_file.h"

namespace {

const std::string kDemo = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo";

const hc11::SessionFile& DemoSession() {
  static const hc11::SessionFile session = [] {
    const hc11::SessionReadResult read =
        hc11::ReadSessionFile(std::string(HC11_SOURCE_DIR) + "/examples/demo/sessions/demo.session");
    if (!read.ok()) std::abort();
    return *read.session;
  }();
  return session;
}

struct Rig {
  Rig() {
    c->session().SetUseWorkspace(false);
    c->Load(kDemo);
  }
  hc11::UiHooks hooks;
  hc11::SilentMessages messages;
  std::unique_ptr<hc11::Controller> c = std::make_unique<hc11::Controller>(hooks, messages);
};

// The steps the replay takes, so that the plain run is as long.
std::uint64_t ReplaySteps() {
  static const std::uint64_t steps = [] {
    Rig rig;
    if (!hc11::Replay(*rig.c, DemoSession()).same()) std::abort();
    return rig.c->machine().StepTotal;
  }();
  return steps;
}

void BM_ReplayDemoSession(benchmark::State& state) {
  const hc11::SessionFile& session = DemoSession();
  std::uint64_t steps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Rig rig;
    state.ResumeTiming();
    const hc11::ReplayResult r = hc11::Replay(*rig.c, session);
    benchmark::DoNotOptimize(r.outputs);
    steps += rig.c->machine().StepTotal;
    state.counters["counts"] = static_cast<double>(rig.c->machine().CycleCount);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(steps));
  state.counters["steps"] = static_cast<double>(steps) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReplayDemoSession)->Unit(benchmark::kMillisecond);

// The same length run plainly: the session's start-up inputs (a key held,
// the "Ecr ram" command's bytes) given at once, then one run command.
void BM_PlainRunOfTheSameLength(benchmark::State& state) {
  const std::uint64_t length = ReplaySteps();
  std::uint64_t steps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Rig rig;
    for (const hc11::SessionInput& in : DemoSession().inputs) {
      if (in.time != 0) break;
      if (in.kind == hc11::SessionInputKind::KeyDown) rig.c->Press({hc11::PanelAction::PressKey, in.value});
      if (in.kind == hc11::SessionInputKind::Serial) rig.c->SendSerial(in.bytes);
    }
    rig.c->machine().StepBudget = length;
    state.ResumeTiming();
    rig.c->Run(hc11::RunKind::Run);
    steps += rig.c->machine().StepTotal;
    state.counters["counts"] = static_cast<double>(rig.c->machine().CycleCount);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(steps));
  state.counters["steps"] = static_cast<double>(steps) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PlainRunOfTheSameLength)->Unit(benchmark::kMillisecond);

}  // namespace
