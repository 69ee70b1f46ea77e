// The demo firmware run through the controller, in the designed mode and in
// "Processeur exact": the exact mode must keep at least 85% of the designed
// mode's steps per second. The firmware polls the A/D converter and the
// serial status, so a good share of its steps reach an on-chip register.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "core/messages.h"
#include "core/ui_hooks.h"
#include "debugger/controller.h"

namespace {

constexpr std::uint64_t kWarmUp = 500'000;  // past the start-up, into the main loop

void DemoRun(benchmark::State& state, bool exact) {
  hc11::UiHooks hooks;
  hc11::SilentMessages messages;
  hc11::Controller c{hooks, messages};
  c.session().SetUseWorkspace(false);
  c.session().settings().marks.Set("ProcesseurExact", exact);
  c.Load(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo");
  if (c.machine().Exact != exact) state.SkipWithError("the mode did not take");
  c.machine().StepBudget = kWarmUp;
  c.Run(hc11::RunKind::Run);
  const auto steps = static_cast<std::uint64_t>(state.range(0));
  c.machine().StepBudget = steps;
  for (auto _ : state) {
    const std::uint64_t before = c.machine().StepTotal;
    const hc11::StopEvent stop = c.Run(hc11::RunKind::Run);
    if (c.machine().StepTotal - before != steps) {
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

}  // namespace
