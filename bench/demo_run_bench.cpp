// The demo firmware run through the controller, in the designed mode and in
// "Processeur exact": the exact mode must keep at least 85% of the designed
// mode's steps per second. The firmware polls the A/D converter and the
// serial status, so a good share of its steps reach an on-chip register.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "bench/paired_modes.h"
#include "core/messages.h"
#include "core/ui_hooks.h"
#include "debugger/controller.h"
#include "reverse/sim_state.h"

namespace {

constexpr std::uint64_t kWarmUp = 500'000;  // past the start-up, into the main loop

// A controller on the demo in the given mode, past its start-up.
bool LoadDemo(hc11::Controller& c, bool exact) {
  c.session().SetUseWorkspace(false);
  c.session().settings().marks.Set("ProcesseurExact", exact);
  c.Load(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo");
  if (c.machine().Exact != exact) return false;
  c.machine().StepBudget = kWarmUp;
  c.Run(hc11::RunKind::Run);
  return true;
}

// Runs the steps the budget holds; false when the run stopped before them.
bool RunSteps(hc11::Controller& c, std::uint64_t steps, hc11::StopEvent* stop = nullptr) {
  c.machine().StepBudget = steps;
  const std::uint64_t before = c.machine().StepTotal;
  const hc11::StopEvent ended = c.Run(hc11::RunKind::Run);
  if (stop != nullptr) *stop = ended;
  return c.machine().StepTotal - before == steps;
}

void DemoRun(benchmark::State& state, bool exact) {
  hc11::UiHooks hooks;
  hc11::SilentMessages messages;
  hc11::Controller c{hooks, messages};
  if (!LoadDemo(c, exact)) state.SkipWithError("the mode did not take");
  const auto steps = static_cast<std::uint64_t>(state.range(0));
  for (auto _ : state) {
    hc11::StopEvent stop;
    if (!RunSteps(c, steps, &stop)) {
      state.SkipWithError(("the run stopped before its steps: " + stop.message).c_str());
      break;
    }
  }
  // items_per_second is simulated steps per second.
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * steps));
}

void BM_DemoDesigned(benchmark::State& state) {
  DemoRun(state, false);
}
BENCHMARK(BM_DemoDesigned)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_DemoExact(benchmark::State& state) {
  DemoRun(state, true);
}
BENCHMARK(BM_DemoExact)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Each turn starts again from the same moment of the main loop, so every
// batch of a mode runs the same instructions.
struct DemoMode {
  hc11::UiHooks hooks;
  hc11::SilentMessages messages;
  hc11::Controller c{hooks, messages};
  hc11::SimState start;
  std::uint64_t steps = 0;
  bool loaded = false;

  DemoMode(bool exact, std::uint64_t n) : steps(n) {
    loaded = LoadDemo(c, exact);
    hc11::CaptureState(c.machine(), &c.session().board(), start);
  }
  void Prepare() { hc11::RestoreState(start, c.machine(), &c.session().board()); }
  bool Run() { return RunSteps(c, steps); }
};

// Both modes timed in turns (see paired_modes.h): the ratio the target is
// read from on a shared machine.
void BM_DemoPaired(benchmark::State& state) {
  const auto steps = static_cast<std::uint64_t>(state.range(0));
  auto designed = std::make_unique<DemoMode>(false, steps);
  auto exact = std::make_unique<DemoMode>(true, steps);
  if (!designed->loaded || !exact->loaded) state.SkipWithError("the mode did not take");
  hc11::bench::PairedModes(state, steps, *designed, *exact);
}
BENCHMARK(BM_DemoPaired)->Arg(200'000)->Unit(benchmark::kMillisecond);

}  // namespace
