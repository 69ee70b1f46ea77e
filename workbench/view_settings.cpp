#include "workbench/view_settings.h"

#include <charconv>
#include <vector>

#include "core/text_util.h"

namespace hc11 {

namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    lines.push_back(text.substr(0, end == std::string_view::npos ? text.size() : end + 1));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool IsSection(std::string_view line, std::string_view name) {
  const std::string t = Trim(line);
  return t.size() >= 2 && t.front() == '[' && t.back() == ']' &&
         ToLower(std::string_view(t).substr(1, t.size() - 2)) == ToLower(name);
}

bool IsAnySection(std::string_view line) {
  return !TrimView(line).empty() && TrimView(line).front() == '[';
}

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

std::string PaneLines(std::string_view prefix, const PanePlace& p, std::string_view eol) {
  const std::string e(eol), n(prefix);
  return n + "Visible=" + (p.visible ? "1" : "0") + e + n + "Zone=" + p.zone + e + n +
         "Largeur=" + std::to_string(p.width) + e + n + "Hauteur=" + std::to_string(p.height) + e;
}

}  // namespace

ViewSettings ParseViewSettings(std::string_view fileText) {
  ViewSettings s;
  bool inside = false;
  for (std::string_view line : SplitLines(fileText)) {
    if (IsAnySection(line)) {
      inside = IsSection(line, kViewSection);
      continue;
    }
    if (!inside) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string key = Trim(line.substr(0, eq));
    const std::string_view value = line.substr(eq + 1);
    if (key == "Zoom") ReadInt(value, s.zoom);
    ReadPane(key, value, "Source", s.source);
    ReadPane(key, value, "Registres", s.registers);
  }
  return s;
}

std::string RewriteViewSettings(std::string_view fileText, const ViewSettings& s) {
  // The file's own line ending, as its first line ends (a file of one line
  // without an ending: CR LF when it ends in a lone CR, so that the ending
  // completed here reads the same next time).
  const auto firstEnd = fileText.find('\n');
  const bool crlf = firstEnd == std::string_view::npos ? !fileText.empty() && fileText.back() == '\r'
                                                       : firstEnd > 0 && fileText[firstEnd - 1] == '\r';
  const std::string_view eol = crlf ? "\r\n" : "\n";
  std::string section = "[" + std::string(kViewSection) + "]" + std::string(eol) +
                        "Zoom=" + std::to_string(s.zoom) + std::string(eol) +
                        PaneLines("Source", s.source, eol) + PaneLines("Registres", s.registers, eol);
  std::string out;
  bool inside = false, written = false;
  for (std::string_view line : SplitLines(fileText)) {
    if (IsAnySection(line)) {
      inside = IsSection(line, kViewSection);
      if (inside && !written) {
        out += section;
        written = true;
      }
      if (inside) continue;
    }
    if (!inside) out += line;
  }
  if (!written) {
    if (!out.empty() && out.back() == '\r')
      out += '\n';
    else if (!out.empty() && out.back() != '\n')
      out += eol;
    out += section;
  }
  return out;
}

}  // namespace hc11
