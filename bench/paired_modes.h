// The exact mode against the designed mode, timed in turns in one process:
// each iteration runs a batch in one mode, then one in the other, and keeps
// each mode's fastest batch. On a shared machine the load moves both turns
// alike, so the ratio holds still where two separate benchmarks' figures
// move by half between runs.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>

namespace hc11::bench {

// `designed` and `exact` each have Prepare(), untimed, and Run(), which runs
// `steps` simulated steps and returns false when its run stopped early.
template <typename Designed, typename Exact>
void PairedModes(benchmark::State& state, std::uint64_t steps, Designed& designed, Exact& exact) {
  using Clock = std::chrono::steady_clock;
  double fastest[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
  bool exactFirst = false;
  for (auto _ : state) {
    for (int turn = 0; turn < 2; ++turn) {
      const int mode = (turn == 0) == exactFirst ? 1 : 0;
      mode == 0 ? designed.Prepare() : exact.Prepare();
      const auto start = Clock::now();
      const bool whole = mode == 0 ? designed.Run() : exact.Run();
      const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
      if (!whole) {
        state.SkipWithError("a run stopped before its steps");
        return;
      }
      fastest[mode] = std::min(fastest[mode], seconds);
    }
    exactFirst = !exactFirst;  // neither mode always runs on a warm cache
  }
  const double designedRate = static_cast<double>(steps) / fastest[0];
  const double exactRate = static_cast<double>(steps) / fastest[1];
  state.counters["designed_steps_per_s"] = designedRate;
  state.counters["exact_steps_per_s"] = exactRate;
  state.counters["exact_over_designed"] = exactRate / designedRate;
}

}  // namespace hc11::bench
