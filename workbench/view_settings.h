// The window's own section of the settings file, "Affichage": the zoom of the
// flowchart and where the "Source" and "Registres" panes stand. The other
// sections are left as they are; this section is read and rewritten apart.
#pragma once

#include <string>
#include <string_view>

namespace hc11 {

inline constexpr const char* kViewSection = "Affichage";

// Where a pane is docked; "flottant" when it floats.
struct PanePlace {
  bool visible = true;
  std::string zone;  // "gauche", "droite", "haut", "bas", "flottant"
  int width = 0, height = 0;
};

struct ViewSettings {
  int zoom = 100;
  PanePlace source{true, "gauche", 520, 0};
  PanePlace registers{true, "gauche", 0, 260};
};

// Reads the section out of the whole file's text; missing or unreadable keys
// keep their defaults (the zoom is clamped when used).
ViewSettings ParseViewSettings(std::string_view fileText);

// The file's text with the section replaced (or appended when absent); every
// other line is kept as it is.
std::string RewriteViewSettings(std::string_view fileText, const ViewSettings& s);

}  // namespace hc11
