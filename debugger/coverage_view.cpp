#include "debugger/coverage_view.h"

#include <algorithm>

#include "core/text_util.h"
#include "profile/exec_counters.h"

namespace hc11 {

namespace {

bool IsBranchAt(const Machine& m, std::uint16_t address) {
  const std::uint8_t op = m.Memory[address];
  FlowKind kind = FlowKinds()[op];
  if (kind == FlowKind::Prefix)
    kind = FlowKinds()[Decoder().prefixSlot[op] * 256u + m.Memory[static_cast<std::uint16_t>(address + 1)]];
  return kind == FlowKind::Branch;
}

}  // namespace

void ApplyCoverage(FlowDisplay& display, Session& session, bool on) {
  if (!on) {
    display.CoverageHook = nullptr;
    return;
  }
  Session* s = &session;
  display.CoverageHook = [s](std::uint16_t address) {
    const ExecCounters& c = s->profiler().counters();
    LineCoverage line;
    line.count = c.At(address).count;
    line.cycles = c.At(address).Cycles();
    if (IsBranchAt(s->machine(), address)) {
      line.branch = true;
      const ExecCounters::BranchCell b = c.BranchAt(address);
      line.taken = b.taken;
      line.notTaken = b.notTaken;
    }
    return line;
  };
  RefreshCoverageScale(display, session);
}

void RefreshCoverageScale(FlowDisplay& display, Session& session) {
  const ExecCounters& c = session.profiler().counters();
  std::uint64_t most = 1;
  for (std::uint32_t a = 0; a < 65536; ++a) most = std::max(most, c.At(static_cast<std::uint16_t>(a)).count);
  display.CoverageMax = most;
}

std::optional<std::string> CoverageHintAt(FlowPane& pane, int x, int y) {
  if (!pane.Display().CoverageHook) return std::nullopt;
  const std::vector<int> hits = HitBox(pane.Sheet(), x, y);
  if (hits.empty()) return std::nullopt;
  const TRectangle& box = pane.Sheet().Boxes[hits.front()];
  if (!box.HasAddress() || box.Titre) return std::nullopt;
  return CoverageHint(pane.Display().CoverageOfBox(box));
}

std::vector<ProfileListRow> ProfileListRows(Session& session) {
  const ProfileTable table = session.profiler().Table(session.machine().CycleCount);
  auto share = [&](std::uint64_t cycles) {
    return table.total == 0
               ? std::string("0.00")
               : Format("%.2f", 100.0 * static_cast<double>(cycles) / static_cast<double>(table.total));
  };
  std::vector<ProfileListRow> rows;
  for (const FunctionProfile& f : table.rows) {
    ProfileListRow row;
    row.name = f.name;
    row.outside = f.outside;
    row.cells = {std::to_string(f.calls), std::to_string(f.exclusive), share(f.exclusive),
                 std::to_string(f.inclusive), share(f.inclusive)};
    rows.push_back(std::move(row));
  }
  return rows;
}

void ResetCounts(Session& session) {
  session.profiler().Reset(session.machine().CycleCount);
}

}  // namespace hc11
