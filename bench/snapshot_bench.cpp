// One time-travel snapshot: taking it, putting it back, and the state digest
// the record compares at every run command.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/counting_loop.h"
#include "board/board.h"
#include "core/machine.h"
#include "core/messages.h"
#include "reverse/sim_state.h"

namespace {

struct Rig {
  Rig() { hc11::bench::LoadCountingLoop(m); }
  hc11::Machine m;
  hc11::SilentMessages messages;
  hc11::Board board{m, messages};
  std::unique_ptr<hc11::SimState> state = std::make_unique<hc11::SimState>();
};

void BM_SnapshotCapture(benchmark::State& state) {
  Rig rig;
  for (auto _ : state) {
    hc11::CaptureState(rig.m, &rig.board, *rig.state);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SnapshotCapture)->Unit(benchmark::kMicrosecond);

void BM_SnapshotRestore(benchmark::State& state) {
  Rig rig;
  hc11::CaptureState(rig.m, &rig.board, *rig.state);
  for (auto _ : state) {
    hc11::RestoreState(*rig.state, rig.m, &rig.board);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SnapshotRestore)->Unit(benchmark::kMicrosecond);

void BM_StateDigest(benchmark::State& state) {
  Rig rig;
  for (auto _ : state) benchmark::DoNotOptimize(hc11::StateDigest(rig.m, &rig.board));
}
BENCHMARK(BM_StateDigest)->Unit(benchmark::kMicrosecond);

}  // namespace
