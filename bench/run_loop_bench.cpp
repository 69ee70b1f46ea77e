// Simulation speed: RunLoop on a tight counting loop, bare, with the board,
// in exact mode, with the step history on and with a code breakpoint set
// elsewhere.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/counting_loop.h"
#include "bench/paired_modes.h"
#include "board/board.h"
#include "core/machine.h"
#include "core/messages.h"
#include "core/run_engine.h"
#include "profile/exec_counters.h"

namespace {

using hc11::bench::kLoopStart;
using hc11::bench::LoadCountingLoop;

void RunLoopBench(benchmark::State& state, hc11::Machine& m) {
  const auto steps = static_cast<std::uint64_t>(state.range(0));
  m.StepBudget = steps;
  for (auto _ : state) {
    hc11::RunCommand(m, hc11::kModeRun, false);
    benchmark::DoNotOptimize(m.cpu.A);
  }
  // items_per_second is simulated steps per second.
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * steps));
}

void BM_RunLoop(benchmark::State& state) {
  hc11::Machine m;
  LoadCountingLoop(m);
  RunLoopBench(state, m);
}
BENCHMARK(BM_RunLoop)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// A loop run with the board attached, in the designed or the exact mode.
void WithBoardBench(benchmark::State& state, void (*load)(hc11::Machine&), bool exact) {
  hc11::Machine m;
  hc11::SilentMessages messages;
  hc11::Board board(m, messages);
  m.Exact = exact;
  load(m);
  RunLoopBench(state, m);
}

// The same loop with the board attached: plain RAM accesses must not pay for
// the devices behind the register block.
void BM_RunLoopWithBoard(benchmark::State& state) {
  WithBoardBench(state, LoadCountingLoop, false);
}
BENCHMARK(BM_RunLoopWithBoard)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// "Processeur exact" with the board: the on-chip devices keep time beside
// the loop; must keep at least 85% of BM_RunLoopWithBoard's speed.
void BM_RunLoopExact(benchmark::State& state) {
  WithBoardBench(state, LoadCountingLoop, true);
}
BENCHMARK(BM_RunLoopExact)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// A loop that polls on-chip registers, in both modes: the exact mode's
// devices behind the register block must keep at least 85% of the designed
// mode's speed on the same instructions.
void BM_PollingLoopWithBoard(benchmark::State& state) {
  WithBoardBench(state, hc11::bench::LoadPollingLoop, false);
}
BENCHMARK(BM_PollingLoopWithBoard)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_PollingLoopExact(benchmark::State& state) {
  WithBoardBench(state, hc11::bench::LoadPollingLoop, true);
}
BENCHMARK(BM_PollingLoopExact)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Both modes of one loop timed in turns (see paired_modes.h): the ratio the
// 85% target is read from.
// The loops come back to the same state every pass: nothing to prepare.
struct LoopMode {
  hc11::Machine m;
  hc11::SilentMessages messages;
  hc11::Board board{m, messages};
  std::uint64_t steps = 0;

  LoopMode(void (*load)(hc11::Machine&), bool exact, std::uint64_t n) : steps(n) {
    m.Exact = exact;
    load(m);
    m.StepBudget = steps;
  }
  void Prepare() {}
  bool Run() {
    const std::uint64_t before = m.StepTotal;
    hc11::RunCommand(m, hc11::kModeRun, false);
    return m.StepTotal - before == steps;
  }
};

void PairedBench(benchmark::State& state, void (*load)(hc11::Machine&)) {
  const auto steps = static_cast<std::uint64_t>(state.range(0));
  LoopMode designed(load, false, steps), exact(load, true, steps);
  hc11::bench::PairedModes(state, steps, designed, exact);
}

void BM_RunLoopPaired(benchmark::State& state) {
  PairedBench(state, LoadCountingLoop);
}
BENCHMARK(BM_RunLoopPaired)->Arg(200'000)->Unit(benchmark::kMillisecond);

void BM_PollingLoopPaired(benchmark::State& state) {
  PairedBench(state, hc11::bench::LoadPollingLoop);
}
BENCHMARK(BM_PollingLoopPaired)->Arg(200'000)->Unit(benchmark::kMillisecond);

// "Tracer instructions détaillé" checked: every step is recorded.
void BM_RunLoopWithHistory(benchmark::State& state) {
  hc11::Machine m;
  LoadCountingLoop(m);
  m.HistoryEnabled = true;
  RunLoopBench(state, m);
}
BENCHMARK(BM_RunLoopWithHistory)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Coverage and profile counting on (the window's default): must keep at
// least 85% of BM_RunLoop's speed.
void BM_RunLoopWithCounters(benchmark::State& state) {
  hc11::Machine m;
  auto counters = std::make_unique<hc11::ExecCounters>();
  m.Counters = counters.get();
  LoadCountingLoop(m);
  RunLoopBench(state, m);
}
BENCHMARK(BM_RunLoopWithCounters)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// A stopping breakpoint outside the loop: the check runs every step, never hits.
void BM_RunLoopWithBreakpoint(benchmark::State& state) {
  hc11::Machine m;
  LoadCountingLoop(m);
  m.tInst[0xE100] = 2;
  RunLoopBench(state, m);
}
BENCHMARK(BM_RunLoopWithBreakpoint)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
