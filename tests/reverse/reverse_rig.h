// Shared by the reverse-execution tests: a driver that gives run commands and
// board inputs at fixed step counts, so a recorded run and a fresh one can be
// cut at any step and compared.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "board/board.h"
#include "core/machine.h"
#include "core/run_engine.h"
#include "core/trace.h"
#include "reverse/sim_state.h"

namespace hc11::test {

struct TimedInput {
  std::uint64_t step;  // given once StepTotal reaches it, while no run is in progress
  std::function<void(Board&)> give;
};

// Runs 'x' commands (each bounded by the step budget, or stopped sooner by a
// breakpoint or an error) until StepTotal reaches `until`, giving the inputs
// on the way; `next` is the first input not yet given. `afterRun` may edit
// the machine between runs, as a user at the register labels would.
inline void DriveTo(Machine& m, Board& b, const std::vector<TimedInput>& inputs, std::size_t& next,
                    std::uint64_t until, const std::function<void(Machine&)>& afterRun = {}) {
  for (;;) {
    while (next < inputs.size() && inputs[next].step <= m.StepTotal) inputs[next++].give(b);
    if (m.StepTotal >= until) return;
    std::uint64_t stop = until;
    if (next < inputs.size()) stop = std::min(stop, inputs[next].step);
    m.StepBudget = stop - m.StepTotal;
    RunCommand(m, u'x', false);
    if (afterRun) afterRun(m);
  }
}

inline void DriveTo(Machine& m, Board& b, const std::vector<TimedInput>& inputs, std::uint64_t until,
                    const std::function<void(Machine&)>& afterRun = {}) {
  std::size_t next = 0;
  DriveTo(m, b, inputs, next, until, afterRun);
}

// What two runs must agree on: the digest and the trace line.
inline std::string Moment(const Machine& m, const Board& b) {
  return DigestText(StateDigest(m, &b)) + " " + FormatTraceLine(m);
}

// A small deterministic generator.
class Random {
 public:
  explicit Random(std::uint32_t seed) : s_(seed) {}
  std::uint32_t Below(std::uint32_t n) {
    s_ = s_ * 1664525u + 1013904223u;
    return (s_ >> 8) % n;
  }

 private:
  std::uint32_t s_;
};

}  // namespace hc11::test
