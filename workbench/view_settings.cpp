#include "workbench/view_settings.h"

#include <charconv>
#include <vector>

#include "core/text_util.h"
#include "debugger/settings_file.h"

namespace hc11 {

namespace {

void ReadInt(std::string_view value, int& out) {
  const std::string v = Trim(value);
  int n = 0;
  const auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (ec == std::errc() && p == v.data() + v.size()) out = n;
}

void ReadPane(std::string_view key, std::string_view value, std::string_view prefix, PanePlace& pane) {
  if (key.substr(0, prefix.size()) != prefix) return;
  const std::string_view rest = key.substr(prefix.size());
  if (rest == "Visible")
    pane.visible = Trim(value) != "0";
  else if (rest == "Zone")
    pane.zone = Trim(value);
  else if (rest == "Largeur")
    ReadInt(value, pane.width);
  else if (rest == "Hauteur")
    ReadInt(value, pane.height);
}

void AddPaneLines(std::string_view prefix, const PanePlace& p, std::vector<std::string>& lines) {
  const std::string n(prefix);
  lines.push_back(n + "Visible=" + (p.visible ? "1" : "0"));
  lines.push_back(n + "Zone=" + p.zone);
  lines.push_back(n + "Largeur=" + std::to_string(p.width));
  lines.push_back(n + "Hauteur=" + std::to_string(p.height));
}

}  // namespace

ViewSettings ParseViewSettings(std::string_view fileText) {
  ViewSettings s;
  for (const auto& [key, value] : ReadSection(fileText, kViewSection)) {
    if (key == "Zoom") ReadInt(value, s.zoom);
    ReadPane(key, value, "Source", s.source);
    ReadPane(key, value, "Registres", s.registers);
  }
  return s;
}

std::string RewriteViewSettings(std::string_view fileText, const ViewSettings& s) {
  std::vector<std::string> lines = {"Zoom=" + std::to_string(s.zoom)};
  AddPaneLines("Source", s.source, lines);
  AddPaneLines("Registres", s.registers, lines);
  return ReplaceSection(fileText, kViewSection, lines);
}

}  // namespace hc11
