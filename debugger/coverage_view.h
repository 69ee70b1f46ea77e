// Coverage and profile as the window shows them, without the widgets: the
// flowchart's tint switched by the "Couverture" mark, the hint of the box
// under the pointer, and the rows of the "Profil" list.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "debugger/flow_pane.h"
#include "debugger/session.h"

namespace hc11 {

// With `on`, the flowchart reads the session's counts (and the scale of its
// tint is taken from them); off, it draws exactly as without coverage.
void ApplyCoverage(FlowDisplay& display, Session& session, bool on);
// After a run or a reset: the tint's scale follows the new counts.
void RefreshCoverageScale(FlowDisplay& display, Session& session);

// The hint of the box under (x, y) when coverage is shown: its count and
// cycles ("exécutions 12, cycles 30"); none elsewhere.
std::optional<std::string> CoverageHintAt(FlowPane& pane, int x, int y);

// One row of the "Profil" list: function, calls, exclusive cycles and their
// share, inclusive cycles and their share.
struct ProfileListRow {
  std::string name;
  bool outside = false;
  std::vector<std::string> cells;  // "Appels", "Exclusifs", "%", "Inclusifs", "%"
};
inline constexpr const char* kProfileColumns[] = {"Fonction", "Appels", "Exclusifs", "%", "Inclusifs", "%"};
std::vector<ProfileListRow> ProfileListRows(Session& session);

// "Remise à zéro": every count back to zero from now on.
void ResetCounts(Session& session);

}  // namespace hc11
