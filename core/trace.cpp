#include "core/trace.h"

#include <algorithm>

#include "core/text_util.h"

namespace hc11 {

std::string FormatTraceLine(const Machine& m) {
  const std::int64_t n = m.CycleCount - m.CycleBase;
  // The empty texts are the slots of a board status the target board never fills.
  return Format("PC=%4X CC=%2.2X X=%4.4x A=%2.2x B=%2.2x Sp=%4.4x %s cycle=%lld T=%8.3Lfms %s ", m.cpu.PC,
                m.cpu.CC, m.cpu.X, m.cpu.A, m.cpu.B, m.cpu.SP, "", static_cast<long long>(n),
                Machine::CountsToMs(n), "");
}

void ResetStopwatch(Machine& m) {
  m.CycleBase = m.CycleCount;
}

void ListHistory(Machine& m) {
  const std::uint32_t count = std::min<std::uint32_t>(m.HistoryCount, kHistorySize);
  std::uint32_t i = m.HistoryCount >= kHistorySize ? m.HistoryIndex % kHistorySize : 0;
  for (std::uint32_t k = 0; k < count; ++k) {
    const HistoryEntry& e = m.StepHistory[i];
    m.AppendTraceLine(Format("%4.4x A=%2.2x B=%2.2x CC=%2.2x %s", e.PC, e.A, e.B, e.CC, ""));
    i = (i + 1) % kHistorySize;
  }
  m.hooks().ShowTraceList();
}

}  // namespace hc11
