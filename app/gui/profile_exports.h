// The "Profil" window's exports on the window's session: "Exporter lcov…"
// writes the coverage counted since the last Init (or "Remise à zéro")
// through the lcov writer; "Rapport HTML…" writes it into a folder and has
// genhtml make the report there, without blocking the window.
#pragma once

#include "core/messages.h"

namespace hc11::gui {

class MainWindow;
class ProfileWindow;

void AttachCoverageExports(ProfileWindow& profile, MainWindow& window, Messages& messages);

}  // namespace hc11::gui
