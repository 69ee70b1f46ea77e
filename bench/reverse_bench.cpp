// Going back in time: the cost of recording on the run loop, one step back
// and a run back after 10^8 recorded steps.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/counting_loop.h"
#include "board/board.h"
#include "core/machine.h"
#include "core/messages.h"
#include "core/run_engine.h"
#include "profile/exec_counters.h"
#include "reverse/time_travel.h"

namespace {

using hc11::bench::kLoopStart;
using hc11::bench::LoadCountingLoop;

constexpr std::uint64_t kLongRun = 100'000'000;

struct Rig {
  explicit Rig(bool record, bool count = false) {
    LoadCountingLoop(m);
    if (count) m.Counters = counters.get();
    tt.SetRecording(record);
  }
  hc11::Machine m;
  hc11::SilentMessages messages;
  hc11::Board board{m, messages};
  std::unique_ptr<hc11::ExecCounters> counters = std::make_unique<hc11::ExecCounters>();
  hc11::TimeTravel tt{m, &board};
};

void RunSteps(benchmark::State& state, Rig& rig) {
  const auto steps = static_cast<std::uint64_t>(state.range(0));
  rig.m.StepBudget = steps;
  for (auto _ : state) {
    hc11::RunCommand(rig.m, hc11::kModeRun, false);
    benchmark::DoNotOptimize(rig.m.cpu.A);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * steps));
}

// The reference: the board attached, nothing recorded.
void BM_RunLoopBoard(benchmark::State& state) {
  Rig rig(false);
  RunSteps(state, rig);
}
BENCHMARK(BM_RunLoopBoard)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Recording: snapshots between batches, the record thinned once over budget.
void BM_RunLoopRecording(benchmark::State& state) {
  Rig rig(true);
  RunSteps(state, rig);
  state.counters["snapshots"] = static_cast<double>(rig.tt.SnapshotCount());
}
BENCHMARK(BM_RunLoopRecording)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Counting on, as in the window: without and with the record, whose
// snapshots then keep the counts too.
void BM_RunLoopCounting(benchmark::State& state) {
  Rig rig(false, true);
  RunSteps(state, rig);
}
BENCHMARK(BM_RunLoopCounting)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

void BM_RunLoopCountingRecording(benchmark::State& state) {
  Rig rig(true, true);
  RunSteps(state, rig);
  state.counters["snapshots"] = static_cast<double>(rig.tt.SnapshotCount());
}
BENCHMARK(BM_RunLoopCountingRecording)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// 10^8 steps recorded in one run, then the reverse command under test; the
// record is brought back to its end (untimed) before each measure.
Rig& LongRecord() {
  static Rig* rig = [] {
    auto* r = new Rig(true);
    r->m.tInst[kLoopStart] = 2;  // the first moment is the only "Break" one
    r->m.StepBudget = kLongRun;
    hc11::RunCommand(r->m, hc11::kModeRun, false);
    return r;
  }();
  return *rig;
}

void BM_StepBackAfter1e8(benchmark::State& state) {
  Rig& rig = LongRecord();
  for (auto _ : state) {
    state.PauseTiming();
    rig.tt.GoTo(rig.tt.LatestStep());
    state.ResumeTiming();
    benchmark::DoNotOptimize(rig.tt.StepBack(1));
  }
}
BENCHMARK(BM_StepBackAfter1e8)->Unit(benchmark::kMillisecond);

void BM_RunBackAcross1e8(benchmark::State& state) {
  Rig& rig = LongRecord();
  for (auto _ : state) {
    state.PauseTiming();
    rig.tt.GoTo(rig.tt.LatestStep());
    state.ResumeTiming();
    const hc11::BackResult r = rig.tt.RunBack();
    if (r.stepsBack < kLongRun - 1) state.SkipWithError("the run back stopped early");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kLongRun));
}
BENCHMARK(BM_RunBackAcross1e8)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
