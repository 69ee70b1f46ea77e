// Breakpoint extras' cost on the run loop: a loop of twenty instructions
// run bare, with a condition (never true) on a breakpoint hit once per pass,
// and with a stop expression (never true) tested after every step.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/machine.h"
#include "core/run_engine.h"
#include "debugger/breakpoints.h"

namespace {

constexpr std::uint16_t kStart = 0xE000;

// E000  4C x17    incA (17 times)
// E011  5C        incB
// E012  D7 40     stB $40
// E014  20 EA     jr $E000
void LoadTwentyStepLoop(hc11::Machine& m) {
  std::uint16_t a = kStart;
  for (int i = 0; i < 17; ++i) m.Memory[a++] = 0x4C;
  for (std::uint8_t b : {0x5C, 0xD7, 0x40, 0x20, 0xEA}) m.Memory[a++] = b;
  m.CodeEnd = a;
  m.StartPC = kStart;
  m.ResetMachine();
}

void Run(benchmark::State& state, hc11::Machine& m) {
  const auto steps = static_cast<std::uint64_t>(state.range(0));
  m.StepBudget = steps;
  for (auto _ : state) {
    hc11::RunCommand(m, hc11::kModeRun, false);
    benchmark::DoNotOptimize(m.cpu.B);
  }
  // Only the step budget may end a run, or the figure would mean nothing.
  if (!m.StopMessage.empty() || m.StepTotal < state.iterations() * steps)
    state.SkipWithError("a run stopped before its step budget");
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * steps));
}

void BM_TwentyStepLoop(benchmark::State& state) {
  hc11::Machine m;
  hc11::BreakpointList list(m);
  LoadTwentyStepLoop(m);
  Run(state, m);
}
BENCHMARK(BM_TwentyStepLoop)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Target: at least 50% of BM_TwentyStepLoop.
void BM_TwentyStepLoopWithCondition(benchmark::State& state) {
  hc11::Machine m;
  hc11::BreakpointList list(m);
  LoadTwentyStepLoop(m);
  list.Append({"c", kStart, 'C', 2}, true);
  if (!list.SetExtras(0, {"[$40] + B == $1FF && X == 1", hc11::HitRule::Always, 0, "", false}).empty())
    state.SkipWithError("condition refused");
  Run(state, m);
}
BENCHMARK(BM_TwentyStepLoopWithCondition)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Target: at least 25% of BM_TwentyStepLoop, for the usual watch of one
// variable (`[cnt] == 3`) and for a compound one.
void StopExpressionBench(benchmark::State& state, const char* expression) {
  hc11::Machine m;
  hc11::BreakpointList list(m);
  LoadTwentyStepLoop(m);
  if (!list.SetStopWhen(expression).empty()) state.SkipWithError("expression refused");
  Run(state, m);
}
void BM_TwentyStepLoopWithStopExpression(benchmark::State& state) {
  StopExpressionBench(state, "[$40] == $100");
}
BENCHMARK(BM_TwentyStepLoopWithStopExpression)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
void BM_TwentyStepLoopWithCompoundStopExpression(benchmark::State& state) {
  StopExpressionBench(state, "[$40] == $100 || [X+3].w == 1");
}
BENCHMARK(BM_TwentyStepLoopWithCompoundStopExpression)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
